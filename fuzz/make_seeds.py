#!/usr/bin/env python3
"""Writes the seed inputs of the MPEG and tag fuzz targets into fuzz/corpus/<target>/.

Small files only (a few KB): synthetic MPEG frame runs, Xing/VBRI frames, ID3v2 tags of versions 2.2 to
2.4 (unsynchronised, with extended headers, UTF-16 text, pictures), ID3v1 tags with Lyrics3 blocks, APE
tags, and two short files encoded by lame. Run it from anywhere: python3 fuzz/make_seeds.py
"""
import os
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def header(version=3, layer=3, br=9, sr=0, pad=0, mode=0):
    return bytes([0xFF, 0xE1 | (version << 3) | ((4 - layer) << 1), (br << 4) | (sr << 2) | (pad << 1), mode << 6])


def frames(h, length, count):
    return (h + bytes(length - 4)) * count


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def frame(version, fid, body, flags=0):
    if version == 2:
        return fid + struct.pack('>I', len(body))[1:] + body
    size = syncsafe(len(body)) if version == 4 else struct.pack('>I', len(body))
    return fid + size + bytes([0, flags]) + body


def tag(version, body, padding=0, flags=0):
    body = body + bytes(padding)
    return b'ID3' + bytes([version, 0, flags]) + syncsafe(len(body)) + body


def unsync(b):
    out = bytearray()
    for i, c in enumerate(b):
        out.append(c)
        if c == 0xFF and (i + 1 == len(b) or b[i + 1] == 0 or b[i + 1] >= 0xE0):
            out.append(0)
    return bytes(out)


def utf16(text):
    return b'\x01\xff\xfe' + text.encode('utf-16-le')


def v1(title=b'Title', artist=b'Artist', track=3, genre=17):
    t = bytearray(128)
    t[0:3] = b'TAG'
    t[3:3 + len(title)] = title
    t[33:33 + len(artist)] = artist
    t[93:97] = b'1999'
    if track:
        t[126] = track
    t[127] = genre
    return bytes(t)


def lyrics3(fields):
    block = b'LYRICSBEGIN' + b''.join(i + b'%05d' % len(v) + v for i, v in fields)
    return block + b'%06d' % len(block) + b'LYRICS200'


def ape(items, version=2000, header_flag=False):
    body = b''.join(struct.pack('<II', len(v), 0) + n + b'\0' + v for n, v in items)
    flags = 0x80000000 if header_flag else 0
    footer = b'APETAGEX' + struct.pack('<IIII', version, len(body) + 32, len(items), flags) + bytes(8)
    head = (b'APETAGEX' + struct.pack('<IIII', version, len(body) + 32, len(items), flags | 0x20000000) + bytes(8)
            if header_flag else b'')
    return head + body + footer


def xing(h, length, offset, flags, nframes, nbytes, magic=b'Xing'):
    f = bytearray(frames(h, length, 1))
    f[offset:offset + 4] = magic
    f[offset + 4:offset + 8] = struct.pack('>I', flags)
    p = offset + 8
    if flags & 1:
        f[p:p + 4] = struct.pack('>I', nframes); p += 4
    if flags & 2:
        f[p:p + 4] = struct.pack('>I', nbytes); p += 4
    return bytes(f)


def lame(options):
    with tempfile.TemporaryDirectory() as d:
        n = 44100 // 20  # 50 ms
        data = bytes((i * 37) & 0xFF for i in range(n * 4))
        wav = b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' + struct.pack('<IHHIIHH', 16, 1, 2, 44100, 176400, 4, 16)
        wav += b'data' + struct.pack('<I', len(data)) + data
        open(os.path.join(d, 'in.wav'), 'wb').write(wav)
        subprocess.run(['lame', '--quiet'] + options + [os.path.join(d, 'in.wav'), os.path.join(d, 'out.mp3')], check=True)
        return open(os.path.join(d, 'out.mp3'), 'rb').read()


H1 = header()                       # MPEG-1 Layer III 128 kbit/s 44.1 kHz: 417 bytes
H1M = header(mode=3)
H2 = header(version=2, br=8)        # MPEG-2 64 kbit/s 22.05 kHz: 208 bytes
H25 = header(version=0, br=1, sr=2)  # MPEG-2.5 8 kbit/s 8 kHz: 72 bytes
AUDIO = frames(H1, 417, 5)

T3 = frame(3, b'TIT2', b'\0Title') + frame(3, b'TPE1', utf16('Bj\u00f6rk \u03a9')) + frame(3, b'TRCK', b'\x0007/12') + \
    frame(3, b'TCON', b'\0(17)Rock') + frame(3, b'COMM', b'\0eng\0Nice') + frame(3, b'APIC', b'\0image/png\0\3\0' + bytes(range(256)))
T4 = frame(4, b'TIT2', b'\x03Title \xce\xa9') + frame(4, b'TDRC', b'\x002004-05-06') + frame(4, b'TPE1', b'\x02' + 'Ab'.encode('utf-16-be')) + \
    frame(4, b'TXXX', b'\0key\0value') + frame(4, b'PRIV', b'owner\0\xff\xe0\xff\x00', 0x02)
T2 = frame(2, b'TT2', b'\0Title') + frame(2, b'TP1', b'\0Artist') + frame(2, b'COM', b'\0engd\0Text') + frame(2, b'PIC', b'\0JPG\3d\0' + bytes(40))

SEEDS = {
    'audioinfo': {
        'cbr_v1': AUDIO + v1(),
        'cbr_id3v2': tag(3, T3, 40) + AUDIO,
        'xing': xing(H1, 417, 36, 15, 11250, 4000000) + frames(H1, 417, 3),
        'xing_mono': xing(H1M, 417, 21, 1, 100, 0) + frames(H1M, 417, 3),
        'info': xing(H1, 417, 36, 1, 100, 0, b'Info') + frames(H1, 417, 3),
        'mpeg2_xing': xing(H2, 208, 21, 3, 1000, 5000) + frames(H2, 208, 4),
        'mpeg25': frames(H25, 72, 20),
        'padding_tag': tag(3, b'', 300) + AUDIO,
        'false_sync': bytes(10) + H1 + bytes(36) + AUDIO,
        'free_format': frames(header(br=0), 4, 60),
        'ape_lyrics_v1': AUDIO + ape([(b'Title', b'x')]) + lyrics3([(b'IND', b'10'), (b'LYR', b'la')]) + v1(),
        'lame_cbr': lame(['-b', '32', '--add-id3v2', '--tt', 'T']),
        'lame_vbr': lame(['-V', '5', '--resample', '11.025']),
    },
    'mpegaudio': {
        'cbr_tags': tag(3, T3) + frames(H1, 417, 6) + v1(),
        'xing': xing(H1, 417, 36, 3, 10000, 4180000) + frames(H1, 417, 5),
        'vbri': xing(H1, 417, 36, 0, 0, 0, b'VBRI') + frames(H1, 417, 5),
        'mpeg2_mono': frames(header(version=2, br=8, mode=3), 208, 12),
        'mpeg25_layer2': frames(header(version=0, layer=2, br=4, sr=2, mode=3), 576, 8),
        'layer1': frames(header(layer=1, br=9), 139, 20),
        'late_frame': bytes(1800) + frames(H1, 417, 6),
        'v24_tag': tag(4, T4, 20) + frames(H1, 417, 5) + v1(track=0),
        'lame_cbr': lame(['-b', '32', '--add-id3v2', '--tt', 'T']),
    },
    'id3v1': {
        'v11': AUDIO[:200] + v1(),
        'v10': AUDIO[:200] + v1(track=0, genre=200),
        'lyrics_v1': AUDIO[:200] + lyrics3([(b'IND', b'10'), (b'ETT', b'A' * 40), (b'LYR', b'la\r\nla'), (b'AUT', b'Me'),
                                           (b'INF', b'info'), (b'IMG', b'x.jpg||')]) + v1(),
        'lyrics_only': AUDIO[:100] + lyrics3([(b'IND', b'00'), (b'EAR', b'E' * 35)]),
        'lyrics_bad_size': AUDIO[:100] + b'LYRICSBEGINLYR00099abc000022LYRICS200' + v1(),
        'latin1': AUDIO[:50] + v1(title=b'Caf\xe9 \xff', artist=b'Art\0junk'),
        'short': b'TAG',
    },
    'id3v2': {
        'v23': tag(3, T3, 100) + AUDIO[:300],
        'v24': tag(4, T4, 50) + AUDIO[:300],
        'v22': tag(2, T2, 10) + AUDIO[:300],
        'v23_unsync_ext': tag(3, unsync(b'\0\0\0\x06' + bytes(6) + T3), 0, 0xC0) + AUDIO[:200],
        'v24_ext_footer': tag(4, b'\0\0\0\x06\x01\0' + T4, 0, 0x50) + b'3DI\x04\0\x10' + syncsafe(len(T4) + 6) + AUDIO[:200],
        'v24_plain_sizes': b'ID3\x04\0\0' + syncsafe(300) + b'TIT2' + struct.pack('>I', 200) + b'\0\0\0' + b'x' * 199 +
                           frame(4, b'TALB', b'\0Album') + bytes(74) + AUDIO[:100],
        'padding_only': tag(3, b'', 200) + AUDIO[:100],
        'no_tag': AUDIO[:400],
        'v23_compressed': tag(3, frame(3, b'TIT2', b'\0\0\0\x05x', 0x80) + frame(3, b'TALB', b'\0A', 0x20)) + AUDIO[:100],
        'lame_tags': lame(['-b', '32', '--id3v2-only', '--tt', 'Caf\u00e9', '--ta', 'A', '--tc', 'C', '--tg', 'Rock']),
    },
    'apetag': {
        'v2': AUDIO[:200] + ape([(b'Title', b'T' * 300), (b'Artist', 'Bj\u00f6rk'.encode())]),
        'v1_with_id3v1': AUDIO[:200] + ape([(b'Year', b'1999')], 1000) + v1(),
        'with_header': AUDIO[:200] + ape([(b'A', b'b'), (b'C', b'')], 2000, True),
        'huge_count': AUDIO[:100] + ape([(b'A', b'b')])[:-16] + struct.pack('<I', 0xFFFFFFFF) + bytes(12),
        'tiny': ape([]),
    },
}

for target, seeds in SEEDS.items():
    folder = os.path.join(HERE, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, 'seed-' + name), 'wb') as f:
            f.write(data)
