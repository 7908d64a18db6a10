#!/usr/bin/env bash
# Set up, build, run and test Stellaro on Debian 12.
#   bash tools/dev.sh run    install what is missing, build, start the program
#   bash tools/dev.sh test   install what is missing, build with sanitizers, run every test
#   bash tools/dev.sh package  install what is missing, build a Release build and its
#                              Debian package; the package's path is the last line
#   bash tools/dev.sh deps   only install what is missing
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins libgl-dev libcups2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  fonts-liberation2 fontconfig
  xvfb xauth xdotool xclip openbox x11-utils
  cups cups-bsd cups-client printer-driver-cups-pdf poppler-utils python3 imagemagick time
  dpkg-dev file ccache lintian desktop-file-utils appstream shared-mime-info
  xdg-utils libfile-mimeinfo-perl libglib2.0-bin man-db librsvg2-bin
)

install_deps() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build() { # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# The CUPS scheduler with one cups-pdf queue "PDF", for the printing tests.
start_cups() {
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    $sudo cupsd || true
    for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.2; done
  fi
  if ! lpstat -p PDF >/dev/null 2>&1; then
    $sudo lpadmin -p PDF -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E
  fi
}

case "${1:-}" in
  deps)
    install_deps ;;
  run)
    install_deps
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTELLARO_TESTS=OFF -DSTELLARO_BENCH=OFF
    exec "$top/build/src/app/stellaro" ;;
  test)
    install_deps
    build build-test -DCMAKE_BUILD_TYPE=Debug -DSTELLARO_SANITIZE=ON -DSTELLARO_BENCH=OFF
    start_cups
    cd build-test
    ctest --output-on-failure -j "$(nproc)" ;;
  package)
    install_deps
    # A build folder of its own: the package holds an optimized build without
    # tests, never the sanitizer build of "test".
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Debian's hardening flags, as its own packages are built; no -g, since the
    # package holds stripped binaries and no debugging symbols.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
    build build-package -DCMAKE_BUILD_TYPE=Release -DSTELLARO_TESTS=OFF -DSTELLARO_BENCH=OFF \
      -DCMAKE_INSTALL_PREFIX=/usr "${launcher[@]}" \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
    cd build-package
    rm -f stellaro_*.deb
    cpack -G DEB
    deb=$(ls "$PWD"/stellaro_*.deb)
    echo "$deb" ;;
  *)
    echo "usage: bash tools/dev.sh run|test|package|deps" >&2
    exit 2 ;;
esac
