#!/usr/bin/env bash
# Wall time of `cantorix-cli scan` over 99 MP3 files against a small TagLib program that lists the same
# files with their playing times (bench/taglib_lengths.cpp, fast audio properties), start-up included.
# bench/alternate.cpp runs the two in turn, ROUNDS times each after a warm-up, so that a machine whose
# speed drifts slows both alike; a scan of an empty folder runs in the same rounds and shows the
# start-up alone. Prints the medians and the ratio cantorix-cli / TagLib (goal: at most 1.2).
#   bench/scan_taglib.sh [PATH-TO-cantorix-cli] [ROUNDS]     (defaults: build/cantorix-cli, 51)
# Installs lame, TagLib's headers, pkg-config and g++ when missing (Debian packages).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-build/cantorix-cli}
rounds=${2:-51}
[ -x "$cli" ] || { echo "scan_taglib: no program at $cli" >&2; exit 1; }
[[ $rounds =~ ^[1-9][0-9]{0,3}$ ]] || { echo "scan_taglib: ROUNDS must be a number from 1 to 9999" >&2; exit 2; }

source "$here/../scripts/setup.sh"
cantorix_install lame libtag1-dev pkg-config g++
source "$here/mp3_folder.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_mp3_folder "$work"
# shellcheck disable=SC2046 # pkg-config prints separate words
c++ -O2 -std=c++17 -o "$work/taglib_lengths" "$here/taglib_lengths.cpp" $(pkg-config --cflags --libs taglib)
c++ -O2 -std=c++17 -o "$work/alternate" "$here/alternate.cpp"

scan=("$cli" scan "$work/mp3" --settings "$work/bench.ini")
empty=("$cli" scan "$work/empty" --settings "$work/bench.ini")
taglib=("$work/taglib_lengths" "$work/mp3")

# Both must list the same files with the same whole seconds, or the race means nothing.
ours=$("${scan[@]}" 2>/dev/null | cut -f1,3)
theirs=$("${taglib[@]}")
if [ "$ours" != "$theirs" ] || [ "$(wc -l <<<"$ours")" -ne 99 ]; then
  echo "scan_taglib: the two programs do not list the same 99 files and playing times" >&2
  diff <(echo "$ours") <(echo "$theirs") >&2 || true
  exit 1
fi

read -r ma mb me < <("$work/alternate" "$rounds" 5 -- "${scan[@]}" -- "${taglib[@]}" -- "${empty[@]}" | paste -sd' ') || true
[ -n "$me" ] || { echo "scan_taglib: the timed runs failed" >&2; exit 1; }
echo "program: $cli"
echo "cantorix-cli scan, 99 MP3 files: median $ma ms"
echo "TagLib, the same files:          median $mb ms"
echo "cantorix-cli scan, empty folder: median $me ms (start-up)"
awk -v a="$ma" -v b="$mb" -v n="$rounds" \
  'BEGIN { printf "ratio cantorix-cli / TagLib: %.2f (goal: at most 1.2), %d rounds, run in turn\n", a / b, n }'
