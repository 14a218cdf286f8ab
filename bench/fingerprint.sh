#!/usr/bin/env bash
# Wall time of `cantorix-cli fingerprint` over 100 files (30-second MP3s of distinct tone sequences)
# against fpcalc over the same files two at a time (`xargs -P2`), as hyperfine measures them; each
# Cantorix run starts with an empty state folder, so every file is computed. Prints both means and
# the ratio (goal: at most 1.2).
#   bench/fingerprint.sh [PATH-TO-cantorix-cli] [ROUNDS]     (defaults: build/cantorix-cli, 3)
# Installs ffmpeg, libchromaprint-tools and hyperfine when missing (Debian packages).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=$(realpath "${1:-build/cantorix-cli}")
rounds=${2:-3}
[ -x "$cli" ] || { echo "fingerprint: no program at $cli" >&2; exit 1; }
[[ $rounds =~ ^[1-9][0-9]{0,2}$ ]] || { echo "fingerprint: ROUNDS must be a number from 1 to 999" >&2; exit 2; }

source "$here/../scripts/setup.sh"
cantorix_install ffmpeg libchromaprint-tools hyperfine

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$work/files"
for i in $(seq -w 1 100); do
  # Four tones a second whose pitches follow the file's number: every file sounds different.
  n=$((10#$i))
  ffmpeg -v error -y -f lavfi \
    -i "aevalsrc=0.5*sin(2*PI*t*(220+20*mod(floor(t*4)*$n\,17)))+0.2*sin(2*PI*t*(330+15*mod(floor(t*2)*($n+3)\,11))):s=22050:d=30" \
    -c:a libmp3lame -b:a 128k "$work/files/Track $i.mp3"
done
cd "$work/files"
hyperfine --runs "$rounds" --export-json "$work/times.json" \
  --prepare "rm -rf '$work/state'" \
  -n cantorix "XDG_STATE_HOME='$work/state' '$cli' fingerprint ./*.mp3 > /dev/null" \
  -n fpcalc "printf '%s\0' ./*.mp3 | xargs -0 -P2 -n1 fpcalc -json > /dev/null 2>&1 || true"
python3 - "$work/times.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
print(f"cantorix-cli fingerprint: {r['cantorix']:.2f} s, fpcalc with xargs -P2: {r['fpcalc']:.2f} s, "
      f"ratio {r['cantorix'] / r['fpcalc']:.2f} (goal: at most 1.2)")
PY
