#!/usr/bin/env python3
"""Small FTP server for the FTP tests; listens on 127.0.0.1 only.

    ftpserver.py --root DIR --user U --password P [--mode serve|silent] [--log FILE]
                 [--home SUB]

Prints "PORT <n>" on its first line once it accepts connections.

Mode "serve" is an ordinary server with misbehaving files: a download of a
file whose name starts with "stall", "die" or "trickle" (an upload under a
"stall" or "die" name) moves its first 16 KiB and then stalls, ends the
server process, or goes on at one byte every fifth of a second. An upload
under a name that starts with "inuse" is refused as a file held open
elsewhere (reply 550 with the text such servers give), one under a name that
starts with "busy" with reply 450.
Mode "silent" accepts connections and never answers (not even the greeting).
With --log every command line the server receives is appended to FILE (PASS
as "PASS ***").
With --home the login lands in the folder SUB below the root, as on servers
that give each account its own folder without locking it in: absolute paths
still reach the whole root.

The server ends on its own after --lifetime seconds or when its parent
process goes away, so a crashed test never leaves it behind.
"""
import argparse
import os
import socket
import sys
import threading
import time

CHUNK = 16 * 1024


class Misbehaving:
    """A served file that, after its first 16 KiB, stalls, ends the server
    ("die") or, when read, sends one byte every fifth of a second ("trickle")."""

    def __init__(self, fd, kind):
        self._fd = fd
        self._kind = kind
        self._count = 0  # reads so far, or bytes written so far
        self.name = fd.name
        self.closed = False

    def _misbehave(self):
        if self._kind == "die":
            time.sleep(0.3)  # give the first chunk time to leave
            os._exit(3)
        if self._kind == "stall":
            time.sleep(3600)  # the watchdog ends the process in the end

    def read(self, size=-1):
        self._count += 1
        if self._count == 1:
            return self._fd.read(min(size, CHUNK) if size and size > 0 else CHUNK)
        self._misbehave()
        time.sleep(0.2)
        return self._fd.read(1)

    def write(self, data):
        if self._count >= CHUNK:
            self._misbehave()
        self._count += len(data)
        return self._fd.write(data)

    def close(self):
        self.closed = True
        self._fd.close()

    def __getattr__(self, name):
        return getattr(self._fd, name)


def watchdog(lifetime):
    parent = os.getppid()
    deadline = time.monotonic() + lifetime
    while time.monotonic() < deadline:
        if os.getppid() != parent:
            break
        time.sleep(0.2)
    os._exit(0)


def serve(args):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.filesystems import AbstractedFS
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    class FS(AbstractedFS):
        def open(self, filename, mode):
            fd = super().open(filename, mode)
            base = os.path.basename(filename).lower()
            kinds = ("stall", "die", "trickle") if "r" in mode else ("stall", "die")
            kind = next((k for k in kinds if base.startswith(k)), None)
            return Misbehaving(fd, kind) if kind else fd

    class Handler(FTPHandler):
        def ftp_STOR(self, file, mode="w"):
            base = os.path.basename(file).lower()
            if base.startswith("inuse"):
                self.respond("550 The process cannot access the file because it is being used by another process.")
                return None
            if base.startswith("busy"):
                self.respond("450 File busy.")
                return None
            return FTPHandler.ftp_STOR(self, file, mode)

        def pre_process_command(self, line, cmd, arg):
            if args.log:
                with open(args.log, "a", encoding="utf-8") as log:
                    log.write(("PASS ***" if cmd == "PASS" else line) + "\n")
            return FTPHandler.pre_process_command(self, line, cmd, arg)

        def on_login(self, username):
            if args.home:
                self.fs.cwd = "/" + args.home.strip("/")

    auth = DummyAuthorizer()
    auth.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    handler = Handler
    handler.authorizer = auth
    handler.abstracted_fs = FS
    handler.auth_failed_timeout = 0.05
    handler.use_sendfile = False  # so reads go through the file wrapper
    handler.banner = "test server ready"
    server = FTPServer(("127.0.0.1", 0), handler)
    port = server.socket.getsockname()[1]
    print("PORT %d" % port, flush=True)
    server.serve_forever(handle_exit=False)


def silent(_args):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.bind(("127.0.0.1", 0))
    sock.listen(8)
    print("PORT %d" % sock.getsockname()[1], flush=True)
    held = []
    while True:
        conn, _ = sock.accept()
        held.append(conn)  # keep it open, say nothing


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", default=".")
    p.add_argument("--user", default="user")
    p.add_argument("--password", default="secret")
    p.add_argument("--mode", default="serve", choices=["serve", "silent"])
    p.add_argument("--lifetime", type=float, default=120.0)
    p.add_argument("--log", default="")
    p.add_argument("--home", default="")
    args = p.parse_args()
    threading.Thread(target=watchdog, args=(args.lifetime,), daemon=True).start()
    if args.mode == "silent":
        silent(args)
    else:
        serve(args)


if __name__ == "__main__":
    sys.exit(main())
