#!/usr/bin/env bash
# Prints each stub's linked (unpadded) size and its headroom under the stub length.
set -euo pipefail
bin=${1:-build/bin}
# The stub length is defined once, as kStubLength in the package format header.
header="$(dirname "$0")/../src/package/record_format.h"
limit=$(sed -n 's/.*kStubLength = \([0-9][0-9]*\);.*/\1/p' "$header")
if [ -z "$limit" ]; then
  echo "stub-size.sh: no kStubLength in $header" >&2
  exit 1
fi
for stub in kqstub.exe kqstub64.exe; do
  if [ ! -f "$bin/$stub.unpadded-size" ]; then
    echo "$stub: not built"
    continue
  fi
  size=$(tr -d '[:space:]' < "$bin/$stub.unpadded-size")
  printf '%-13s %6d bytes linked, %6d bytes headroom (padded file: %d bytes)\n' \
    "$stub" "$size" $((limit - size)) "$(stat -c %s "$bin/$stub")"
done
