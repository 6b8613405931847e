#!/usr/bin/env bash
# The body of `kqpack try SETUP.exe [--keep] [--screenshot FILE]`, which finds
# this file beside kqpack or in share/kqsetup of its installation. Installs a
# setup program unattended (/S) in a fresh Wine prefix of its own, checks
# that everything its uninstall log lists is there, prints what the install
# made, uninstalls it by the entry's QuietUninstallString and prints what is
# left. Exit status 1 when anything failed or was left behind.
#
# Wine runs without an X display (nothing shows under /S); only the
# screenshot's run gets one, from xvfb-run. What Wine itself prints goes to
# wine.log beside the prefix.
set -euo pipefail

# The screenshot's run, started below under xvfb-run: the setup as a user
# starts it, the screen saved once the wizard's first page shows (Wine puts
# the page's caption on the frame), then everything in the prefix ended.
if [ "${1:-}" = --capture ]; then
  wine=$2 wineserver=$3 setup=$4 picture=$5
  "$wine" "$setup" >/dev/null 2>&1 &
  shown=0
  for _ in $(seq 120); do
    if xwd -silent -name 'Welcome to Setup' >/dev/null 2>&1; then shown=1 && break; fi
    sleep 0.5
  done
  [ "$shown" = 0 ] || { sleep 1 && xwd -silent -root | convert xwd:- "$picture"; }
  "$wineserver" -k 2>/dev/null || true
  wait || true
  exit $((1 - shown))
fi

setup=$(realpath "$1")
shift
keep=0 picture=
while [ $# -gt 0 ]; do
  case $1 in
    --keep) keep=1 ;;
    --screenshot) picture=$(realpath -m "$2") && shift ;;
  esac
  shift
done

refuse() {
  echo "kqpack: try: $*" >&2
  exit 1
}
found() { command -v "$1" || true; }
first_program() {
  for program in "$@"; do
    if [ -n "$program" ] && [ -x "$program" ]; then echo "$program" && return; fi
  done
}

# The optional header's magic: 020b for a 64-bit program, 010b for a 32-bit one.
pe_offset=$(od -An -tu4 -j60 -N4 "$setup" | tr -d ' ')
hint=
if [ "$(od -An -tx2 -j$((pe_offset + 24)) -N2 "$setup" | tr -d ' ')" = 020b ]; then
  wine=$(first_program /usr/lib/wine/wine64 "$(found wine64)" "$(found wine)")
  [ -n "$wine" ] || refuse "Wine is not installed: install the Debian package wine64 (apt-get install wine64)"
else
  hint="; or try the same package built with --stub kqstub64.exe, which needs only wine64"
  wine=$(first_program /usr/lib/wine/wine "$(found wine)")
  # Debian's wine wrapper falls back to the 64-bit loader, which cannot run it.
  [ -x /usr/lib/wine/wine ] || [ ! -x /usr/lib/wine/wine64 ] || wine=
  [ -n "$wine" ] || refuse "${setup##*/} is a 32-bit program and needs 32-bit Wine: install the Debian package" \
    "wine32:i386 (dpkg --add-architecture i386; apt-get update; apt-get install wine32:i386)$hint"
fi
version=$("$wine" --version 2>&1) || refuse "$wine does not run on this machine: ${version##*: }$hint"
wineserver=$(first_program "$(dirname "$wine")/wineserver" "$(found wineserver)")
[ -n "$wineserver" ] || refuse "no wineserver beside $wine"
if [ -n "$picture" ]; then
  for tool in xvfb-run:xvfb xwd:x11-apps convert:imagemagick; do
    [ -n "$(found "${tool%%:*}")" ] || refuse "--screenshot needs ${tool%%:*}: install the Debian package ${tool#*:}"
  done
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kqpack-try.XXXXXX")
export WINEPREFIX=$work/prefix HOME=$work/home WINEDEBUG=-all
# No Mono or Gecko installer to ask anything, no menu entries on the host.
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY WINEARCH WINESERVER WINELOADER
mkdir -p "$HOME"
finish() {
  "$wineserver" -k 2>/dev/null || true
  if [ "$keep" = 1 ]; then echo "the Wine prefix is kept in $WINEPREFIX (HOME=$HOME)"; else rm -rf "$work"; fi
}
trap finish EXIT

# A program under Wine, its exit status, and nothing running in the prefix
# after it. Five minutes at most: a setup waiting for an answer must not hang CI.
run() {
  local status=0
  timeout -k 10 300 "$wine" "$@" >>"$work/wine.log" 2>&1 || status=$?
  "$wineserver" -w
  return "$status"
}
problems=()
problem() {
  problems+=("$1")
  echo "   PROBLEM: $1"
}

# Every path under C:, as a snapshot to compare.
snapshot() { (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 | LC_ALL=C sort) >"$work/$1"; }
windows_name() { sed 's|^\./|C:\\|; s|/|\\|g'; }
unix_path() {
  local drive=${1:0:1} rest=${1:2}
  printf '%s/dosdevices/%s:%s' "$WINEPREFIX" "${drive,,}" "${rest//\\//}"
}
# The uninstall entries in the registry (32- or 64-bit view), as system.reg names their keys.
entries() {
  grep -o '^\[Software\\\\\(Wow6432Node\\\\\)\{0,1\}Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\[^]]*\]' \
    "$WINEPREFIX/system.reg" | LC_ALL=C sort || true
}
# The values of a key of system.reg as "name = value", strings unescaped.
values_of() {
  KEY=$1 awk 'index($0, ENVIRON["KEY"] " ") == 1 { inside = 1; next } inside && !NF { exit } inside && !/^#/' \
    "$WINEPREFIX/system.reg" | sed 's/^"\([^"]*\)"="\(.*\)"$/\1 = \2/; s/^"\([^"]*\)"=/\1 = /; s/\\"/"/g; s/\\\\/\\/g'
}

echo "== a fresh Wine prefix ($version)"
run wineboot -i || true
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n\n' >"$work/settings.reg"
printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n' >>"$work/settings.reg"
run regedit /S "Z:${work//\//\\}\\settings.reg" || true
# Real folders instead of a new prefix's links into HOME, so that everything
# the install makes is under C:; and a Quick Launch folder, as a real desktop has.
for user in "$WINEPREFIX"/drive_c/users/*; do
  for link in "$user"/*; do if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi; done
  mkdir -p "$user/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch"
done
[ -f "$WINEPREFIX/system.reg" ] || refuse "Wine could not make a prefix: $(tail -n 5 "$work/wine.log")"
snapshot before
entries >"$work/entries.before"

echo "== install: ${setup##*/} /S"
status=0
run "$setup" /S || status=$?
echo "   ended, exit code $status"
[ "$status" = 0 ] || problem "the install ended with exit code $status (1: cancelled or declined, 2: failed)"
snapshot installed
echo
echo "== installed files (bytes)"
made=$(LC_ALL=C comm -13 "$work/before" "$work/installed")
[ -n "$made" ] || echo "   none"
while IFS= read -r path; do
  if [ -z "$path" ]; then continue; fi
  if [ -d "$WINEPREFIX/drive_c/$path" ]; then
    printf '   %9s  %s\\\n' "" "$(windows_name <<<"$path")"
  else
    printf '   %9s  %s\n' "$(stat -c %s "$WINEPREFIX/drive_c/$path")" "$(windows_name <<<"$path")"
  fi
done <<<"$made"

entry=$(entries | LC_ALL=C comm -13 "$work/entries.before" - | head -n 1)
quiet=
if [ -n "$entry" ]; then
  echo
  echo "== registry: HKLM\\$(sed 's/^\[//; s/\]$//; s/\\\\/\\/g' <<<"$entry")"
  values_of "$entry" | sed 's/^/   /'
  quiet=$(values_of "$entry" | sed -n 's/^QuietUninstallString = //p')
else
  problem "no uninstall entry was made"
fi

# "C:\windows\Dizizev3.exe" /S C:\Program Files\App\Uninstal.inf
if [[ $quiet =~ ^\"([^\"]*)\"\ (/S\ (.*))$ ]]; then
  uninstaller=${BASH_REMATCH[1]} tail=${BASH_REMATCH[2]} log_name=${BASH_REMATCH[3]}
  log=$(unix_path "$log_name")
  echo
  echo "== uninstall log [Uninstall] ($log_name)"
  section=$(tr -d '\r' <"$log" 2>/dev/null | awk '/^\[/ { inside = tolower($0) == "[uninstall]"; next } inside && NF' || true)
  [ -n "$section" ] || problem "$log_name: not there, or without an [Uninstall] section"
  sed 's/^/   /' <<<"$section"
  dir=$(sed -n 's/^dir=//p' <<<"$section")
  echo
  echo "== what the log lists"
  listed=0 missing=0
  while IFS='=' read -r key value; do
    case ${key,,} in
      dire*) path="$dir\\$value" kind=folder ;;
      dir | linkdir) path=$value kind=folder ;;
      file* | dll*) path=$value kind=file ;;
      *) continue ;;
    esac
    [[ $value != "<"* ]] || continue  # a file kept under its copy mode: not the install's
    listed=$((listed + 1))
    if [ "$kind" = folder ]; then there=$(unix_path "$path")/.; else there=$(unix_path "$path"); fi
    [ -e "$there" ] || { problem "$key: $path is not there" && missing=$((missing + 1)); }
  done <<<"$section"
  echo "   $((listed - missing)) of $listed files and folders are there"
  echo
  echo "== shortcuts"
  { grep -i '^file[^=]*=.*\.lnk$' <<<"$section" || true; } | while IFS='=' read -r _ path; do
    echo "   $path"
    # The target as the shortcut's link information holds it, in ANSI.
    target=$(LC_ALL=C tr -c '[:print:]' '\n' <"$(unix_path "$path")" 2>/dev/null | grep '^[A-Za-z]:[\]' | tail -n 1 || true)
    echo "      -> ${target:-?}"
  done

  echo
  echo "== uninstall: $quiet"
  status=0
  # Wine joins the words into the command line again: the tail as it was,
  # but for runs of blanks.
  # shellcheck disable=SC2086
  (set -f && run "$uninstaller" $tail) || status=$?
  echo "   ended, exit code $status"
  [ "$status" = 0 ] || problem "the uninstall ended with exit code $status"
elif [ -n "$entry" ]; then
  problem "the uninstall entry has no QuietUninstallString of the form \"PROGRAM\" /S LOG"
fi

echo
echo "== what is left"
snapshot after
left=$(LC_ALL=C comm -13 "$work/before" "$work/after" | windows_name)
while IFS= read -r path; do
  if [ -z "$path" ]; then continue; fi
  if [ "${path,,}" = 'c:\windows\dizizev3.exe' ]; then
    echo "   $path (the uninstaller, which stays for other packages)"
  else
    problem "left behind: $path"
  fi
done <<<"$left"
if entries | LC_ALL=C comm -13 "$work/entries.before" - | grep -q .; then
  problem "left behind: the uninstall entry"
fi

if [ -n "$picture" ]; then
  echo
  if xvfb-run -a -s "-screen 0 1024x768x24" bash "${BASH_SOURCE[0]}" --capture "$wine" "$wineserver" "$setup" "$picture"; then
    echo "== screenshot of the wizard: $picture"
  else
    problem "no screenshot: the wizard did not show within a minute"
  fi
fi

echo
if [ ${#problems[@]} -eq 0 ]; then
  echo "kqpack try: ${setup##*/} installed and uninstalled cleanly"
  exit 0
fi
echo "kqpack try: ${setup##*/}: ${#problems[@]} problem(s):"
printf '   %s\n' "${problems[@]}"
exit 1
