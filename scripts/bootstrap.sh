#!/usr/bin/env bash
# Installs what the build and the tests need, with apt-get, when it is missing.
# Idempotent, and quick when everything is there: it asks dpkg first and only
# updates the package lists and installs when something is absent.
set -euo pipefail

packages=(
  cmake make g++ coreutils
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  googletest
  clang libclang-rt-14-dev
  wine64 xvfb xauth
  imagemagick x11-apps
  osslsigncode openssl
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
# The posix-thread-model compilers come with the MinGW packages; check them too.
for tool in i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix /usr/lib/wine/wine64; do
  command -v "$tool" >/dev/null 2>&1 || [ -x "$tool" ] || missing+=("for:$tool")
done

# The unprivileged user the Wine runners use when started by root
# (scripts/test-user.sh).
if [ "$(id -u)" -eq 0 ] && ! id -u kqtest >/dev/null 2>&1; then
  useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin kqtest
fi

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "bootstrap: installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${packages[@]}" >/dev/null
