#!/usr/bin/env bash
# Time and peak memory of `cantorix-cli rename ROOT --recursive --lookup --dry-run` over a collection of
# 200 albums of 10 small MP3 files each (10 to 16 frames of MPEG-1 Layer III, 4 to 7 KB), every album
# looked up on a local freedb server (bench/freedb_server.py: an exact match for every disc ID), with
# --jobs 1 and --jobs 4. Wall time: the mean of ROUNDS runs by hyperfine (after a warm-up); peak memory:
# the maximum resident set size of one run by /usr/bin/time -v.
#   bench/batch_dry_run.sh [PATH-TO-cantorix-cli] [ROUNDS]     (defaults: build/cantorix-cli, 5)
# Needs python3, hyperfine and GNU time. Time an optimised build (-DCMAKE_BUILD_TYPE=Release or
# RelWithDebInfo, as run.sh builds). WORK (default: a new temporary folder) holds the collection.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-build/cantorix-cli}
rounds=${2:-5}
[ -x "$cli" ] || { echo "batch_dry_run: no program at $cli" >&2; exit 1; }
[[ $rounds =~ ^[1-9][0-9]{0,2}$ ]] || { echo "batch_dry_run: ROUNDS must be a number from 1 to 999" >&2; exit 2; }
for tool in python3 hyperfine /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "batch_dry_run: $tool is not installed" >&2; exit 1; }
done

work=${WORK:-$(mktemp -d)}
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  [ -n "${WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work"

python3 - "$work/music" <<'PY'
import os, sys
frame = b'\xff\xfb\x90\x00' + bytes(413)  # 128 kbit/s at 44.1 kHz, no padding: 417 bytes
for a in range(200):
    folder = os.path.join(sys.argv[1], 'Album %03d' % (a + 1))
    os.makedirs(folder, exist_ok=True)
    for t in range(10):
        # Ten frames and a few more from album to album, so that not every album looks the same.
        with open(os.path.join(folder, 'Track %02d.mp3' % (t + 1)), 'wb') as f:
            f.write(frame * (10 + a % 7))
PY

python3 "$here/freedb_server.py" > "$work/port" &
server_pid=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
[ -n "$port" ] || { echo "batch_dry_run: the freedb server did not start" >&2; exit 1; }
printf '[Main]\nNameFormat=artist - album - # - track\n[Connection]\nServer=127.0.0.1:%s\nTimeout=30\n' "$port" > "$work/bench.ini"
export XDG_STATE_HOME="$work/state"

run() { "$cli" rename "$work/music" --recursive --lookup --dry-run --settings "$work/bench.ini" "$@"; }
# The run must look every album up and plan it, or the figures mean nothing.
summary=$(run | tail -n 1)
[ "$summary" = "200 albums: 200 would be renamed" ] || { echo "batch_dry_run: unexpected outcome: $summary" >&2; exit 1; }

for jobs in 1 4; do
  hyperfine --style basic --warmup 1 --runs "$rounds" --export-json "$work/jobs-$jobs.json" \
    "$cli rename '$work/music' --recursive --lookup --dry-run --jobs $jobs --settings '$work/bench.ini'" >/dev/null
  mean=$(python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results'][0]; print('%.2f s' % r['mean'] + ('' if r.get('stddev') is None else ' (+- %.2f s)' % r['stddev']))" "$work/jobs-$jobs.json")
  rss=$( { /usr/bin/time -v "$cli" rename "$work/music" --recursive --lookup --dry-run --jobs "$jobs" \
           --settings "$work/bench.ini" >/dev/null; } 2>&1 | awk -F': ' '/Maximum resident set size/ {print $2}')
  echo "200 albums x 10 MP3 files, --dry-run --jobs $jobs: wall time $mean over $rounds runs, peak memory $((rss / 1024)) MiB"
done
echo "program: $cli"
