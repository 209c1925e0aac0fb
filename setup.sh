#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./setup.sh run    install what is missing, build, start Topovil on the shipped data
#   ./setup.sh test   install what is missing, build, run every test
#   ./setup.sh build  install what is missing and build only
# Installing needs root (it uses sudo when run as another user).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${TOPOVIL_BUILD_DIR:-$here/build}"
action="${1:-run}"

packages=(
  build-essential cmake pkg-config dpkg-dev file desktop-file-utils clang clang-format libclang-rt-14-dev python3
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlite3-dev mdbtools-dev
  libgtest-dev libbenchmark-dev
  fonts-liberation2 locales
  xvfb xauth
  lintian appstream man-db xdotool imagemagick
  ccache
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installation des paquets manquants : ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Builds the targets named, or every target (tests included) without a name.
configure_and_build() {
  # The compiler cache keys on paths relative to the checkout, so that a
  # fresh clone elsewhere reuses what an earlier build compiled.
  export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache ${TOPOVIL_CMAKE_ARGS:-}
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --build "$build" -j"$(nproc)" "${targets[@]}"
}

install_missing

case "$action" in
  run)
    # What the program needs and nothing more: the two programs and the data
    # beside them, not the tests.
    configure_and_build topovil
    exec "$build/topovil"
    ;;
  test)
    configure_and_build
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
    ;;
  build)
    configure_and_build
    ;;
  *)
    echo "usage: $0 run|test|build" >&2
    exit 2
    ;;
esac
