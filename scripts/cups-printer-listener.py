#!/usr/bin/env python3
"""A network text printer for the printing tests.

Listens on a free TCP port of 127.0.0.1 (written to PORT_FILE once it
listens) and appends the bytes of every connection, one connection after the
other, to OUT_FILE: what a raw printer on a socket would print, in order.

Usage: cups-printer-listener.py OUT_FILE PORT_FILE
"""
import os
import socket
import sys


def main():
    out_path, port_path = sys.argv[1], sys.argv[2]
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    open(out_path, "ab").close()
    with open(port_path + ".tmp", "w") as port_file:
        port_file.write(str(server.getsockname()[1]))
    os.rename(port_path + ".tmp", port_path)
    while True:
        connection, _ = server.accept()
        with connection, open(out_path, "ab") as out:
            while True:
                data = connection.recv(65536)
                if not data:
                    break
                out.write(data)
                out.flush()


if __name__ == "__main__":
    main()
