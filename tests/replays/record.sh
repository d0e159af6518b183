#!/usr/bin/env bash
# Records every journal of tests/replays/ again from its script (make replays-record): after a change to the
# game's rules or screens the old journals no longer match, and this makes new ones from the same play.
set -euo pipefail
build="${1:-build}"
here="$(cd "$(dirname "$0")" && pwd)"
status=0
for script in "$here"/*.script; do
  name="$(basename "$script" .script)"
  if "$build/ombrivale-record" "$script" "$here/$name.ojr.new" > "$build/record-$name.log" 2>&1 &&
     "$build/ombrivale" --replay "$here/$name.ojr.new" --headless --check >> "$build/record-$name.log" 2>&1; then
    mv "$here/$name.ojr.new" "$here/$name.ojr"
    echo "recorded $name ($(stat -c %s "$here/$name.ojr") bytes)"
  else
    rm -f "$here/$name.ojr.new"
    echo "could not record $name: see $build/record-$name.log"
    status=1
  fi
done
exit $status
