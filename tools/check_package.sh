#!/usr/bin/env bash
# Builds the Debian package of Topovil in a configured build directory and
# checks it: the exact list of files, the launcher, the dependencies, the
# desktop entry, the AppStream metadata, the manual page, the copyright file,
# and lintian (no error; its warnings are printed).
#
#   tools/check_package.sh BUILD_DIR
#   tools/check_package.sh --deb FILE.deb   (checks a package built before)
#
# Needs cmake/cpack, dpkg-deb, dpkg-shlibdeps (dpkg-dev), desktop-file-validate
# (desktop-file-utils), appstreamcli (appstream), man (man-db) and lintian.
# Exits 0 only when every check passes; each failure is printed.
set -euo pipefail

usage() {
  echo "usage: $0 BUILD_DIR | --deb FILE.deb" >&2
  exit 2
}
deb=""
build=""
case "${1:-}" in
  --deb) [ $# -eq 2 ] || usage; deb="$2" ;;
  ""|-*) usage ;;
  *) [ $# -eq 1 ] || usage; build="$(cd "$1" && pwd)" ;;
esac
jobs="${TOPOVIL_JOBS:-$(nproc)}"

# cpack needs file and dpkg-shlibdeps to work out the dependencies.
for tool in cmake cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli man lintian; do
  if ! command -v "$tool" >/dev/null; then
    echo "check_package: $tool is missing" >&2
    exit 1
  fi
done

# Everything the package may hold: the program and its data in their own
# folder, the launcher, the menu entry and its icons, the software-centre
# metadata, the manual page, the copyright and changelog. Nothing else.
metainfo=usr/share/metainfo/example.topovil.Topovil.metainfo.xml
expected_files=(
  usr/bin/topovil
  usr/lib/topovil/topovil
  usr/lib/topovil/topovil-fenetre
  usr/lib/topovil/insee.sqlite
  usr/share/applications/topovil.desktop
  "$metainfo"
  usr/share/man/man1/topovil.1.gz
  usr/share/doc/topovil/copyright
  usr/share/doc/topovil/changelog.gz
  usr/share/icons/hicolor/32x32/apps/topovil.png
  usr/share/icons/hicolor/64x64/apps/topovil.png
  usr/share/icons/hicolor/128x128/apps/topovil.png
)
executables=(usr/bin/topovil usr/lib/topovil/topovil usr/lib/topovil/topovil-fenetre)
required_depends=(libqt6widgets6 libqt6gui6 libqt6core6 libsqlite3-0 libmdb3 fonts-liberation2)

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if [ -n "$build" ]; then
  # A stale package from an earlier run must not be the one checked.
  rm -f "$build"/topovil_*.deb
  cmake --build "$build" -j"$jobs"
  (cd "$build" && cpack -G DEB)
  shopt -s nullglob
  debs=("$build"/topovil_*_amd64.deb)
  shopt -u nullglob
  if [ ${#debs[@]} -ne 1 ]; then
    echo "FAIL: expected one topovil_<version>_amd64.deb in $build, found ${#debs[@]}"
    exit 1
  fi
  deb="${debs[0]}"
fi
[ -f "$deb" ] || { echo "check_package: no package $deb" >&2; exit 1; }

version="$(dpkg-deb -f "$deb" Version)"
[ "$(basename "$deb")" = "topovil_${version}_amd64.deb" ] ||
  fail "file name $(basename "$deb") does not match version $version"
[ "$(dpkg-deb -f "$deb" Package)" = topovil ] || fail "package name is not topovil"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture is not amd64"

# dpkg-deb -c: "perms owner size date time ./path" (plus " -> target" for links).
listing="$(dpkg-deb -c "$deb")"
echo "$listing"

declare -A wanted=() allowed_dirs=() seen=()
for f in "${expected_files[@]}"; do
  wanted[$f]=1
  d="$(dirname "$f")"
  while [ "$d" != . ]; do
    allowed_dirs[$d]=1
    d="$(dirname "$d")"
  done
done

while read -r perms owner _size _date _time path rest; do
  path="${path#./}"
  path="${path%/}"
  [ -n "$path" ] || continue
  [ "$owner" = root/root ] || fail "$path is owned by $owner"
  case "$perms" in
    d*)
      [ -n "${allowed_dirs[$path]:-}" ] || fail "unexpected directory $path"
      ;;
    -*)
      if [ -n "${wanted[$path]:-}" ]; then
        seen[$path]="$perms"
      else
        fail "unexpected file $path"
      fi
      ;;
    *)
      fail "unexpected entry $path ($perms${rest:+ $rest})"
      ;;
  esac
done <<<"$listing"

for f in "${expected_files[@]}"; do
  [ -n "${seen[$f]:-}" ] || fail "missing $f"
done
for f in "${executables[@]}"; do
  [ "${seen[$f]:-}" = -rwxr-xr-x ] || fail "$f is not mode 755 (${seen[$f]:-absent})"
done

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
# Package names only, versions and alternatives dropped.
depend_names=" $(tr ',|' '\n\n' <<<"$depends" | sed -e 's/(.*)//' -e 's/:.*//' | tr -d ' ' | sort -u | tr '\n' ' ')"
for p in "${required_depends[@]}"; do
  [[ "$depend_names" == *" $p "* ]] || fail "Depends does not name $p"
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"

if ! desktop-file-validate "$work/usr/share/applications/topovil.desktop"; then
  fail "topovil.desktop does not validate"
fi
for key in Name=Topovil Exec=topovil Icon=topovil Type=Application; do
  grep -qx "$key" "$work/usr/share/applications/topovil.desktop" || fail "topovil.desktop lacks $key"
done

# The launcher must be a shell script that reaches the program from wherever
# the package puts it.
launcher="$work/usr/bin/topovil"
sh -n "$launcher" || fail "usr/bin/topovil is not a valid sh script"
target="$(sed -n 's|^exec "\$here/\(.*\)" "\$@"$|\1|p' "$launcher")"
if [ -z "$target" ]; then
  fail "usr/bin/topovil does not exec a path relative to itself"
elif [ "$(readlink -m "$work/usr/bin/$target")" != "$(readlink -m "$work/usr/lib/topovil/topovil")" ]; then
  fail "usr/bin/topovil starts $target, not ../lib/topovil/topovil"
fi

for side in 32 64 128; do
  icon="$work/usr/share/icons/hicolor/${side}x${side}/apps/topovil.png"
  [ -f "$icon" ] || continue
  # PNG width and height: big-endian at bytes 16 and 20.
  size="$(od -An -tu1 -j16 -N8 "$icon" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }')"
  [ "$size" = "${side}x${side}" ] || fail "the ${side}x${side} icon is $size"
done

# Software centres read the AppStream metadata; it must name the menu entry.
if ! appstreamcli validate --no-net "$work/$metainfo"; then
  fail "the AppStream metadata does not validate"
fi
grep -q '<launchable type="desktop-id">topovil.desktop</launchable>' "$work/$metainfo" ||
  fail "the AppStream metadata does not launch topovil.desktop"

# The manual page: French, and formatted without a warning.
manpage="$work/usr/share/man/man1/topovil.1.gz"
if [ -f "$manpage" ]; then
  man_warnings="$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$manpage" 2>&1 >/dev/null)"
  [ -z "$man_warnings" ] || fail "topovil.1: $man_warnings"
  zcat "$manpage" | grep -q '^\.SH NOM$' || fail "topovil.1 is not the French manual page"
fi

# The copyright file in Debian's machine-readable format, with the licences
# of the code and of the data and the sources the data licence asks to name.
copyright="$work/usr/share/doc/topovil/copyright"
if [ -f "$copyright" ]; then
  head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright is not in the machine-readable format"
  for needle in 'License: Expat' 'License: Licence-Ouverte' 'Files: data/insee.sqlite' 'INSEE' 'IGN' 'La Poste' 'Etalab'; do
    grep -qF "$needle" "$copyright" || fail "copyright does not mention $needle"
  done
fi

# lintian: no error; warnings and the rest are shown for the record.
lintian_out="$(lintian --tag-display-limit 0 --display-info --display-experimental "$deb" 2>&1 | grep -v "running with root privileges" || true)"
echo "lintian:"
echo "${lintian_out:-  (nothing to report)}"
if grep -q '^E: ' <<<"$lintian_out"; then
  fail "lintian reports errors"
fi

bytes="$(stat -c %s "$deb")"
echo "Package: $deb"
echo "Size: $bytes bytes ($((bytes / 1024)) KiB), installed $(dpkg-deb -f "$deb" Installed-Size) KiB"

if [ "$failures" -ne 0 ]; then
  echo "check_package: $failures failure(s)"
  exit 1
fi
echo "check_package: all good"
