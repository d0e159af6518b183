#!/usr/bin/env bash
# Removes what `make install` installed: every file listed in the install manifest, then the folders under
# share/ombrivale that held only the game's files. Shared folders (applications, icons, metainfo) stay.
# The manifest lists paths under the prefix; DESTDIR, when set, is put before each as at install.
set -euo pipefail
manifest="${1:?usage: uninstall.sh INSTALL_MANIFEST}"
if [ ! -f "$manifest" ]; then
  echo "uninstall: $manifest not found (nothing installed from this build folder)" >&2
  exit 1
fi
removed=0
while IFS= read -r f || [ -n "$f" ]; do
  [ -n "$f" ] || continue
  f="${DESTDIR:-}$f"
  if [ -e "$f" ] || [ -L "$f" ]; then
    rm -f -- "$f"
    removed=$((removed + 1))
  fi
done < "$manifest"
# The game's own folders, deepest first.
grep '/share/ombrivale/' "$manifest" | while IFS= read -r f || [ -n "$f" ]; do
  d=$(dirname "${DESTDIR:-}$f")
  while [[ "$d" == */share/ombrivale* ]]; do
    echo "$d"
    d=$(dirname "$d")
  done
done | sort -ru | while IFS= read -r d; do
  [ -d "$d" ] && rmdir --ignore-fail-on-non-empty -- "$d"
done
echo "uninstall: removed $removed files"
