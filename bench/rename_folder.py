#!/usr/bin/env python3
"""The album folders of bench_rename_scale.
  rename_folder.py make FOLDER ENTRY COUNT    COUNT small MP3 files ("Track NNNNN.mp3": 10 frames of
                                              MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, 4,170 bytes) and an
                                              xmcd entry with a title for each
  rename_folder.py reset FOLDER COUNT [STATE] give the files their first names again (in name order) and
                                              remove the record STATE (a folder or a file), so every run
                                              starts alike
"""
import os
import shutil
import sys

FRAME = b'\xff\xfb\x90\x00' + bytes(413)  # 128 kbit/s at 44.1 kHz, no padding: 417 bytes


def first_name(i):
    return 'Track %05d.mp3' % (i + 1)


def make(folder, entry, count):
    os.makedirs(folder, exist_ok=True)
    data = FRAME * 10
    for i in range(count):
        with open(os.path.join(folder, first_name(i)), 'wb') as f:
            f.write(data)
    with open(entry, 'w', encoding='utf-8') as f:
        f.write('# xmcd\n#\nDISCID=12345678\nDTITLE=Bench Artist / Bench Album\nDYEAR=2024\nDGENRE=Rock\n')
        for i in range(count):
            f.write('TTITLE%d=Title %d\n' % (i, i + 1))
        f.write('EXTD=\nPLAYORDER=\n')


def reset(folder, count, state=None):
    names = sorted(n for n in os.listdir(folder) if n.lower().endswith('.mp3'))
    if len(names) != count:
        sys.exit('rename_folder: %s holds %d files, not %d' % (folder, len(names), count))
    for i, name in enumerate(names):
        if name != first_name(i):
            os.rename(os.path.join(folder, name), os.path.join(folder, first_name(i)))
    if state and os.path.isdir(state):
        shutil.rmtree(state, ignore_errors=True)
    elif state and os.path.exists(state):
        os.remove(state)


def main():
    if len(sys.argv) >= 5 and sys.argv[1] == 'make':
        make(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    elif len(sys.argv) in (4, 5) and sys.argv[1] == 'reset':
        reset(sys.argv[2], int(sys.argv[3]), sys.argv[4] if len(sys.argv) == 5 else None)
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main()
