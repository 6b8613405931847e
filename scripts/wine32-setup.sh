#!/usr/bin/env bash
# Builds the emulated 32-bit Wine setup under build/wine32 (see
# scripts/wine32-env.sh for the layout): a private loader folder, the i386
# mmap shim, and a template prefix whose 32-bit half is filled. Idempotent and
# quick when all is there; prints how long the slow steps took. Needs what
# scripts/bootstrap-pe32.sh installs.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine32-env.sh
source "$here/wine32-env.sh"
# shellcheck source=test-user.sh
source "$here/test-user.sh"
kq_as_test_user "$kq_wine32_root" "$0" "$@"
shim_source="$here/qemu_mmap_shim.c"

# Replaces $2 by a copy of $1 unless they are already the same bytes (a Wine
# upgrade changes the loaders).
copy_if_changed() {
  if ! cmp -s "$1" "$2"; then
    cp "$1" "$2.tmp"
    mv -f "$2.tmp" "$2"
  fi
}

# Writes stdin to $1 (mode $2) unless it already holds exactly that.
write_if_changed() {
  local content
  content=$(cat)
  if [ ! -f "$1" ] || [ "$(cat "$1")" != "$content" ]; then
    printf '%s\n' "$content" >"$1.tmp"
    chmod "$2" "$1.tmp"
    mv -f "$1.tmp" "$1"
  fi
}

make_loader_folder() {
  local usr="$kq_wine32_root/usr"
  mkdir -p "$kq_wine32_bindir" "$usr/lib/x86_64-linux-gnu" "$usr/lib/i386-linux-gnu" "$usr/share"
  copy_if_changed /usr/lib/wine/wine64 "$kq_wine32_bindir/wine64"
  # Not under the name "wine": that name is the script below, which is what
  # Wine executes for every 32-bit program.
  copy_if_changed /usr/lib/wine/wine "$kq_wine32_bindir/wine-i386"
  ln -sfn /usr/lib/wine/wineserver "$kq_wine32_bindir/wineserver"
  ln -sfn /usr/lib/x86_64-linux-gnu/wine "$usr/lib/x86_64-linux-gnu/wine"
  ln -sfn /usr/lib/i386-linux-gnu/wine "$usr/lib/i386-linux-gnu/wine"
  ln -sfn /usr/share/wine "$usr/share/wine"
  # qemu-i386 -E gives the shim to the emulated loader only (qemu itself is a
  # 64-bit program); -0 keeps argv[0] naming this script, from which Wine
  # derives the loader it runs for further 32-bit programs.
  write_if_changed "$kq_wine32_bindir/wine" 755 <<EOF
#!/bin/sh
# Written by scripts/wine32-setup.sh: the i386 Wine loader under qemu-i386.
exec /usr/bin/qemu-i386 -E LD_PRELOAD=$kq_wine32_shim -0 "\$0" $kq_wine32_bindir/wine-i386 "\$@"
EOF
}

# Compiler only for the object (no 32-bit C library headers or start files
# are needed, so no gcc-multilib); the i386 C library that wine32 brought in
# is linked by its file name.
build_shim() {
  if [ -f "$kq_wine32_shim" ] && [ "$kq_wine32_shim" -nt "$shim_source" ]; then return; fi
  local dir="$kq_wine32_root/preload"
  mkdir -p "$dir"
  gcc -m32 -ffreestanding -fno-stack-protector -fPIC -O2 -Wall -Wextra -Werror \
    -c "$shim_source" -o "$dir/kq_mmap_shim.o"
  ld -m elf_i386 -shared -o "$kq_wine32_shim.tmp" "$dir/kq_mmap_shim.o" /lib/i386-linux-gnu/libc.so.6
  mv -f "$kq_wine32_shim.tmp" "$kq_wine32_shim"
}

# Runs its arguments on a virtual display unless one is set.
on_display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1024x768x24" "$@"; fi
}

fill_prefix() {
  "$WINELOADER" wineboot -i
  "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
  "$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  "$kq_wine32_bindir/wineserver" -w
}

make_template_prefix() {
  [ -f "$kq_wine32_template/.kq-ready" ] && return
  rm -rf "$kq_wine32_template"
  kq_wine32_export "$kq_wine32_template"
  local start=$SECONDS
  # wineboot fills syswow64 from the i386 DLL folder only when it is on the
  # DLL path; the loaders find their own ntdll without it.
  if ! WINEDLLPATH=/usr/lib/i386-linux-gnu/wine on_display "$here/wine32-setup.sh" --fill-prefix \
    >"$kq_wine32_root/prefix.log" 2>&1; then
    echo "wine32-setup: creating the prefix failed; see $kq_wine32_root/prefix.log" >&2
    return 1
  fi
  if [ ! -f "$kq_wine32_template/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "wine32-setup: the prefix has no 32-bit half (syswow64); see $kq_wine32_root/prefix.log" >&2
    return 1
  fi
  # A new prefix links Desktop, Documents and the like to $HOME: real folders
  # keep shortcuts inside the prefix, and inside each copy of it.
  local link
  for link in "$kq_wine32_template/drive_c/users/$(id -un)"/*; do
    if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
  done
  touch "$kq_wine32_template/.kq-ready"
  echo "wine32-setup: template prefix created in $((SECONDS - start)) s"
}

# The inner step of make_template_prefix, on the display and in the
# environment it set up (the lock is its caller's).
if [ "${1:-}" = --fill-prefix ]; then
  fill_prefix
  exit
fi

exec 9>"$kq_wine32_root/setup.lock"
flock 9
make_loader_folder
build_shim
make_template_prefix
