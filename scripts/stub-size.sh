#!/usr/bin/env bash
# Prints each stub's linked (unpadded) size and its headroom under the stub length.
set -euo pipefail
bin=${1:-build/bin}
limit=43008
for stub in kqstub.exe kqstub64.exe; do
  if [ ! -f "$bin/$stub.unpadded-size" ]; then
    echo "$stub: not built"
    continue
  fi
  size=$(tr -d '[:space:]' < "$bin/$stub.unpadded-size")
  printf '%-13s %6d bytes linked, %6d bytes headroom (padded file: %d bytes)\n' \
    "$stub" "$size" $((limit - size)) "$(stat -c %s "$bin/$stub")"
done
