#!/usr/bin/env bash
# Installs what running the shipped 32-bit stub needs on this 64-bit-only
# kernel: qemu's user-mode emulator and Debian's 32-bit Wine loader and
# libraries (i386 multiarch). Idempotent and quick when all is there: it asks
# dpkg first and only adds the architecture, updates the package lists and
# installs when something is absent.
#
# wine32:i386 leaves the 64-bit setup alone: it adds /usr/lib/wine/wine (the
# i386 loader) and wineserver32 beside wine64, and the Debian wineserver
# wrapper still picks wineserver64. scripts/wine-run keeps calling wine64 by
# its path; scripts/wine32-run builds its own loader folder under build/.
set -euo pipefail

# Without recommends: those would pull 32-bit GL, sound and media stacks. The
# X extension libraries are the ones the 64-bit side has, so that windows are
# drawn the same way by both halves.
packages=(
  qemu-user
  wine32:i386
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
  libxcomposite1:i386 libxfixes3:i386 libxinerama1:i386
)

missing=()
dpkg --print-foreign-architectures | grep -qx i386 || missing+=("arch:i386")
# One dpkg-query for all: it names each package as asked (with :i386 where
# given) when it knows it, and says nothing of the others.
installed=$(dpkg-query -W -f='${binary:Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true)
for package in "${packages[@]}"; do
  grep -qxF "$package install ok installed" <<<"$installed" || missing+=("$package")
done
# The pieces the emulated setup uses by path.
for file in /usr/bin/qemu-i386 /usr/lib/wine/wine /lib/i386-linux-gnu/libc.so.6 /lib/ld-linux.so.2; do
  [ -e "$file" ] || missing+=("for:$file")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "bootstrap-pe32: installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo dpkg --add-architecture i386
$sudo apt-get update -qq
# i386 libraries must match the versions of their amd64 twins, so apt may
# upgrade some amd64 libraries; it removes nothing (--no-remove makes sure).
$sudo apt-get install -y -qq --no-install-recommends --no-remove "${packages[@]}" >/dev/null
