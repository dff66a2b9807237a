# Shared by scripts/run and scripts/test: installs what a fresh Debian machine
# lacks and configures build folders. Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc)"
# Compiler results are cached by paths relative to the checkout, so a fresh
# clone in another folder reuses what an earlier build compiled.
export CCACHE_BASEDIR="$ROOT"
export CCACHE_NOHASHDIR=true

# Debian packages the build, the tests and the program use.
PACKAGES=(
  cmake ninja-build g++ clang clang-format libclang-rt-dev pkg-config ccache git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk fonts-liberation qt6-translations-l10n xvfb xauth
  librsvg2-bin desktop-file-utils appstream shared-mime-info
  dpkg-dev fakeroot lintian file util-linux
  poppler-utils
  g++-mingw-w64-x86-64-posix wine wine64 googletest
)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# configure DIR [cmake options...]: configures once, then only builds.
configure() {
  local dir="$1"; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@" >/dev/null
  fi
}
