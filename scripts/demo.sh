#!/usr/bin/env bash
# The main job: packs the hello example from its project file into setup
# programs (the shipped 32-bit one and its 64-bit twin), lists the package,
# and runs the 64-bit setup under Wine: headless, a walk through a real
# install and uninstall with default choices and Yes to every question
# (build/bin/kq_demo_walkthrough.exe), printing each step and saving a
# screenshot; with DEMO_INTERACTIVE=1 and a DISPLAY, just the installer, for
# a person to click through.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
out=build/examples
example=examples/hello
mkdir -p "$out"

for variant in "kqstub.exe:hello-setup.exe" "kqstub64.exe:hello-setup64.exe"; do
  stub=${variant%%:*}
  setup=${variant##*:}
  "$bin/kqpack" build "$example/hello.kqp" --stub "$bin/$stub" -o "$out/$setup"
done

echo "== $out/hello-setup.exe (PE32, what authors ship)"
"$bin/kqpack" list "$out/hello-setup.exe"
echo

windows_path() { printf 'Z:%s' "$(realpath "$1")" | tr / '\\'; }

echo "== running $out/hello-setup64.exe under Wine"
if [ "${DEMO_INTERACTIVE:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine-run "$out/hello-setup64.exe"
fi
screenshot="$out/hello-setup-wizard.png"
rm -f "$screenshot"
# Wine may run as the unprivileged test user: the picture goes through a
# folder it can write.
shots=$(mktemp -d)
chmod 777 "$shots"
env -u DISPLAY KQ_WINE_FRESH=demo scripts/wine-run "$bin/kq_demo_walkthrough.exe" \
  "$(windows_path "$out/hello-setup64.exe")" "$(windows_path "$shots")\\wizard.bmp"
convert "$shots/wizard.bmp" "$screenshot"
rm -rf "$shots"
echo
echo "screenshot of the backdrop with the wizard: $screenshot"
