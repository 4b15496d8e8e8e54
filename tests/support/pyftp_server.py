#!/usr/bin/python3
"""Third-party FTP peer for the interoperability tests: Debian's pyftpdlib,
serving a folder on 127.0.0.1 with a free port that it prints as "PORT n".

Every command and reply is logged, with the client's address and port, to
the log file that the tests read.

Files whose names start with "gated" are served in two halves: the second
half is held back until a file named "release" appears in the served folder,
so a test can prove that the client hands out data before the whole file
has arrived (or that a stalled transfer times out).

Uploads to names starting with "refuse" fail after REFUSE_AFTER bytes as if
the disk were full: the server answers 426 and drops the data connection.

Files named with --endless NAME are served as a transfer that never ends
(a modem that keeps sending), whatever the file holds.

With --size-offset N, SIZE reports every file N bytes longer (or, for a
negative N, shorter) than it is, as a server that sizes files loosely or a
file that grows between SIZE and RETR."""

import argparse
import errno
import logging
import os
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import ThreadedFTPServer

GATE_PREFIX = "gated"
GATE_WAIT_LIMIT_S = 120
REFUSE_PREFIX = "refuse"
REFUSE_AFTER = 1000


class GatedFile:
    """A read-only file that blocks at its midpoint until released."""

    def __init__(self, path, release_path):
        with open(path, "rb") as f:
            self._data = f.read()
        self.name = path
        self.closed = False
        self._pos = 0
        self._gate = len(self._data) // 2
        self._release_path = release_path

    def read(self, size=-1):
        if self._pos >= self._gate:
            deadline = time.monotonic() + GATE_WAIT_LIMIT_S
            while not os.path.exists(self._release_path) and time.monotonic() < deadline:
                time.sleep(0.02)
            end = len(self._data)
        else:
            end = self._gate
        if size is None or size < 0:
            size = end - self._pos
        chunk = self._data[self._pos:min(end, self._pos + size)]
        self._pos += len(chunk)
        return chunk

    def seek(self, pos, whence=0):
        self._pos = pos

    def tell(self):
        return self._pos

    def close(self):
        self.closed = True


class EndlessFile:
    """A read-only file whose data never ends."""

    def __init__(self, path):
        self.name = path
        self.closed = False

    def read(self, size=-1):
        return b"\x5a" * (size if size and size > 0 else 65536)

    def seek(self, pos, whence=0):
        pass

    def tell(self):
        return 0

    def close(self):
        self.closed = True


class RefusingFile:
    """A file open for writing whose disk fills up after REFUSE_AFTER bytes."""

    def __init__(self, path):
        self.name = path
        self.closed = False
        self._written = 0

    def write(self, data):
        self._written += len(data)
        if self._written > REFUSE_AFTER:
            raise OSError(errno.ENOSPC, os.strerror(errno.ENOSPC))
        return len(data)

    def close(self):
        self.closed = True


def make_fs(root, endless):
    release_path = os.path.join(root, "release")

    class GatedFS(AbstractedFS):
        def open(self, filename, mode):
            if "r" in mode and os.path.basename(filename) in endless:
                return EndlessFile(filename)
            if "r" in mode and os.path.basename(filename).startswith(GATE_PREFIX):
                return GatedFile(filename, release_path)
            if "w" in mode and os.path.basename(filename).startswith(REFUSE_PREFIX):
                return RefusingFile(filename)
            return super().open(filename, mode)

    return GatedFS


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--user", action="append", default=[], help="name:password")
    parser.add_argument("--no-anonymous", action="store_true")
    parser.add_argument("--no-size", action="store_true")
    parser.add_argument("--size-offset", type=int, default=0)
    parser.add_argument("--endless", action="append", default=[], help="a file name served without end")
    args = parser.parse_args()

    logging.basicConfig(filename=args.log, level=logging.DEBUG, format="%(message)s")

    authorizer = DummyAuthorizer()
    if not args.no_anonymous:
        authorizer.add_anonymous(args.root, perm="elradfmwMT")
    for entry in args.user:
        name, _, password = entry.partition(":")
        authorizer.add_user(name, password, args.root, perm="elradfmwMT")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    for name in args.endless:
        open(os.path.join(args.root, name), "ab").close()
    Handler.abstracted_fs = make_fs(args.root, set(args.endless))
    Handler.use_sendfile = False
    Handler.auth_failed_timeout = 0.1
    Handler.permit_foreign_addresses = False
    if args.no_size:
        Handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k != "SIZE"}
    if args.size_offset:
        def ftp_SIZE(self, path):
            try:
                size = self.run_as_current_user(self.fs.getsize, path)
            except OSError as err:
                self.respond("550 %s." % os.strerror(err.errno or errno.EIO))
                return
            self.respond("213 %d" % max(0, size + args.size_offset))

        Handler.ftp_SIZE = ftp_SIZE

    server = ThreadedFTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.address[1], flush=True)
    try:
        server.serve_forever(handle_exit=True)
    finally:
        server.close_all()
    return 0


if __name__ == "__main__":
    sys.exit(main())
