#!/usr/bin/env bash
# Mutation check: applies each single-token change of tests/mutants.txt to a private copy of the tree, rebuilds
# only the changed object, the core library and the test binary, runs the tests that guard that code, puts the
# file back, and reports which changes the tests noticed (killed) and which they did not (survived).
#
#   tools/mutants/run.sh [BUILD_FOLDER] [LIST] [MATCH]
#   tools/mutants/run.sh --check [LIST]
# MATCH (optional) limits the run to list lines containing that text.
# The working tree is never edited: the copy lives in BUILD_FOLDER/tree and is refreshed from it on each run.
# --check builds nothing: it only shows that every line of the list still finds its code in the working tree
# (a line left behind by a move of the code would otherwise drop out of the score unnoticed).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
check_only=0
if [ "${1:-}" = "--check" ]; then
  check_only=1
  list="${2:-$root/tests/mutants.txt}"
  match=""
else
  out="$(cd "$root" && mkdir -p "${1:-build-mutants}" && cd "${1:-build-mutants}" && pwd)"
  list="${2:-$root/tests/mutants.txt}"
  match="${3:-}"
fi

# Tests run per file when a line names no filter of its own.
default_filter() {
  case "$1" in
    src/aztec/rules.cpp|src/aztec/board.cpp|src/aztec/cannon.cpp)
      echo 'AztecBoard.*:BoardRules.*-AztecBoard.TheSolverWinsEveryTestBoard;LevelRun.*:Score.*' ;;
    src/aztec/levelrun.cpp|src/aztec/gamescreen.cpp|src/aztec/winlose.cpp)
      echo 'LevelRun.*:GameScreen.*:RunRules.*:Score.*' ;;
    src/match3/*) echo 'Match3.*:Match3Rules.*' ;;
    src/storage/players.cpp|src/storage/profilefile.cpp|src/app/profiles.cpp)
      echo 'Players.*:ProfileCodec.*:DamagedFiles.*:Popups.*:Menu.*' ;;
    *) echo '*' ;;
  esac
}

# Reads the list: file | context | original | replacement | filter
files=(); ctxs=(); froms=(); tos=(); filters=()
read_list() {
  local line rest parts f c a b t
  while IFS= read -r line || [ -n "$line" ]; do
    [[ -z "${line// }" || "$line" == \#* ]] && continue
    [ -n "$match" ] && [[ "$line" != *"$match"* ]] && continue
    # Fields are separated by " | " (a lone bar with a space on each side; "||" in code is left alone).
    rest="$line"; parts=()
    while [[ "$rest" == *" | "* ]]; do parts+=("${rest%%" | "*}"); rest="${rest#*" | "}"; done
    rest="${rest%|}"; parts+=("${rest% }")
    f="${parts[0]// /}"; c="${parts[1]:-}"; a="${parts[2]:-}"; b="${parts[3]:-}"; t="${parts[4]:-}"; t="${t// /}"
    [ -z "$t" ] && t="$(default_filter "$f")"
    files+=("$f"); ctxs+=("$c"); froms+=("$a"); tos+=("$b"); filters+=("$t")
  done < "$list"
}

# Finds the one line of file $1 holding context $2 and original $3: sets `lines` (the file), `hit` (its index)
# and `count` (lines holding the context); fails unless exactly one line holds the context and the original.
find_line() {
  local k
  mapfile -t lines < "$1"
  hit=-1; count=0
  for ((k = 0; k < ${#lines[@]}; k++)); do
    if [[ "${lines[$k]}" == *"$2"* ]]; then hit=$k; count=$((count + 1)); fi
  done
  [ "$count" -eq 1 ] && [[ "${lines[$hit]}" == *"$3"* ]]
}

# Names a line of the list that did not find its code (after find_line).
report_bad() { echo "  BAD      $1: context '$2' matches $count lines or lacks '$3'"; }

read_list
n=${#files[@]}
if [ "$check_only" -eq 1 ]; then
  stale=0
  for ((i = 0; i < n; i++)); do
    count=0
    if [ ! -f "$root/${files[$i]}" ] || ! find_line "$root/${files[$i]}" "${ctxs[$i]}" "${froms[$i]}"; then
      report_bad "${files[$i]}" "${ctxs[$i]}" "${froms[$i]}"
      stale=$((stale + 1))
    fi
  done
  echo "mutants: $((n - stale)) of $n lines find their code"
  exit $((stale > 0))
fi

tree="$out/tree"
bin="$tree/build"
jobs="${JOBS:-2}"
log="$out/mutants.log"
: > "$log"

# The copy follows the working tree: a file whose contents differ is copied (with a new time, so make rebuilds
# what depends on it); unchanged files keep their times, so only what changed rebuilds. A run stopped hard may
# have left a changed file behind with its original beside it.
mkdir -p "$tree"
find "$tree" -name '*.orig' -path '*/src/*' 2>/dev/null | while read -r o; do cat "$o" > "${o%.orig}"; rm -f "$o"; done
(cd "$root" && find . \( -path ./build -o -path './build-*' -o -path ./.git \) -prune -o -type f -print) |
  while read -r f; do
    if ! cmp -s "$root/$f" "$tree/$f"; then mkdir -p "$(dirname "$tree/$f")"; cp "$root/$f" "$tree/$f"; fi
  done
# Files gone from the working tree go from the copy too (a moved source would otherwise be built twice).
(cd "$tree" && find . \( -path ./build -o -path ./.git \) -prune -o -type f -print) |
  while read -r f; do [ -e "$root/$f" ] || rm -f "$tree/$f"; done

current=""   # file being mutated, restored by the trap whatever happens
restore() {
  if [ -n "$current" ] && [ -f "$tree/$current.orig" ]; then
    # Written, not moved back with its old time: make must see the file as newer than the mutant's object.
    cat "$tree/$current.orig" > "$tree/$current"
    rm -f "$tree/$current.orig"
  fi
  current=""
}
trap 'restore' EXIT
trap 'restore; echo "mutants: interrupted, source restored"; exit 130' INT TERM

cmake -S "$tree" -B "$bin" -DCMAKE_BUILD_TYPE=Release >/dev/null
echo "mutants: building the test binary in $bin"
cmake --build "$bin" --target ombrivale_tests -j "$jobs" >"$out/build.log" 2>&1 || {
  tail -20 "$out/build.log"; echo "mutants: the unchanged tree does not build"; exit 2; }

fastbuild() {
  make -C "$bin" -j "$jobs" ombrivale_core/fast >>"$log" 2>&1 && make -C "$bin" ombrivale_tests/fast >>"$log" 2>&1
}
# A filter may name several groups separated by ';': each group runs in a process of its own.
runtests() {
  local group
  IFS=';' read -ra groups <<<"$1"
  for group in "${groups[@]}"; do
    (cd "$bin" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout "${MUTANT_TIMEOUT:-120}" \
       ./tests/ombrivale_tests --gtest_filter="$group" >>"$log" 2>&1) || return 1
  done
}

echo "mutants: $n in the list"

# Every filter must pass on the unchanged code, or a failure would count as a kill.
declare -A seen=()
for t in "${filters[@]}"; do
  [ -n "${seen[$t]:-}" ] && continue
  seen[$t]=1
  runtests "$t" || { echo "mutants: tests fail without any change: $t (see $log)"; exit 2; }
done

killed=0; survived=0; broken=0
survivors=()
for ((i = 0; i < n; i++)); do
  f="${files[$i]}"; c="${ctxs[$i]}"; a="${froms[$i]}"; b="${tos[$i]}"; t="${filters[$i]}"
  src="$tree/$f"
  if ! find_line "$src" "$c" "$a"; then
    report_bad "$f" "$c" "$a"
    broken=$((broken + 1)); continue
  fi
  label="$f:$((hit + 1)): '$a' -> '$b'"
  current="$f"
  cp "$src" "$src.orig"
  lines[$hit]="${lines[$hit]/"$a"/"$b"}"
  printf '%s\n' "${lines[@]}" > "$src"
  echo "=== $label  [$t]" >>"$log"
  start=$SECONDS
  if ! fastbuild; then
    echo "  NOBUILD  $label"
    broken=$((broken + 1))
  elif runtests "$t"; then
    echo "  SURVIVED $label  ($((SECONDS - start)) s)"
    survived=$((survived + 1)); survivors+=("$label")
  else
    echo "  killed   $label  ($((SECONDS - start)) s)"
    killed=$((killed + 1))
  fi
  restore
done
# Leave the build folder holding the unchanged code.
fastbuild || true

total=$((killed + survived))
echo "mutants: $killed killed, $survived survived, $broken not applied or not building (of $n)"
[ "$total" -gt 0 ] && echo "mutants: score $((100 * killed / total)) %"
for s in "${survivors[@]}"; do echo "  survivor: $s"; done
[ "$broken" -eq 0 ]
