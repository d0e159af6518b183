#!/usr/bin/env bash
# Renders the README's pictures with the screenshot tool: 800 x 600 JPEG files named after what they show.
#   screenshots.sh BUILD_FOLDER OUT_FOLDER [README]
# With a README, also checks that every picture it shows from docs/screenshots/ is one that this script makes.
# Fails when the tool fails or a picture is missing or not a JPEG file.
set -euo pipefail
build=$(cd "${1:?usage: screenshots.sh BUILD_FOLDER OUT_FOLDER [README]}" && pwd)
out="${2:?usage: screenshots.sh BUILD_FOLDER OUT_FOLDER [README]}"
readme="${3:-}"
# name=scene of the screenshot tool
shots=(
  menu=menu
  play=fire:34:725:27
  map=map
  match3=level:10:260
  story=story:2
)
mkdir -p "$out"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/ombrivale-shots.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
scenes=()
for s in "${shots[@]}"; do scenes+=("${s#*=}"); done
"$build/ombrivale-shot" --jpeg 85 "$tmp" "${scenes[@]}" >"$tmp/log.txt" 2>&1 ||
  { cat "$tmp/log.txt"; echo "screenshots: the screenshot tool failed" >&2; exit 1; }
for s in "${shots[@]}"; do
  name=${s%%=*} scene=${s#*=}
  file="$tmp/$(echo "$scene" | tr ':' '-').jpg"
  [ -s "$file" ] || { cat "$tmp/log.txt"; echo "screenshots: $scene was not written" >&2; exit 1; }
  [ "$(od -An -tx1 -N3 "$file" | tr -d ' ')" = "ffd8ff" ] || { echo "screenshots: $file is not JPEG" >&2; exit 1; }
  size=$(stat -c %s "$file")
  [ "$size" -gt 20000 ] || { echo "screenshots: $name is suspiciously small ($size bytes)" >&2; exit 1; }
  cp "$file" "$out/$name.jpg"
  echo "screenshots: $out/$name.jpg ($((size / 1024)) KiB)"
done
if [ -n "$readme" ]; then
  for pic in $(grep -o 'docs/screenshots/[A-Za-z0-9_-]*\.jpg' "$readme" | sort -u); do
    name=$(basename "$pic" .jpg)
    printf '%s\n' "${shots[@]}" | grep -q "^$name=" || { echo "screenshots: README shows $pic, not made here" >&2; exit 1; }
    [ -s "$(dirname "$readme")/$pic" ] || { echo "screenshots: README shows $pic, which is missing" >&2; exit 1; }
  done
fi
