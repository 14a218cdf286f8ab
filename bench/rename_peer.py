#!/usr/bin/env python3
"""The yardstick of bench_rename_scale: a script that renames an album folder by an xmcd entry the way
`cantorix-cli rename --entry` names it ("Artist - Album - NN - Title.mp3", the listed files in name order)
and keeps a record of each move, synced after every move (a move whose record line is not on disk could
not be undone after a crash).
  rename_peer.py FOLDER ENTRY RECORD
"""
import os
import sys


def main():
    folder, entry, record = sys.argv[1:4]
    artist = album = ''
    titles = {}
    with open(entry, encoding='utf-8', errors='replace') as f:
        for line in f:
            line = line.rstrip('\r\n')
            if line.startswith('DTITLE='):
                artist, _, album = line[len('DTITLE='):].partition(' / ')
            elif line.startswith('TTITLE'):
                key, _, value = line[len('TTITLE'):].partition('=')
                if key.isdigit():
                    titles[int(key)] = value
    names = sorted(n for n in os.listdir(folder) if n.lower().endswith('.mp3'))
    with open(record, 'ab') as rec:
        for i, old in enumerate(names):
            if i not in titles:
                continue
            new = '%s - %s - %02d - %s.mp3' % (artist, album, i + 1, titles[i])
            os.rename(os.path.join(folder, old), os.path.join(folder, new))
            rec.write(('%s\t%s\n' % (old, new)).encode('utf-8', 'surrogateescape'))
            rec.flush()
            os.fsync(rec.fileno())


if __name__ == '__main__':
    main()
