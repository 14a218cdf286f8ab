#!/usr/bin/env bash
# Wall time of `cantorix-cli rename --entry` over 1,000 and 10,000 small MP3 files against a script that
# moves the same files to the same names and syncs its record after every move (bench/rename_peer.py),
# start-up, the folder scan and the entry included. bench/alternate.cpp runs the two in turn, ROUNDS times
# each after a warm-up; after every run the folder gets its first names back and the record folder goes
# (untimed), so each run renames a fresh album. Prints the medians, the ratio cantorix-cli / script
# (goal: at most 1.0 at both sizes) and the time per file (goal: at 10,000 files within 1.2 times that at
# 1,000).
#   bench/rename_scale.sh [PATH-TO-cantorix-cli] [ROUNDS]     (defaults: build/cantorix-cli, 11)
# Needs python3 and g++. Time an optimised build (-DCMAKE_BUILD_TYPE=Release or RelWithDebInfo, as run.sh
# builds). WORK (default: a new temporary folder) holds the folders: put it on the disk whose speed counts.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-build/cantorix-cli}
rounds=${2:-11}
[ -x "$cli" ] || { echo "rename_scale: no program at $cli" >&2; exit 1; }
[[ $rounds =~ ^[1-9][0-9]{0,3}$ ]] || { echo "rename_scale: ROUNDS must be a number from 1 to 9999" >&2; exit 2; }
command -v python3 >/dev/null || { echo "rename_scale: python3 is not installed" >&2; exit 1; }

work=${WORK:-$(mktemp -d)}
[ -n "${WORK:-}" ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work"
c++ -O2 -std=c++17 -o "$work/alternate" "$here/alternate.cpp"
printf '[Main]\nNameFormat=artist - album - # - track\n' > "$work/bench.ini"

declare -A median_ours median_peer
for n in 1000 10000; do
  ours_dir="$work/ours-$n/rip"
  peer_dir="$work/peer-$n/rip"
  python3 "$here/rename_folder.py" make "$ours_dir" "$work/entry-$n.txt" "$n"
  python3 "$here/rename_folder.py" make "$peer_dir" "$work/entry-$n.txt" "$n"
  state="$work/state-$n"

  # Both must give the same names, or the race means nothing.
  XDG_STATE_HOME="$state" "$cli" rename "$ours_dir" --entry "$work/entry-$n.txt" --settings "$work/bench.ini" >/dev/null 2>&1
  python3 "$here/rename_peer.py" "$peer_dir" "$work/entry-$n.txt" "$work/record-$n"
  if ! diff -q <(ls "$ours_dir") <(ls "$peer_dir") >/dev/null; then
    echo "rename_scale: the two do not give the files the same names ($n files)" >&2
    diff <(ls "$ours_dir") <(ls "$peer_dir") | head >&2 || true
    exit 1
  fi
  python3 "$here/rename_folder.py" reset "$ours_dir" "$n" "$state"
  python3 "$here/rename_folder.py" reset "$peer_dir" "$n" "$work/record-$n"

  read -r a b < <(env XDG_STATE_HOME="$state" "$work/alternate" "$rounds" 2 \
    -- "$cli" rename "$ours_dir" --entry "$work/entry-$n.txt" --settings "$work/bench.ini" \
    ++ python3 "$here/rename_folder.py" reset "$ours_dir" "$n" "$state" \
    -- python3 "$here/rename_peer.py" "$peer_dir" "$work/entry-$n.txt" "$work/record-$n" \
    ++ python3 "$here/rename_folder.py" reset "$peer_dir" "$n" "$work/record-$n" | paste -sd' ') || true
  [ -n "${b:-}" ] || { echo "rename_scale: the timed runs failed" >&2; exit 1; }
  median_ours[$n]=$a
  median_peer[$n]=$b
  awk -v n="$n" -v a="$a" -v b="$b" -v r="$rounds" 'BEGIN {
    printf "%6d files: cantorix-cli median %.1f ms, script median %.1f ms, ratio %.2f (goal: at most 1.0), %d rounds, run in turn\n",
      n, a, b, a / b, r }'
done
awk -v a1="${median_ours[1000]}" -v a2="${median_ours[10000]}" 'BEGIN {
  p1 = a1 / 1000 * 1000; p2 = a2 / 10000 * 1000
  printf "time per file: %.1f us at 1,000, %.1f us at 10,000, ratio %.2f (goal: at most 1.2)\n", p1, p2, p2 / p1 }'
echo "program: $cli"
