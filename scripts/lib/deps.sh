# Debian packages that building, running and testing the program need.
# Sourced by scripts/run and scripts/test.
ORVIDA_PACKAGES=(
  cmake ninja-build g++ pkg-config dpkg-dev
  qt6-base-dev qt6-base-private-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpcg-cpp-dev
  fonts-liberation
  xvfb xdotool xclip x11-utils imagemagick
  python3 binutils-mingw-w64-x86-64 desktop-file-utils
  dbus-daemon at-spi2-core python3-pyatspi
  libasan8 libubsan1
)

# The Windows build (scripts/windows-toolchain, scripts/build-windows) and its tests under
# Wine; installed only when the Windows program is built. The MinGW-w64 compilers and tools;
# wine64 is the loader, wine puts wine and wineserver on PATH (the tests wait for the
# wineserver); GoogleTest's source (googletest), built with MinGW for the test executables;
# pefile reads the executables' version resource; xz-utils unpacks the Windows Qt's archive.
ORVIDA_WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix wine wine64 python3-pefile googletest xz-utils"

# The checks scripts/test runs besides the tests: formatting, clang-tidy, pyflakes (the
# package pyflakes3 holds the command), and git, which lists the files they check.
ORVIDA_CHECK_PACKAGES="git clang-format clang-tidy pyflakes3"

# Installs the program's packages and any named ones that are missing.
ensure_packages() {
  install_missing "${ORVIDA_PACKAGES[@]}" "$@"
}

# Installs the named packages that are missing: as root with apt-get, otherwise it prints
# the line to run and exits.
install_missing() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}
