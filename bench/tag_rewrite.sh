#!/usr/bin/env bash
# Wall time of a second tag write over 99 Ogg Vorbis and 99 MP3 files (the tags a rename run writes,
# written again), Cantorix's writers (bench/tag_write.cpp, on the program's audio library) against
# TagLib (bench/taglib_tag_write.cpp, FileRef and save). Each side first writes its own copy of the
# folders once, untimed; bench/alternate.cpp then runs the two in turn, ROUNDS times after a warm-up,
# start-up included. Two cases: the same values again (what a repeated run writes), and a changed
# title of the same length. Prints the medians and the ratio Cantorix / TagLib (goal: at most 2).
#   bench/tag_rewrite.sh [PATH-TO-libcantorix_audio.a] [ROUNDS]     (defaults: build/libcantorix_audio.a, 31)
# Installs lame, vorbis-tools, TagLib's headers, pkg-config and g++ when missing (Debian packages).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lib=${1:-build/libcantorix_audio.a}
rounds=${2:-31}
[ -f "$lib" ] || { echo "tag_rewrite: no library at $lib" >&2; exit 1; }
[[ $rounds =~ ^[1-9][0-9]{0,3}$ ]] || { echo "tag_rewrite: ROUNDS must be a number from 1 to 9999" >&2; exit 2; }

source "$here/../scripts/setup.sh"
cantorix_install lame vorbis-tools libtag1-dev pkg-config g++
source "$here/mp3_folder.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_mp3_folder "$work"
mkdir -p "$work/ogg"
oggenc -Q -q 3 -t "Title" -a "Artist" -o "$work/base.ogg" "$work/noise.wav"
for i in $(seq -w 1 99); do cp "$work/base.ogg" "$work/ogg/$i - Track $i.ogg"; done

c++ -O2 -std=c++20 -I"$here/../src" -o "$work/tag_write" "$here/tag_write.cpp" "$lib" -ldl
# shellcheck disable=SC2046 # pkg-config prints separate words
c++ -O2 -std=c++17 -o "$work/taglib_tag_write" "$here/taglib_tag_write.cpp" $(pkg-config --cflags --libs taglib)
c++ -O2 -std=c++17 -o "$work/alternate" "$here/alternate.cpp"

for kind in mp3 ogg; do
  for side in ours taglib; do cp -r "$work/$kind" "$work/$kind-$side"; done
  "$work/tag_write" "Title 01" "$work/$kind-ours"
  "$work/taglib_tag_write" "Title 01" "$work/$kind-taglib"
done

echo "99 files each; medians of $rounds rounds run in turn, start-up included"
run() { # kind title-of-the-timed-write case-name
  local ma mb
  read -r ma mb < <("$work/alternate" "$rounds" 3 -- "$work/tag_write" "$2" "$work/$1-ours" \
                      -- "$work/taglib_tag_write" "$2" "$work/$1-taglib" | paste -sd' ') || true
  [ -n "$mb" ] || { echo "tag_rewrite: the timed runs failed" >&2; exit 1; }
  awk -v k="$1" -v c="$3" -v a="$ma" -v b="$mb" \
    'BEGIN { printf "%-4s %-38s Cantorix %7.1f ms  TagLib %7.1f ms  ratio %.2f (goal: at most 2)\n", k, c, a, b, a / b }'
}
for kind in mp3 ogg; do
  run "$kind" "Title 01" "second write, the same values:"
done
# A changed title every round: the two titles take turns, so every timed write changes it.
for kind in mp3 ogg; do
  "$work/tag_write" "Title 02" "$work/$kind-ours"; "$work/taglib_tag_write" "Title 02" "$work/$kind-taglib"
done
bench_flip() { # kind: rounds alternate between two titles, written by a small wrapper each side
  local kind=$1
  cat > "$work/flip-ours" <<EOS
#!/bin/sh
t=\$(cat "$work/title-ours" 2>/dev/null || echo 01); n=\$([ "\$t" = 01 ] && echo 02 || echo 01); echo \$n > "$work/title-ours"
exec "$work/tag_write" "Title \$n" "$work/$kind-ours"
EOS
  cat > "$work/flip-taglib" <<EOS
#!/bin/sh
t=\$(cat "$work/title-taglib" 2>/dev/null || echo 01); n=\$([ "\$t" = 01 ] && echo 02 || echo 01); echo \$n > "$work/title-taglib"
exec "$work/taglib_tag_write" "Title \$n" "$work/$kind-taglib"
EOS
  chmod +x "$work/flip-ours" "$work/flip-taglib"
  local ma mb
  read -r ma mb < <("$work/alternate" "$rounds" 3 -- "$work/flip-ours" -- "$work/flip-taglib" | paste -sd' ') || true
  [ -n "$mb" ] || { echo "tag_rewrite: the timed runs failed" >&2; exit 1; }
  awk -v k="$kind" -v a="$ma" -v b="$mb" \
    'BEGIN { printf "%-4s %-38s Cantorix %7.1f ms  TagLib %7.1f ms  ratio %.2f\n", k, "second write, a changed title:", a, b, a / b }'
}
for kind in mp3 ogg; do bench_flip "$kind"; done
