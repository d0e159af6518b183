#!/usr/bin/env bash
# Checks the game as players get it: a staged install (DESTDIR) with every file in place, valid desktop entry
# and metainfo, the staged game started from another working folder finding its data through
# <bin>/../share/ombrivale/data (also after the tree is moved), uninstall leaving nothing behind, and the
# Debian package: its control data, its file list, and the game run from the unpacked package.
#   check-install.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "${1:?usage: check-install.sh BUILD_FOLDER}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
appid=io.github.ombrivale.Ombrivale
work=$(mktemp -d "${TMPDIR:-/tmp}/ombrivale-install.XXXXXX")
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-install: FAIL: $*" >&2; exit 1; }
say() { echo "check-install: $*"; }

# Width and height of a PNG from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{printf "%dx%d", $3*256+$4, $7*256+$8}'; }

# Starts the game binary $1 headless from a fresh working folder with a fresh home, waits (bounded) until it
# has loaded its catalogue and texts, stops it with SIGTERM and checks it ended cleanly with every file found.
run_game() {
  local bin=$1 tree=$2 name=$3
  local home="$work/home-$name" cwd="$work/cwd-$name" out="$work/out-$name.txt"
  mkdir -p "$home" "$cwd"
  local before; before=$(cd "$tree" && find . -printf '%p %s %T@\n' | sort | md5sum)
  (cd "$cwd" && exec env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
      HOME="$home" XDG_DATA_HOME="$home/data" "$bin" >"$out" 2>&1) &
  game_pid=$!
  local i
  for i in $(seq 1 600); do
    grep -q '^load_all_levels()' "$out" && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  grep -q '^load_all_levels()' "$out" || { cat "$out"; fail "$name: the game did not come up"; }
  kill -TERM "$game_pid"
  local rc=0
  wait "$game_pid" || rc=$?
  game_pid=""
  [ "$rc" -eq 0 ] || { cat "$out"; fail "$name: exit status $rc after SIGTERM"; }
  grep -q '^stopped by signal 15' "$out" || { cat "$out"; fail "$name: no clean stop"; }
  if grep -E '^error|cannot be read|missing' "$out"; then fail "$name: the game missed files of its data"; fi
  grep -qx "$home/data/Corvantis/Ombrivale-v-0-0-10/" "$out" || { cat "$out"; fail "$name: user folder not in HOME"; }
  [ -f "$home/data/Corvantis/Ombrivale-v-0-0-10/settings.txt" ] || fail "$name: settings were not saved"
  [ -z "$(ls -A "$cwd")" ] || fail "$name: the game wrote into its working folder"
  local after; after=$(cd "$tree" && find . -printf '%p %s %T@\n' | sort | md5sum)
  [ "$before" = "$after" ] || fail "$name: the game wrote into its installed tree"
  say "$name: started from $cwd, found its data, stopped cleanly"
}

# 1. Staged install.
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
cp "$build/install_manifest.txt" "$work/manifest.txt"
root="$stage/usr"
[ -x "$root/bin/ombrivale" ] || fail "bin/ombrivale missing or not executable"
for f in share/ombrivale/icon32.ico share/applications/$appid.desktop share/metainfo/$appid.metainfo.xml \
         share/ombrivale/data/levelz/levels.lvl share/ombrivale/data/texts/menutexts.txt \
         share/ombrivale/data/branding/splashconfig.txt; do
  [ -s "$root/$f" ] || fail "$f missing"
done
for s in 16 24 32 48 64 128 256 512; do
  icon="$root/share/icons/hicolor/${s}x${s}/apps/$appid.png"
  [ -s "$icon" ] || fail "icon ${s}x${s} missing"
  [ "$(png_size "$icon")" = "${s}x${s}" ] || fail "icon ${s}x${s} is $(png_size "$icon")"
done
diff -rq "$build/data" "$root/share/ombrivale/data" >/dev/null || fail "installed data differs from the build's"
while IFS= read -r f || [ -n "$f" ]; do [ -e "$stage$f" ] || fail "manifest lists $f but it is not there"; done < "$work/manifest.txt"
[ "$(find "$stage" -type f | wc -l)" -eq "$(grep -c "" "$work/manifest.txt")" ] || fail "files outside the manifest"
say "staged install: $(grep -c "" "$work/manifest.txt") files in place"

# 2. Desktop entry and metainfo.
desktop-file-validate "$root/share/applications/$appid.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$root/share/metainfo/$appid.metainfo.xml" >/dev/null ||
  { appstreamcli validate --no-net "$root/share/metainfo/$appid.metainfo.xml"; fail "metainfo invalid"; }
grep -qx "StartupWMClass=$appid" "$root/share/applications/$appid.desktop" || fail "StartupWMClass"
grep -qx "Icon=$appid" "$root/share/applications/$appid.desktop" || fail "Icon"
say "desktop entry and metainfo valid"

# 3. The staged game runs from elsewhere, and still after the tree moved to another prefix.
run_game "$root/bin/ombrivale" "$stage" staged
mkdir -p "$work/moved/opt"
mv "$root" "$work/moved/opt/ombrivale"
run_game "$work/moved/opt/ombrivale/bin/ombrivale" "$work/moved" moved
mv "$work/moved/opt/ombrivale" "$root"

# 4. Uninstall removes exactly what was installed.
DESTDIR="$stage" bash "$here/uninstall.sh" "$work/manifest.txt" >/dev/null
left=$(find "$stage" -type f | wc -l)
[ "$left" -eq 0 ] || { find "$stage" -type f | head; fail "$left files left after uninstall"; }
[ ! -e "$root/share/ombrivale" ] || fail "share/ombrivale left after uninstall"
say "uninstall left no files"

# 5. The Debian package.
(cd "$build" && cpack -G DEB -B "$work/pkg" >/dev/null) || fail "cpack failed"
deb=$(ls "$work"/pkg/*.deb)
info=$(dpkg-deb -I "$deb")
grep -q '^ Package: ombrivale$' <<<"$info" || fail "package name"
depends=$(echo "$info" | sed -n 's/^ Depends: //p')
for lib in libsdl2-2.0-0 libpng16-16 libjpeg62-turbo libvorbisfile3 libc6; do
  echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
# OpenGL is loaded at run time, so the package recommends the GL loader and Mesa's drivers by name.
recommends=$(echo "$info" | sed -n 's/^ Recommends: //p')
for pkg in libgl1 libglx-mesa0 libgl1-mesa-dri; do
  echo "$recommends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$pkg" || fail "Recommends lacks $pkg: $recommends"
done
list=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/ombrivale ./usr/share/applications/$appid.desktop ./usr/share/metainfo/$appid.metainfo.xml \
         ./usr/share/icons/hicolor/512x512/apps/$appid.png ./usr/share/icons/hicolor/16x16/apps/$appid.png \
         ./usr/share/ombrivale/icon32.ico ./usr/share/ombrivale/data/levelz/levels.lvl; do
  grep -qx -- "$f" <<<"$list" || fail "package lacks $f"
done
dpkg-deb -x "$deb" "$work/unpacked"
run_game "$work/unpacked/usr/bin/ombrivale" "$work/unpacked" package
say "package $(basename "$deb"): Depends: $depends; Recommends: $recommends"
say "all checks passed"
