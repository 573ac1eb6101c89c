# The Windows Qt: the version it must have and where it lives. The cross build runs the
# host Qt's moc, rcc and uic on code compiled against the Windows Qt, so both are the same
# qtbase version: it is read from the host Qt, here and nowhere else. Sourced by
# scripts/windows-toolchain, scripts/build-windows, scripts/test and scripts/release (after
# ensure_packages).

# The host's multiarch folder name, e.g. x86_64-linux-gnu.
host_multiarch() {
  dpkg-architecture -qDEB_HOST_MULTIARCH
}

# The host Qt's version, e.g. 6.4.2, from its CMake package (Debian: qt6-base-dev).
host_qt_version() {
  local file
  file=/usr/lib/$(host_multiarch)/cmake/Qt6/Qt6ConfigVersionImpl.cmake
  local version
  version=$(sed -n 's/^set(PACKAGE_VERSION "\([0-9][0-9.]*\)")$/\1/p' "$file" 2>/dev/null)
  if [ -z "$version" ]; then
    echo "Cannot read the host Qt's version from $file: is qt6-base-dev installed?" >&2
    return 1
  fi
  echo "$version"
}

# The folder of the Windows Qt: ORVIDA_WINDOWS_QT, or qt-<version>-mingw64 in the cache.
windows_qt_dir() {
  if [ -n "${ORVIDA_WINDOWS_QT:-}" ]; then
    echo "$ORVIDA_WINDOWS_QT"
  else
    echo "${XDG_CACHE_HOME:-$HOME/.cache}/orvida/qt-$(host_qt_version)-mingw64"
  fi
}

# The qtbase version a toolchain stamp (orvida-toolchain.stamp) names.
stamp_qt_version() {
  sed -n '1s/^qtbase \([^ ]*\) for .*/\1/p' "$1"
}

# Makes sure the Windows Qt is installed in windows_qt_dir, unpacking the archive of it
# (ORVIDA_WINDOWS_QT_ARCHIVE, or ../shared/windows/qt-<version>-mingw64.tar.xz beside the
# checkout) when it is not. Returns 3, saying so, when there is neither.
ensure_windows_qt() {
  local qt archive
  qt=$(windows_qt_dir)
  [ -f "$qt/orvida-toolchain.stamp" ] && return 0
  archive=${ORVIDA_WINDOWS_QT_ARCHIVE:-../shared/windows/qt-$(host_qt_version)-mingw64.tar.xz}
  if [ ! -f "$archive" ]; then
    echo "No Windows Qt in $qt and no archive $archive;"
    echo "unpack one with scripts/windows-toolchain --from FILE, or build it once with:"
    echo "  nice scripts/windows-toolchain"
    return 3
  fi
  echo "--- the Windows Qt from $archive"
  ORVIDA_WINDOWS_QT=$qt scripts/windows-toolchain --from "$archive"
}
