#!/usr/bin/env python3
"""Asks a Firefox started with --marionette to quit as a user would, so that
it runs its shutdown work (such as exporting its bookmarks).

    marionette_quit.py PORT"""
import json
import socket
import sys
import time


def main():
    port = int(sys.argv[1])
    for _ in range(120):
        try:
            conn = socket.create_connection(("127.0.0.1", port), timeout=60)
            break
        except OSError:
            time.sleep(0.5)
    else:
        sys.exit(f"no Marionette on port {port}")
    stream = conn.makefile("rb")

    def receive():
        length = b""
        while not length.endswith(b":"):
            byte = stream.read(1)
            if not byte:
                sys.exit("Marionette closed the connection")
            length += byte
        return json.loads(stream.read(int(length[:-1])))

    def send(serial, command, params):
        body = json.dumps([0, serial, command, params]).encode()
        conn.sendall(str(len(body)).encode() + b":" + body)
        reply = receive()
        if reply[2] is not None:
            sys.exit(f"{command}: {reply[2]}")
        return reply[3]

    receive()  # the greeting
    send(1, "WebDriver:NewSession", {"capabilities": {}})
    send(2, "Marionette:Quit", {"flags": ["eAttemptQuit"]})


main()
