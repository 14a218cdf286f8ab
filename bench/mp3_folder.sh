# Sourced by the scan benchmarks: make_mp3_folder WORK makes WORK/mp3, 99 copies of one MP3 file
# (ID3v2 tag with a 20 KB picture, 10 s of 128 kbit/s noise, ID3v1 tag), and an empty WORK/empty.
make_mp3_folder() {
  local work=$1
  mkdir -p "$work/empty" "$work/mp3"
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
  local i
  for i in $(seq -w 1 99); do cp "$work/base.mp3" "$work/mp3/$i - Track $i.mp3"; done
}
