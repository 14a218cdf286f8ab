#!/usr/bin/env python3
"""A freedb server for bench_batch, on 127.0.0.1: every "cddb query" is an exact match of an album named
after its disc ID, and "cddb read" gives that album's entry with a title per track (the offsets and the
length the query sent). Prints the port it listens on, then serves until it is killed.
  freedb_server.py
"""
import http.server
import socketserver
import sys
import threading
import urllib.parse

DISCS = {}
LOCK = threading.Lock()


def entry(disc_id, offsets, seconds):
    lines = ['# xmcd', '#', '# Track frame offsets:']
    lines += ['#\t%d' % o for o in offsets]
    lines += ['#', '# Disc length: %d seconds' % seconds, '#', '# Revision: 0', '# Submitted via: bench', '#',
              'DISCID=' + disc_id, 'DTITLE=Bench Artist / Album ' + disc_id, 'DYEAR=2024', 'DGENRE=Rock']
    lines += ['TTITLE%d=Title %d' % (k, k + 1) for k in range(len(offsets))]
    lines += ['EXTD=']
    lines += ['EXTT%d=' % k for k in range(len(offsets))]
    lines += ['PLAYORDER=']
    return lines


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.0'

    def log_message(self, *args):
        pass

    def do_GET(self):
        query = urllib.parse.parse_qs(urllib.parse.urlparse(self.path).query)
        words = query.get('cmd', [''])[0].split()
        body = '500 Unrecognized command.\r\n'
        if len(words) >= 5 and words[:2] == ['cddb', 'query']:
            disc_id, count = words[2], int(words[3])
            offsets = [int(w) for w in words[4:4 + count]]
            with LOCK:
                DISCS[disc_id] = (offsets, int(words[4 + count]))
            body = '200 rock %s Bench Artist / Album %s\r\n' % (disc_id, disc_id)
        elif len(words) == 4 and words[:2] == ['cddb', 'read']:
            with LOCK:
                known = DISCS.get(words[3])
            if known:
                body = '210 rock %s CD database entry follows (until terminating `.\')\r\n' % words[3]
                body += ''.join(line + '\r\n' for line in entry(words[3], *known)) + '.\r\n'
            else:
                body = '401 rock %s No such CD entry in database.\r\n' % words[3]
        data = body.encode('utf-8')
        self.send_response(200)
        self.send_header('Content-Type', 'text/plain; charset=UTF-8')
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    server = Server(('127.0.0.1', 0), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == '__main__':
    sys.exit(main())
