"""A small FTP server for the monitor's tests: serves one folder, whose files
stand for the modem's pseudo-files, to the user "melgar" with an empty
password. Prints "listening on 127.0.0.1:PORT" once it accepts connections.

A file NAME.steps beside NAME makes reads of NAME answer its lines in turn,
one line per read, starting over after the last: a modem whose replies
change from read to read.

usage: file_ftp_server.py FOLDER [--size-offset N]
  --size-offset N   SIZE reports every file N bytes longer (shorter when
                    negative) than it is, as a server that sizes loosely
"""
import argparse
import io
import logging
import os

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import ThreadedFTPServer

STEPS_SUFFIX = ".steps"


class SteppingFS(AbstractedFS):
    reads = {}

    def open(self, filename, mode):
        steps = filename + STEPS_SUFFIX
        if "r" in mode and os.path.exists(steps):
            with open(steps, "rb") as f:
                lines = f.read().splitlines() or [b""]
            turn = SteppingFS.reads.get(filename, 0)
            SteppingFS.reads[filename] = turn + 1
            reply = io.BytesIO(lines[turn % len(lines)])
            reply.name = filename
            return reply
        return super().open(filename, mode)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--size-offset", type=int, default=0)
    args = parser.parse_args()
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user("melgar", "", args.folder, perm="elradfmw")
    authorizer.add_anonymous(args.folder, perm="elr")

    class Handler(FTPHandler):
        def ftp_SIZE(self, path):
            if not args.size_offset:
                return super().ftp_SIZE(path)
            try:
                size = os.path.getsize(path)
            except OSError as err:
                self.respond("550 %s." % os.strerror(err.errno))
                return
            self.respond("213 %d" % max(0, size + args.size_offset))

    Handler.authorizer = authorizer
    Handler.abstracted_fs = SteppingFS
    Handler.use_sendfile = False
    # A thread per session: in one shared loop, closing an old session's data
    # connection can unregister a descriptor that a new session reuses.
    server = ThreadedFTPServer(("127.0.0.1", 0), Handler)
    port = server.socket.getsockname()[1]
    print(f"listening on 127.0.0.1:{port}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
