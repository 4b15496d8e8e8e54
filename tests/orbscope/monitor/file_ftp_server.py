"""A small FTP server for the monitor's tests: serves one folder, whose files
stand for the modem's pseudo-files, to the user "melgar" with an empty
password. Prints "listening on 127.0.0.1:PORT" once it accepts connections.

usage: file_ftp_server.py FOLDER
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    folder = sys.argv[1]
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user("melgar", "", folder, perm="elradfmw")
    authorizer.add_anonymous(folder, perm="elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), handler)
    port = server.socket.getsockname()[1]
    print(f"listening on 127.0.0.1:{port}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
