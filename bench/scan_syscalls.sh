#!/usr/bin/env bash
# Counts the read-type system calls that `cantorix-cli scan` makes for the playing times of 99 MP3
# files (ID3v2 tag with a 20 KB picture, about 160 KB of audio, ID3v1 tag). The goal is at most three
# per file; the count of a scan of an empty folder is subtracted so that start-up reads do not count.
#   bench/scan_syscalls.sh [PATH-TO-cantorix-cli]     (default: build/cantorix-cli)
set -euo pipefail
cli=${1:-build/cantorix-cli}
for tool in strace lame; do
  command -v "$tool" >/dev/null || { echo "scan_syscalls: $tool is not installed" >&2; exit 1; }
done
[ -x "$cli" ] || { echo "scan_syscalls: no program at $cli" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/empty" "$work/mp3"

# 10 s of 44.1 kHz stereo 16-bit noise as WAV: 1,764,000 data bytes.
{
  printf 'RIFF\xc4\xea\x1a\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00\x44\xac\x00\x00\x10\xb1\x02\x00\x04\x00\x10\x00'
  printf 'data\xa0\xea\x1a\x00'
  head -c 1764000 /dev/urandom
} > "$work/noise.wav"
# A picture-sized frame keeps the tag well under 64 KiB.
{ printf '\xff\xd8\xff\xe0'; head -c 20000 /dev/urandom; printf '\xff\xd9'; } > "$work/cover.jpg"
lame --quiet -b 128 --add-id3v2 --tt "Title" --ta "Artist" --tl "Album" --ty 2024 --tg Rock \
  --ti "$work/cover.jpg" "$work/noise.wav" "$work/base.mp3"
for i in $(seq -w 1 99); do cp "$work/base.mp3" "$work/mp3/$i - Track $i.mp3"; done

count() { # folder -> total read-type calls
  strace -f -c -e trace=read,pread64,readv,preadv -o "$work/strace.txt" \
    "$cli" scan "$1" --settings "$work/bench.ini" >/dev/null 2>&1
  awk '$NF == "total" { print $4 }' "$work/strace.txt"
}
base=$(count "$work/empty")
full=$(count "$work/mp3")
cat "$work/strace.txt"
per=$(awk -v f="$full" -v b="$base" 'BEGIN { printf "%.2f", (f - b) / 99 }')
echo "empty folder: $base calls; 99 MP3 files: $full calls; per file: $per (goal: at most 3)"
