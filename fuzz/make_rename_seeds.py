#!/usr/bin/env python3
"""Writes the seed inputs of the undo journal and name building fuzz targets into fuzz/corpus/journal/
and fuzz/corpus/names/. Journal lines are "<CRC-32 hex> <payload>\\n" (the CRC of zlib). Run it from
anywhere: python3 fuzz/make_rename_seeds.py
"""
import os
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def line(payload):
    data = payload.encode('utf-8') if isinstance(payload, str) else payload
    return b'%08x ' % (zlib.crc32(data) & 0xFFFFFFFF) + data + b'\n'


def journal(payloads):
    return b''.join(line(p) for p in payloads)


RUN = ['journal 2 rename 1700000000', 'folder /music/rip/ 2049 131', 'tags',
       'plan 0 1.mp3 Band%20-%20Record%20-%2001%20-%20One.mp3 1001',
       'plan 1 2.flac Band%20-%20Record%20-%2002%20-%20J\u00f3ga.flac 1002',
       'plan 2 caf%e9.ogg Band%20-%20Record%20-%2003%20-%20Three.ogg 1003',
       'planned 3', 'move 0', 'move 1', 'folder-to Band%20-%20Record', 'folder-moved',
       'playlist Band%20-%20Record.m3u ' + '0' * 64, 'end']


def write(target, name, data):
    folder = os.path.join(HERE, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def main():
    write('journal', 'seed-run', journal(RUN))
    write('journal', 'seed-undo-begun', journal(RUN + ['undo', 'undone 1', 'undo-folder']))
    write('journal', 'seed-torn', journal(RUN)[:-5])
    write('journal', 'seed-fix', journal(['journal 2 fix 1700000000', 'folder /music/rip/ 0 0',
                                          'plan 0 1%20-%20a.mp3 01%20-%20a.mp3 0', 'planned 1', 'move 0', 'end']))
    write('journal', 'seed-hostile', journal(['journal 2 manual 1', 'folder /music/rip/ 1 2',
                                              'plan 0 ..%00 ../x 3', 'planned 1']))

    sep = b'\x1f'

    def names(limit, flags, *values):
        return bytes([limit, flags]) + sep.join(v.encode('utf-8') if isinstance(v, str) else v for v in values)

    write('names', 'seed-plain', names(247, 0x05, 'artist - album - # - track', 'A', 'B', '1999', 'T', '01', 'x.mp3'))
    write('names', 'seed-long-album', names(247, 0x01, 'artist - album - # - track', 'Artist', 'B' * 230, '',
                                            'Title', '07', '7.flac'))
    write('names', 'seed-empty-title', names(247, 0x00, 'track', 'A', 'B', '', '', '01', '1.flac'))
    write('names', 'seed-by-tag', names(40, 0x02, 'artist - album - # - track (year)', 'AC/DC', 'Live: 1991', '',
                                        '.What?', '1/15', 'a.b.mp3'))


if __name__ == '__main__':
    main()
