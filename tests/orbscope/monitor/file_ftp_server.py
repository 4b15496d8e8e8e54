"""A small FTP server for the monitor's tests: serves one folder, whose files
stand for the modem's pseudo-files, to the user "melgar" with an empty
password. Prints "listening on 127.0.0.1:PORT" once it accepts connections.

A file NAME.steps beside NAME makes reads of NAME answer its lines in turn,
starting over after the last: a modem whose replies change from read to read.

usage: file_ftp_server.py FOLDER
"""
import io
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import ThreadedFTPServer


class SteppingFS(AbstractedFS):
    reads = {}

    def open(self, filename, mode):
        if "r" not in mode or not os.path.exists(filename + ".steps"):
            return super().open(filename, mode)
        with open(filename + ".steps", "rb") as f:
            lines = f.read().splitlines() or [b""]
        turn = SteppingFS.reads[filename] = SteppingFS.reads.get(filename, -1) + 1
        reply = io.BytesIO(lines[turn % len(lines)])
        reply.name = filename
        return reply


def main():
    folder = sys.argv[1]
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user("melgar", "", folder, perm="elradfmw")
    authorizer.add_anonymous(folder, perm="elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.abstracted_fs = SteppingFS
    handler.use_sendfile = False
    # A thread per session: in one shared loop, closing an old session's data
    # connection can unregister a descriptor that a new session reuses.
    server = ThreadedFTPServer(("127.0.0.1", 0), handler)
    port = server.socket.getsockname()[1]
    print(f"listening on 127.0.0.1:{port}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
