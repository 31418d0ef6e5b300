#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""caldav_proxy.py PORT UPSTREAM-PORT LOG: forwards 127.0.0.1:PORT to
127.0.0.1:UPSTREAM-PORT and appends one line per chunk to LOG: the moment,
"up" or "down", the bytes, and the request line of each request sent up."""
import socket, sys, threading, time

port, upstream, log_path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
lock = threading.Lock()


def note(direction, data):
    with lock, open(log_path, 'a') as log:
        first = ''
        if direction == 'up':
            for line in data.split(b'\r\n'):
                if line.split(b' ')[0] in (b'PROPFIND', b'REPORT', b'PUT', b'DELETE', b'GET'):
                    first += ' ' + line.decode('latin-1').replace(' ', '_')
        log.write(f'{time.time():.3f} {direction} {len(data)}{first}\n')


def pump(src, dst, direction):
    try:
        while data := src.recv(65536):
            note(direction, data)
            dst.sendall(data)
    except OSError:
        pass
    for s in (src, dst):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


server = socket.create_server(('127.0.0.1', port))
print('ready', flush=True)
while True:
    client, _ = server.accept()
    up = socket.create_connection(('127.0.0.1', upstream))
    threading.Thread(target=pump, args=(client, up, 'up'), daemon=True).start()
    threading.Thread(target=pump, args=(up, client, 'down'), daemon=True).start()
