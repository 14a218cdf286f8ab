#!/usr/bin/env python3
"""Writes the seed inputs of the Monkey's Audio, Musepack, OptimFROG, TTA, TwinVQ, AAC, AC-3 and DTS
fuzz targets into fuzz/corpus/<target>/.

Hand-written headers (the same layouts the format tests write), and the first few KB of streams
encoded by ffmpeg (TTA, AAC, AC-3, E-AC-3, DTS) and mpcenc (Musepack SV8) from a 3.5-second
44.1 kHz stereo tone. Run it from anywhere: python3 fuzz/make_stream_seeds.py
"""
import os
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TONE = ['-f', 'lavfi', '-i', 'sine=sample_rate=44100:duration=3.5', '-ac', '2']


def id3v2(size=64):
    body = size - 10
    return b'ID3\x03\x00\x00' + bytes([(body >> 21) & 0x7F, (body >> 14) & 0x7F, (body >> 7) & 0x7F,
                                      body & 0x7F]) + bytes(body)


def id3v1():
    return b'TAG' + b'Title'.ljust(30, b'\0') + bytes(95) + b'\x11'


def ape_tag():
    item = struct.pack('<II', 1, 0) + b'Title\0' + b'T'
    footer = b'APETAGEX' + struct.pack('<IIII', 2000, len(item) + 32, 1, 0) + bytes(8)
    return item + footer


def monkey_new(descriptor=52, header=24, frames=100):
    d = b'MAC ' + struct.pack('<HHII', 3990, 0, descriptor, header)
    d = d.ljust(descriptor, b'\0')
    return d + struct.pack('<HHIIIHHI', 2000, 0, 73728, 2000, frames, 16, 2, 44100) + bytes(64)


def monkey_old(version=3970, level=4000):
    return b'MAC ' + struct.pack('<HHHHIIIIII', version, level, 0, 2, 44100, 0, 0, 10, 5, 0) + bytes(64)


def sv7():
    h = bytearray(b'MP+\x07' + struct.pack('<I', 10000) + bytes(24))
    h[10], h[11] = 0xA0, 0x40
    return bytes(h) + bytes(64)


def sv5():
    return struct.pack('<II', (160 << 23) | (7 << 9), 700) + bytes(88)


def ofr(values=2 * 44100 * 60, mode=1):
    return b'OFR ' + struct.pack('<IIHBBIHB', 15, values & 0xFFFFFFFF, values >> 32, 0, mode, 44100, 0, 0) + bytes(40)


def tta(rate=44100):
    return b'TTA1' + struct.pack('<HHHIII', 1, 2, 16, rate, 88200, 0) + bytes(40)


def vqf():
    def chunk(cid, body):
        return cid + struct.pack('>I', len(body)) + body
    return (b'TWIN97012000' + struct.pack('>I', 100) + chunk(b'COMM', struct.pack('>III', 1, 20, 22)) +
            chunk(b'NAME', b'Title') + chunk(b'AUTH', b'Author') + chunk(b'ALBM', b'Album') +
            chunk(b'DATA', b'') + bytes(64))


def adts(length=300, mpeg2=False, vbr=True, count=3):
    full = 0x7FF if vbr else 0x100
    h = bytes([0xFF, 0xF9 if mpeg2 else 0xF1, (1 << 6) | (4 << 2), (2 << 6) | ((length >> 11) & 3),
               (length >> 3) & 0xFF, ((length & 7) << 5) | (full >> 6), (full & 0x3F) << 2])
    return (h + bytes(length - 7)) * count


def adif():
    h = bytearray(b'ADIF' + bytes(60))
    def bits(at, v, n):
        for i in range(n):
            if (v >> (n - 1 - i)) & 1:
                h[(at + i) // 8] |= 0x80 >> ((at + i) % 8)
    bits(35, 1, 1)
    bits(36, 128000, 23)
    bits(69, 3, 4)
    bits(73, 1, 4)
    return bytes(h)


def dts_core(size=1000, hd=False):
    f = bytearray(size)
    f[0:4] = b'\x7f\xfe\x80\x01'
    def bits(at, v, n):
        for i in range(n):
            if (v >> (n - 1 - i)) & 1:
                f[(at + i) // 8] |= 0x80 >> ((at + i) % 8)
    bits(32, 1, 1)
    bits(39, 15, 7)
    bits(46, size - 1, 14)
    bits(60, 2, 6)
    bits(66, 13, 4)
    bits(70, 15, 5)
    out = bytes(f)
    if hd:
        s = bytearray(300)
        s[0:4] = b'\x64\x58\x20\x25'
        v = 299
        for i in range(16):
            if (v >> (15 - i)) & 1:
                s[(51 + i) // 8] |= 0x80 >> ((51 + i) % 8)
        out += bytes(s)
    return out * 2


def encoded(tmp, name, args, keep=3000):
    path = os.path.join(tmp, name)
    try:
        subprocess.run(['ffmpeg', '-v', 'error', '-y'] + TONE + args + [path], check=True)
        with open(path, 'rb') as f:
            return f.read(keep)
    except (OSError, subprocess.CalledProcessError):
        return None


def mpc_head(tmp, keep=3000):
    wav = os.path.join(tmp, 't.wav')
    out = os.path.join(tmp, 't.mpc')
    try:
        subprocess.run(['ffmpeg', '-v', 'error', '-y'] + TONE + [wav], check=True)
        subprocess.run(['mpcenc', '--silent', wav, out], check=True)
        with open(out, 'rb') as f:
            return f.read(keep)
    except (OSError, subprocess.CalledProcessError):
        return None


def main():
    with tempfile.TemporaryDirectory() as tmp:
        seeds = {
            'monkey': {'v399': monkey_new(), 'v399_long_descriptor': monkey_new(60),
                       'v397': monkey_old(), 'tagged': id3v2() + monkey_new() + ape_tag() + id3v1()},
            'mpegplus': {'sv7': sv7(), 'sv5': sv5(), 'sv8_head': mpc_head(tmp),
                         'sv7_tagged': id3v2() + sv7() + ape_tag() + id3v1()},
            'optimfrog': {'stereo': ofr(), 'mono48bit': ofr(0x100000000, 0), 'tagged': id3v2() + ofr() + id3v1()},
            'tta': {'header': tta(), 'no_rate': tta(0), 'ffmpeg_head': encoded(tmp, 't.tta', ['-c:a', 'tta']),
                    'tagged': id3v2() + tta() + ape_tag() + id3v1()},
            'twinvq': {'chunks': vqf()},
            'aac': {'adts_vbr': adts(), 'adts_cbr_mpeg2': adts(418, True, False), 'adif': adif(),
                    'ffmpeg_head': encoded(tmp, 't.aac', ['-c:a', 'aac', '-f', 'adts']),
                    'tagged': id3v2() + adts() + id3v1()},
            'ac3': {'ffmpeg_head': encoded(tmp, 't.ac3', ['-c:a', 'ac3'], 2000),
                    'eac3_head': encoded(tmp, 't.eac3', ['-c:a', 'eac3', '-f', 'eac3'], 2000)},
            'dts': {'core': dts_core(), 'hd': dts_core(1000, True),
                    'ffmpeg_head': encoded(tmp, 't.dts', ['-c:a', 'dca', '-strict', '-2', '-f', 'dts'], 4200)},
        }
        for target, files in seeds.items():
            folder = os.path.join(HERE, 'corpus', target)
            os.makedirs(folder, exist_ok=True)
            for name, data in files.items():
                if data is not None:
                    with open(os.path.join(folder, 'seed-' + name), 'wb') as f:
                        f.write(data)


if __name__ == '__main__':
    main()
