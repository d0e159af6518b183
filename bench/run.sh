#!/usr/bin/env bash
# Runs every benchmark binary. The frame-rate benchmark wants a real X display with OpenGL, so everything
# runs under Xvfb when no display is set.
set -euo pipefail
build="${1:-build}"
cd "$build"
run() {
  for b in bench/bench_*; do
    [ -x "$b" ] || continue
    echo "== $b"
    "$b"
  done
}
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  export -f run
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c run
else
  run
fi
