#!/usr/bin/env bash
# The main job: packs the hello example from its project file into setup
# programs (the shipped 32-bit one and its 64-bit twin), lists the package,
# and runs the 64-bit setup under Wine, showing what it stages.
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

echo "== running $out/hello-setup64.exe under Wine"
wine_root=build/wine
temp_dir="$wine_root/prefix/drive_c/users/$(id -un)/Temp"
rm -f "$temp_dir/Uninstal.inf" "$temp_dir/License.txt"
if [ "${DEMO_INTERACTIVE:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  scripts/wine-run "$out/hello-setup64.exe"
else
  env -u DISPLAY scripts/wine-run "$out/hello-setup64.exe"
fi
echo "exit code: $?"
for staged in Uninstal.inf License.txt; do
  if [ -f "$temp_dir/$staged" ]; then
    echo "-- staged in the temp folder: $staged ($(stat -c %s "$temp_dir/$staged") bytes)"
  else
    echo "-- not staged: $staged"
    exit 1
  fi
done
sed 's/\r$//' "$temp_dir/Uninstal.inf" | sed 's/^/   /'
