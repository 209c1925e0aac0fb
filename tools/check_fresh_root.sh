#!/usr/bin/env bash
# Installs a built package on a fresh Debian 12 root and starts it there:
# apt must find every dependency, and the program must answer --version,
# refuse a missing file with status 1 and keep its window up on the shipped
# data (offscreen) and on a user's own file in ~/.local/share/topovil.
#
#   sudo tools/check_fresh_root.sh build/topovil_4.01_amd64.deb [OWN.mdb]
#
# Needs root, debootstrap and network access to deb.debian.org; the root is
# made in a temporary folder and removed afterwards. Not run by CI.
set -euo pipefail
deb="$(realpath "$1")"
own="${2:-}"
root="$(mktemp -d /tmp/topovil-fresh-root.XXXXXX)"
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
mount -t proc proc "$root/proc"
chroot "$root" sh -c "apt-get update -q >/dev/null &&
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q /tmp/$(basename "$deb") >/dev/null"

in_root() { chroot "$root" env HOME=/root QT_QPA_PLATFORM=offscreen sh -c "$1"; }
failures=0
expect() {
  local what="$1" want="$2" got="$3"
  if [ "$got" = "$want" ]; then echo "ok: $what"; else echo "FAIL: $what (status $got, expected $want)"; failures=$((failures + 1)); fi
}

in_root 'topovil --version'
set +e
in_root 'topovil /nulle/part.mdb 2>/dev/null'; expect "a missing file stops with status 1" 1 $?
in_root 'timeout 5 topovil'; expect "the window stays up on the shipped data" 124 $?
if [ -n "$own" ]; then
  mkdir -p "$root/root/.local/share/topovil"
  cp "$own" "$root/root/.local/share/topovil/insee.mdb"
  in_root 'timeout 5 topovil'; expect "the window stays up on ~/.local/share/topovil/insee.mdb" 124 $?
fi
set -e
[ "$failures" -eq 0 ] && echo "check_fresh_root: all good"
exit "$failures"
