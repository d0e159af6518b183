#!/bin/bash
# Fails when an #include in src/ points upward across the layers of the game, or when SDL is included outside
# platform/. A file may include its own folder, anything in a lower layer, and the other folders of its own layer.
#   scripts/check-layers.sh [SRC_DIR]
set -u
src="${1:-$(dirname "$0")/../src}"

# The layers, lowest first, written once. Folders named on one line form one layer and may use each other.
layers=(
  "globals.h"                             # the state every layer shares: declarations only, includes nothing
  "platform"                              # drawing, images, input, mixer, sound bank, backgrounds, files
  "storage"                               # user-data folder, settings, player profiles
  "texts"                                 # text tables, bitmap fonts and text layout
  "effects ui screens aztec match3 app"   # the game: screens and their parts, the flow and the loop
  "main.cpp"
)

# Upward includes that are known and allowed for now, as "FILE -> INCLUDE" under src/.
allowed=(
  # storage/players.cpp still applies a loaded profile to the game's state and collects it for a save; these
  # go when that work moves next to the state it touches. Delete the lines then.
  "storage/players.cpp -> app/screenflow.h"
  "storage/players.cpp -> app/shell.h"
  "storage/players.cpp -> aztec/board.h"
  "storage/players.cpp -> aztec/catalogue.h"
  "storage/players.cpp -> aztec/levelrun.h"
  "storage/players.cpp -> match3/match3.h"
  "storage/players.cpp -> ui/popups.h"
)

# Layer number of a path under src/ ("platform/draw.h", "globals.h"); -1 when no layer names it.
layerof() {
  local top="${1%%/*}" i name
  for i in "${!layers[@]}"; do
    for name in ${layers[$i]}; do
      if [ "$name" = "$top" ]; then echo "$i"; return; fi
    done
  done
  echo -1
}

bad=0
cd "$src" || { echo "no source folder $src"; exit 2; }
while IFS= read -r file; do
  file="${file#./}"
  from=$(layerof "$file")
  if [ "$from" -lt 0 ]; then
    echo "$file: its folder is in no layer (add it to the list in $0)"; bad=1; continue
  fi
  while IFS= read -r line; do
    inc=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]+)[">].*/\1/' <<<"$line")
    if [[ "$line" =~ \<SDL ]]; then
      [ "${file%%/*}" = platform ] || { echo "$file: includes $inc (only platform/ talks to SDL)"; bad=1; }
      continue
    fi
    [[ "$line" =~ \" ]] || continue
    to=$(layerof "$inc")
    [ "$to" -lt 0 ] && continue  # a header of a library, or of the file's own tool
    if [ "$to" -gt "$from" ]; then
      case " ${allowed[*]/%/|} " in
        *" $file -> $inc|"*) ;;
        *) echo "$file: includes $inc, which is in a higher layer"; bad=1 ;;
      esac
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find . -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

if [ "$bad" -ne 0 ]; then
  echo "include layers: FAILED (lowest first: ${layers[*]})"
  exit 1
fi
echo "include layers: ok"
