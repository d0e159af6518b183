#!/bin/bash
# Contact sheets of the adventure: the opening board of every level and its map preview, one sheet per region.
#   tools/levels/sheets.sh BUILD_DIR OUT_DIR [FRAME]
# Needs ImageMagick's montage. Writes OUT_DIR/section-S.png (boards) and OUT_DIR/previews-S.png.
set -e
build="${1:-build}"; out="${2:-$build/contact/levels}"; frame="${3:-170}"
command -v montage >/dev/null || { echo "montage (ImageMagick) is needed for the level sheets"; exit 1; }
mkdir -p "$out/shots"
for s in ${SECTIONS:-1 2 3 4 5 6 7}; do
  scenes=()
  for i in $(seq 1 15); do n=$(( (s - 1) * 15 + i )); scenes+=("level:$n:$frame" "mappreview:$n"); done
  "$build/ombrivale-shot" "$out/shots" "${scenes[@]}" >/dev/null
  boards=(); previews=()
  for i in $(seq 1 15); do
    n=$(( (s - 1) * 15 + i ))
    boards+=(-label "$n" "$out/shots/level-$n-$frame.png")
    previews+=(-label "$n" "$out/shots/mappreview-$n.png")
  done
  montage "${boards[@]}" -tile 5x3 -geometry 320x240+4+4 "$out/section-$s.png"
  montage "${previews[@]}" -crop 250x290+275+215 -tile 5x3 -geometry +4+4 "$out/previews-$s.png" 2>/dev/null || \
    montage "${previews[@]}" -tile 5x3 -geometry 240x180+4+4 "$out/previews-$s.png"
  echo "section $s: $out/section-$s.png $out/previews-$s.png"
done
