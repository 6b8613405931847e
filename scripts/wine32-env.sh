# Sourced by scripts/wine32-setup.sh and scripts/wine32-run: where the
# emulated 32-bit Wine setup lives and the environment its programs run in.
#
#   build/wine32/                  (KQ_WINE32_ROOT overrides)
#     usr/lib/wine/wine64          copy of the 64-bit loader
#     usr/lib/wine/wine-i386       copy of the i386 loader
#     usr/lib/wine/wine            script: wine-i386 under qemu-i386
#     usr/lib/wine/wineserver      link to Debian's wineserver wrapper
#     usr/lib/{x86_64,i386}-linux-gnu/wine, usr/share/wine: links to the system's
#     preload/kq_mmap_shim.so      the i386 mmap shim (scripts/qemu_mmap_shim.c)
#     prefix/                      the template Wine prefix (win64 with syswow64)
#     runs/                        per-run copies of the template
#     home/                        HOME for everything Wine starts
#
# Wine finds ntdll.so, its DLL folders and its data relative to the folder of
# the running loader, and starts other-bitness programs with "wine" or
# "wine64" from that same folder (it resolves /proc/self/exe, so links to the
# loaders would lead back to /usr/lib/wine). Hence a private folder holding
# copies, laid out like /usr/lib/wine so the relative paths still reach the
# system's files through the links.

kq_wine32_root=${KQ_WINE32_ROOT:-"$(dirname "${BASH_SOURCE[0]}")/../build/wine32"}
mkdir -p "$kq_wine32_root"
kq_wine32_root=$(cd "$kq_wine32_root" && pwd)
kq_wine32_bindir="$kq_wine32_root/usr/lib/wine"
kq_wine32_shim="$kq_wine32_root/preload/kq_mmap_shim.so"
kq_wine32_template="$kq_wine32_root/prefix"

# The environment for running programs in the prefix $1.
kq_wine32_export() {
  export WINEPREFIX="$1"
  export HOME="$kq_wine32_root/home"
  export WINELOADER="$kq_wine32_bindir/wine64"
  export WINEARCH=win64
  # The loader's first step re-executes itself natively, which this kernel
  # refuses for the i386 one; harmless for wine64, which has no preloader here.
  export WINELOADERNOEXEC=1
  export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
  export WINEDEBUG=${KQ_WINE32_DEBUG:--all}
  unset WINESERVER WINEDLLPATH
  mkdir -p "$HOME"
}
