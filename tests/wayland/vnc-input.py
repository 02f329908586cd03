#!/usr/bin/env python3
"""Sends input to a VNC server on a Unix socket, as a remote user would: vnc-input.py SOCKET EVENT...
where EVENT is key:KEYSYM (a press and release, KEYSYM in hex), move:X,Y, or wait:SECONDS."""
import socket
import struct
import sys
import time


def receive(vnc, size):
    data = b""
    while len(data) < size:
        chunk = vnc.recv(size - len(data))
        if not chunk:
            sys.exit("the server closed the connection")
        data += chunk
    return data


def connect(path):
    vnc = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    vnc.connect(path)
    receive(vnc, 12)  # the server's version
    vnc.sendall(b"RFB 003.008\n")
    count = receive(vnc, 1)[0]
    types = receive(vnc, count)
    if 1 not in types:
        sys.exit(f"the server wants authentication: {list(types)}")
    vnc.sendall(b"\x01")  # security None
    if struct.unpack(">I", receive(vnc, 4))[0] != 0:
        sys.exit("the server refused the connection")
    vnc.sendall(b"\x01")  # ClientInit: share the desktop
    header = receive(vnc, 24)
    receive(vnc, struct.unpack(">I", header[20:24])[0])  # the desktop's name
    return vnc


def main():
    vnc = connect(sys.argv[1])
    for event in sys.argv[2:]:
        kind, value = event.split(":")
        if kind == "key":
            for down in (1, 0):
                vnc.sendall(struct.pack(">BBxxI", 4, down, int(value, 16)))
        elif kind == "move":
            x, y = (int(v) for v in value.split(","))
            vnc.sendall(struct.pack(">BBHH", 5, 0, x, y))
        elif kind == "wait":
            time.sleep(float(value))
    time.sleep(0.3)  # the server reads the last event before the connection goes
    vnc.close()


main()
