#!/usr/bin/env bash
# The main job: packs the hello example from its project file into setup
# programs (the shipped 32-bit one and its 64-bit twin), lists the package,
# and runs `kqpack try` on the 64-bit one, which wine64 runs: an unattended
# install in a fresh Wine prefix, what it made, the uninstall and what it
# left, and a screenshot of the wizard. With DEMO_INTERACTIVE=1 and a
# DISPLAY, just the installer, for a person to click through.
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

if [ "${DEMO_INTERACTIVE:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  echo "== running $out/hello-setup64.exe under Wine"
  exec scripts/wine-run "$out/hello-setup64.exe"
fi
echo "== kqpack try $out/hello-setup64.exe"
"$bin/kqpack" try "$out/hello-setup64.exe" --screenshot "$out/hello-setup-wizard.png"
