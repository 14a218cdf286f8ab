#!/usr/bin/env bash
# Wall time of `cantorix-cli scan` over a folder of 99 files of every format there is an encoder for
# here (AAC, AC-3, E-AC-3, DTS, FLAC, Musepack, MP3, MP2, Ogg Vorbis, TTA, WavPack, WAV, WMA, M4A in
# AAC and Apple Lossless, M4B, AU; 4 minutes each, copies of one file per format) against mutagen
# (bench/mutagen_lengths.py, which reads fewer of the formats), and over a folder of 24 DTS files and
# one of 24 M4A files against the mediainfo program. bench/alternate.cpp runs each pair in turn,
# ROUNDS times after a warm-up, start-up included. Prints the medians and the ratios (goal: at most
# 1.0 each).
#   bench/scan_mixed.sh [PATH-TO-cantorix-cli] [ROUNDS]     (defaults: build/cantorix-cli, 31)
# Installs ffmpeg, lame, flac, vorbis-tools, wavpack, musepack-tools, python3-mutagen, mediainfo and
# g++ when missing (Debian packages). Time an optimised build.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-build/cantorix-cli}
rounds=${2:-31}
[ -x "$cli" ] || { echo "scan_mixed: no program at $cli" >&2; exit 1; }
[[ $rounds =~ ^[1-9][0-9]{0,3}$ ]] || { echo "scan_mixed: ROUNDS must be a number from 1 to 9999" >&2; exit 2; }

source "$here/../scripts/setup.sh"
cantorix_install ffmpeg lame flac vorbis-tools wavpack musepack-tools python3-mutagen mediainfo g++

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src" "$work/mixed" "$work/dts" "$work/m4a" "$work/empty"
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=240" -ac 2 "$work/src/tone.wav"
tone=$work/src/tone.wav
make() { ffmpeg -v error -y -i "$tone" "$@"; }
make -c:a aac -b:a 128k -f adts "$work/src/a.aac"
make -c:a ac3 -b:a 192k "$work/src/a.ac3"
make -c:a eac3 -b:a 192k -f eac3 "$work/src/e.ac3"
make -c:a dca -strict -2 "$work/src/a.dts"
flac -s -f -o "$work/src/a.flac" "$tone"
mpcenc --silent "$tone" "$work/src/a.mpc"
lame --quiet -b 128 --tt Title --ta Artist "$tone" "$work/src/a.mp3"
make -c:a mp2 -b:a 192k "$work/src/a.mp2"
oggenc -Q -q 3 -o "$work/src/a.ogg" "$tone"
make -c:a tta "$work/src/a.tta"
wavpack -q -y "$tone" -o "$work/src/a.wv"
cp "$tone" "$work/src/a.wav"
make -c:a wmav2 -b:a 128k "$work/src/a.wma"
make -c:a aac -b:a 128k "$work/src/aac.m4a"
make -c:a alac "$work/src/alac.m4a"
make -c:a aac -b:a 64k -f ipod "$work/src/a.m4b"
make -c:a pcm_s16be -f au "$work/src/a.au"
rm "$work/src/tone.wav"
sources=("$work"/src/*)
for i in $(seq 1 99); do
  s=${sources[$(( (i - 1) % ${#sources[@]} ))]}
  cp "$s" "$work/mixed/$(printf %02d "$i") - $(basename "$s")"
done
for i in $(seq -w 1 24); do
  cp "$work/src/a.dts" "$work/dts/$i - Track.dts"
  cp "$work/src/aac.m4a" "$work/m4a/$i - Track.m4a"
done
c++ -O2 -std=c++17 -o "$work/alternate" "$here/alternate.cpp"
python=/usr/bin/python3
[ -x "$python" ] || python=python3

scan() { echo "$cli" scan "$work/$1" --settings "$work/bench.ini"; }
# shellcheck disable=SC2046 # the commands are words
read -r ma mb me < <("$work/alternate" "$rounds" 3 -- $(scan mixed) -- "$python" "$here/mutagen_lengths.py" "$work/mixed" \
                       -- $(scan empty) | paste -sd' ') || true
[ -n "$me" ] || { echo "scan_mixed: the timed runs failed" >&2; exit 1; }
echo "program: $cli; medians of $rounds rounds run in turn, start-up included"
echo "cantorix-cli scan, empty folder (start-up): $me ms"
awk -v a="$ma" -v b="$mb" 'BEGIN { printf "99 mixed files (%s kinds): cantorix-cli %.1f ms, mutagen %.1f ms, ratio %.2f (goal: at most 1.0)\n", "'${#sources[@]}'", a, b, a / b }'
for kind in dts m4a; do
  read -r ma mb < <("$work/alternate" "$rounds" 3 -- $(scan $kind) \
                      -- mediainfo "--Inform=General;%FileName%\t%Duration%\n" "$work/$kind" | paste -sd' ') || true
  [ -n "$mb" ] || { echo "scan_mixed: the timed runs failed" >&2; exit 1; }
  awk -v k="$kind" -v a="$ma" -v b="$mb" \
    'BEGIN { printf "24 %s files of 4 minutes: cantorix-cli %.1f ms, mediainfo %.1f ms, ratio %.2f (goal: at most 1.0)\n", toupper(k), a, b, a / b }'
done
# The whole seconds beside mutagen's, for the files both read (mutagen rounds its own lengths).
"$cli" scan "$work/mixed" --settings "$work/bench.ini" 2>/dev/null | cut -f1,3 > "$work/ours.txt"
"$python" "$here/mutagen_lengths.py" "$work/mixed" > "$work/theirs.txt"
echo "files whose whole seconds differ from mutagen's (mutagen 0: it does not read the format):"
join -t $'\t' "$work/ours.txt" "$work/theirs.txt" | awk -F'\t' '$2 != $3 { print "  " $0 }'
