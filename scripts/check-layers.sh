#!/usr/bin/env bash
# Fails when a source file in src/ includes a header of a layer above its own
# (or of another folder of its own layer). The layers, bottom first:
#   text | platform | script | package | ui | install, uninstall | startup
# text uses nothing of ours; platform only text; each layer only those below.
set -euo pipefail
cd "$(dirname "$0")/../src"
layer_of() {
  case $1 in
    text) echo 0 ;; platform) echo 1 ;; script) echo 2 ;; package) echo 3 ;; ui) echo 4 ;;
    install | uninstall) echo 5 ;; startup) echo 6 ;; *) echo "" ;;
  esac
}
status=0
while IFS= read -r -d '' file; do
  folder=${file%%/*}
  own=$(layer_of "$folder")
  if [ -z "$own" ]; then
    echo "check-layers: $file: folder $folder has no layer" >&2
    status=1
    continue
  fi
  while IFS= read -r included; do
    target=${included%%/*}
    [ "$target" = "$folder" ] && continue
    other=$(layer_of "$target")
    if [ -z "$other" ] || [ "$other" -ge "$own" ]; then
      echo "check-layers: $file includes $included (layer ${other:-?} is not below $folder's $own)" >&2
      status=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | tr '\n' '\0')
[ "$status" -eq 0 ] && echo "check-layers: no include climbs a layer"
exit "$status"
