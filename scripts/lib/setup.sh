# Shared set-up of the project's scripts: the Debian packages the build,
# the tests and the tools need, installed when they are missing.

RM460_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

RM460_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev
  xvfb xauth x11-utils
  fonts-dejavu-core
)

# The Windows cross build and its test run under Wine (64-bit only).
RM460_WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest
  wine wine64
)

# The Debian package's tools (scripts/package): CPack's dpkg-shlibdeps,
# lintian and the metadata validators.
RM460_PACKAGE_TOOLS=(
  dpkg-dev lintian appstream desktop-file-utils
)

# Installs every named Debian package that is not installed yet.
rm460_ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures and builds one build folder: rm460_build DIR [cmake options...]
rm460_build() {
  local dir="$1"
  shift
  cmake -S "$RM460_ROOT" -B "$RM460_ROOT/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$RM460_ROOT/$dir" -j "$(nproc)"
}
