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
source "$(dirname "$0")/mp3_folder.sh"
make_mp3_folder "$work"

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
