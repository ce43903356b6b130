#!/usr/bin/env python3
"""Small FTP server for the FTP tests; listens on 127.0.0.1 only.

    ftpserver.py --root DIR --user U --password P [--mode MODE] [--log FILE]
                 [--home SUB]

Prints "PORT <n>" on its first line once it accepts connections.

Mode "serve" is an ordinary server with misbehaving files: a download of a
file whose name starts with "stall", "die" or "trickle" moves its first
16 KiB and then stalls, ends the server process, or goes on at one byte
every fifth of a second. A file whose name starts with "inuse" is held open
elsewhere: deleting, renaming or renaming over it is refused with reply 550
and the text such servers give ("busy": reply 450); the program's upload
temporaries (".<name>.orvtmp.XXXXXX") and the files it moved aside
(".<name>.orvold.XXXXXX") never are held open. "MDTM <yyyymmddhhmmss>
<file>" sets the file's time, as servers that allow it do.
The other modes are "serve" with faults, and can be joined by "," (as in
"noquit,slowrename"):
- "cut" closes an upload's data connection after 64 KiB and reports the
  transfer complete (a server that saw the connection drop); "stall" stops
  reading after 64 KiB while the control connection goes on answering;
  "cut-media" cuts only uploads into a folder named "Media"; "die" ends the
  server process after 64 KiB of an upload.
- "full" takes a whole upload, keeps half of it and replies 451, as a
  server whose disk is full; "full-close" is a full disk as some servers
  meet it: after 64 KiB the data connection is closed (unread data and
  all), and "451 Failure writing to local file." follows on the control
  connection 60 ms later; "drop426" closes the data connection after 4 KiB
  and replies 426.
- "denystor" refuses every upload with "550 Permission denied.";
  "denyconfirm" refuses only uploads of the command file (a name holding
  "OrvaneConfirm"), as a board whose command file is write-protected.
- "busy-media" refuses every upload into a folder named "Media" with 450
  and the text of a file in use.
- "norename" refuses to rename over an existing file (as servers on Windows
  do); "norename-drop" does the same and drops the control connection
  right after it moved a file aside; "norename-back" does the same and
  refuses to rename an upload temporary into a real name (553), so the old
  file goes aside and back again; "norename-lost" does the same and refuses
  every rename into a real name, so the old file, once moved aside, stays
  there. "norename-any" refuses every rename ("550 Rename refused.").
- "lockdata" refuses to rename a file in a folder named "Data" (RNFR
  answered 550), so an update whose media went into place fails half-way at
  its templates.
- "lostrename" renames an upload temporary into its real name and then
  drops the control connection before it answers, as a connection that
  breaks right then; "lostrename-die" does the same and then ends the
  server process, so the board can't be asked afterwards; "lostrename-busy"
  does the same and then turns the next connection away with "421 Too many
  connections from the same IP address." (the broken one still counts).
- "nosize" answers SIZE with 500, as servers without the command do.
- "vsftpd-cwd" answers a CWD into a folder that is not there with "550
  Failed to change directory.", as vsftpd does (an upload into a missing
  folder meets it first).
- "drop-mdtm" drops the control connection at an MDTM line that sets a
  file's time, without acting on it or answering; "drop-dele" does the same
  at the DELE of a file moved aside (".<name>.orvold.XXXXXX"), which stays.
- "slowrename" takes a third of a second for every rename.
- "writing" serves files as an exporter still writing them: every
  download of a file adds a line to it once it has been sent, so the file
  shows another size (and time) right after its transfer.
- "retrlock" refuses a download (RETR) with "550 The process cannot access
  the file because it is being used by another process." while a file of
  the same name with ".lock" added lies beside it, as a server on Windows
  refuses a file its exporter holds open.
- "dirtimes" answers MDTM and SIZE for a folder as for a file (the
  folder's time, its size on disk), as some servers do.
- "noquit" never answers QUIT; "noquit-renamed" never answers it in a
  session that renamed a file.
- "badlogin" refuses every login with "530 Login incorrect."; "toomany"
  turns every connection away with the 421 of "lostrename-busy", as a
  board whose server takes no more connections..
- "drop@CMD:N" drops the control connection at the Nth CMD line the server
  receives (counted over all connections; e.g. "drop@RNTO:2"), without
  acting on it or answering; "hangup@CMD:N" acts on it, answers and then
  closes the connection, as a board that drops an idle session;
  "restart@CMD:N" drops it as "drop@" does and deletes every upload
  temporary, as a board whose program starts again (its start-up clears
  them).
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
import calendar
import os
import re
import socket
import sys
import threading
import time

CHUNK = 16 * 1024
UPLOAD_LIMIT = 64 * 1024
TEMPORARY = re.compile(r"^\..+\.orvtmp\.[A-Za-z0-9]{6}$")
ASIDE = re.compile(r"^\..+\.orvold\.[A-Za-z0-9]{6}$")
DROP_AFTER = 4 * 1024


def real_name(path):
    """True for a name that is neither an upload temporary nor a file moved
    aside."""
    base = os.path.basename(path)
    return not TEMPORARY.match(base) and not ASIDE.match(base)


def in_folder(path, folder):
    return os.path.basename(os.path.dirname(path)) == folder


class Misbehaving:
    """A served file that, after its first 16 KiB, stalls, ends the server
    ("die") or sends one byte every fifth of a second ("trickle")."""

    def __init__(self, fd, kind):
        self._fd = fd
        self._kind = kind
        self._count = 0  # reads so far
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
    from pyftpdlib.handlers import DTPHandler, FTPHandler
    from pyftpdlib.servers import FTPServer

    modes = set(args.mode.split(","))
    # Connections still to be turned away ("toomany": all of them).
    turn_away = [-1 if "toomany" in modes else 0]
    # "drop@CMD:N", "hangup@CMD:N", "restart@CMD:N": how many CMD lines came
    # so far.
    faults = {}
    for mode in modes:
        kind, _, rest = mode.partition("@")
        if rest:
            cmd, _, nth = rest.partition(":")
            faults.setdefault(cmd, []).append((kind, int(nth)))
    seen = {}

    def quiet(*_args, **_kwargs):
        pass

    class FS(AbstractedFS):
        def open(self, filename, mode):
            fd = super().open(filename, mode)
            base = os.path.basename(filename).lower()
            kind = next((k for k in ("stall", "die", "trickle") if base.startswith(k)), None)
            return Misbehaving(fd, kind) if kind and "r" in mode else fd

    class UploadDTP(DTPHandler):
        """Takes the first UPLOAD_LIMIT bytes of an upload, then cuts the
        data connection ("cut", "cut-media") or reads no more ("stall");
        or closes it after DROP_AFTER bytes with 426 ("drop426"); or takes
        all of it and then fails as a full disk does ("full"). It reads a
        chunk at a time, and never past the limit: however the reads fall
        (a busy machine hands over less than a chunk at times), a cut or
        stalled upload holds exactly UPLOAD_LIMIT bytes."""

        ac_in_buffer_size = CHUNK

        def handle_read(self):
            if "drop426" in modes and self.tot_bytes_received >= DROP_AFTER:
                self._resp = ("426 Connection closed; transfer aborted.", quiet)
                return self.close()
            if not self.misbehaves():
                return DTPHandler.handle_read(self)
            if self.tot_bytes_received < UPLOAD_LIMIT:
                self.ac_in_buffer_size = min(CHUNK, UPLOAD_LIMIT - self.tot_bytes_received)
                return DTPHandler.handle_read(self)
            if "die" in modes:
                os._exit(3)
            if "full-close" in modes:
                return self.full_close()
            if modes & {"cut", "cut-media"}:
                return self.handle_close()  # as if the client had ended
            return self.modify_ioloop_events(0)

        handle_read_event = handle_read  # the I/O loop calls this name

        def handle_close(self):
            if "full" in modes and self.receive and not self._closed:
                self.file_obj.truncate(self.file_obj.tell() // 2)
                self._resp = ("451 Failure writing to local file.", quiet)
                return self.close()
            return DTPHandler.handle_close(self)

        def full_close(self):
            """Closes the data connection at once, unread data and all (the
            client meets a reset), and says why a little later."""
            self.file_obj.truncate(self.file_obj.tell())
            self._resp = ()
            channel = self.cmd_channel
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
            self.close()
            channel.ioloop.call_later(0.06, lambda: channel.respond("451 Failure writing to local file."))

        def misbehaves(self):
            if not modes & {"cut", "stall", "cut-media", "die", "full-close"}:
                return False
            if "cut-media" not in modes:
                return True
            return in_folder(getattr(self.file_obj, "name", ""), "Media")

    class Handler(FTPHandler):
        def held_open(self, path):
            """Refuses (and True) when `path` is a file held open elsewhere
            (an upload's temporary or a file moved aside never is)."""
            if not path or not real_name(path):
                return False
            base = os.path.basename(path).lower()
            if base.startswith("inuse"):
                self.respond("550 The process cannot access the file because it is being used by another process.")
                return True
            if base.startswith("busy"):
                self.respond("450 File busy.")
                return True
            return False

        def ftp_STOR(self, file, mode="w"):
            if "denystor" in modes or ("denyconfirm" in modes and "OrvaneConfirm" in os.path.basename(file)):
                self.respond("550 Permission denied.")
                return None
            if "busy-media" in modes and in_folder(file, "Media"):
                self.respond("450 The process cannot access the file because it is being used by another process.")
                return None
            return FTPHandler.ftp_STOR(self, file, mode)

        def ftp_DELE(self, path):
            if "drop-dele" in modes and ASIDE.match(os.path.basename(path)):
                return self.close()  # neither acted on nor answered
            if self.held_open(path):
                return None
            return FTPHandler.ftp_DELE(self, path)

        def ftp_RNFR(self, path):
            if "lockdata" in modes and in_folder(path, "Data"):
                self.respond("550 Renaming is not allowed in this folder.")
                return None
            return FTPHandler.ftp_RNFR(self, path)

        def ftp_RNTO(self, path):
            source = self._rnfr
            if "slowrename" in modes:
                time.sleep(0.33)
            if self.held_open(path) or (source and self.held_open(source)):
                self._rnfr = None
                return None
            refusal = None
            if "norename-any" in modes:
                refusal = "550 Rename refused."
            elif modes & {"norename", "norename-drop", "norename-back", "norename-lost"} and os.path.exists(path):
                refusal = "550 Cannot create a file when that file already exists."
            elif "norename-lost" in modes and real_name(path):
                refusal = "553 Renaming failed."
            elif "norename-back" in modes and real_name(path) and source and TEMPORARY.match(os.path.basename(source)):
                refusal = "553 Renaming failed."
            if refusal:
                self._rnfr = None
                self.respond(refusal)
                return None
            if modes & {"lostrename", "lostrename-die", "lostrename-busy"} and real_name(path) and source and TEMPORARY.match(os.path.basename(source)):
                self._rnfr = None
                self.run_as_current_user(self.fs.rename, source, path)
                if "lostrename-die" in modes:
                    os._exit(3)
                if "lostrename-busy" in modes:
                    turn_away[0] = 1
                return self.close()  # the reply never leaves
            renamed = FTPHandler.ftp_RNTO(self, path)
            if renamed:
                self.renamed = True
            if renamed and "norename-drop" in modes and ASIDE.match(os.path.basename(path)):
                self.close_when_done()
            return renamed

        def ftp_CWD(self, path):
            if "vsftpd-cwd" in modes and not os.path.isdir(path):
                self.respond("550 Failed to change directory.")
                return None
            return FTPHandler.ftp_CWD(self, path)

        def ftp_SIZE(self, path):
            if "nosize" in modes:
                self.respond("500 Command \"SIZE\" not understood.")
                return None
            if "dirtimes" in modes and os.path.isdir(path):
                self.respond("213 %d" % os.path.getsize(path))
                return path
            return FTPHandler.ftp_SIZE(self, path)

        def ftp_MDTM(self, path):
            if "dirtimes" in modes and os.path.isdir(path):
                self.respond("213 " + time.strftime("%Y%m%d%H%M%S", time.gmtime(os.path.getmtime(path))))
                return path
            return FTPHandler.ftp_MDTM(self, path)

        def ftp_RETR(self, file):
            if "retrlock" in modes and os.path.exists(file + ".lock"):
                self.respond("550 The process cannot access the file because it is being used by another process.")
                return None
            return FTPHandler.ftp_RETR(self, file)

        def on_file_sent(self, file):
            if "writing" in modes:
                with open(file, "ab") as written:
                    written.write(b"one more line\r\n")

        def ftp_PASS(self, line):
            if "badlogin" in modes:
                self.respond("530 Login incorrect.")
                return None
            return FTPHandler.ftp_PASS(self, line)

        def ftp_QUIT(self, line):
            if "noquit" in modes or ("noquit-renamed" in modes and getattr(self, "renamed", False)):
                return None  # the client waits for a reply that never comes
            return FTPHandler.ftp_QUIT(self, line)

        def pre_process_command(self, line, cmd, arg):
            if args.log:
                with open(args.log, "a", encoding="utf-8") as log:
                    log.write(("PASS ***" if cmd == "PASS" else line) + "\n")
            seen[cmd] = seen.get(cmd, 0) + 1
            kind = next((k for k, nth in faults.get(cmd, []) if nth == seen[cmd]), None)
            if kind == "restart":
                for folder, _dirs, files in os.walk(args.root):
                    for name in files:
                        if TEMPORARY.match(name):
                            os.remove(os.path.join(folder, name))
            if kind in ("drop", "restart"):
                return self.close()  # neither acted on nor answered
            if kind == "hangup":
                FTPHandler.pre_process_command(self, line, cmd, arg)
                return self.close_when_done()
            stamp = re.match(r"^(\d{14}) (.+)$", arg or "") if cmd == "MDTM" and self.authenticated else None
            if stamp and "drop-mdtm" in modes:
                return self.close()  # neither acted on nor answered
            if stamp:
                return self.set_time(stamp.group(1), stamp.group(2))
            return FTPHandler.pre_process_command(self, line, cmd, arg)

        def set_time(self, stamp, name):
            """MDTM with a time sets the file's time, as servers that allow it
            do."""
            path = self.fs.ftp2fs(name)
            try:
                when = calendar.timegm(time.strptime(stamp, "%Y%m%d%H%M%S"))
                os.utime(path, (when, when))
            except (OSError, ValueError):
                self.respond("550 Can't set the time of %s." % name)
                return
            self.respond("213 Modify=%s; %s" % (stamp, name))

        def handle(self):
            if turn_away[0]:
                turn_away[0] -= 1
                return self.handle_max_cons_per_ip()
            return FTPHandler.handle(self)

        def on_login(self, username):
            if args.home:
                self.fs.cwd = "/" + args.home.strip("/")

    auth = DummyAuthorizer()
    auth.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    handler = Handler
    handler.authorizer = auth
    handler.abstracted_fs = FS
    if modes & {"cut", "stall", "cut-media", "die", "full", "full-close", "drop426"}:
        handler.dtp_handler = UploadDTP
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
    modes = {"serve", "silent", "cut", "stall", "cut-media", "die", "full", "drop426", "busy-media", "norename",
             "norename-drop", "norename-back", "norename-lost", "norename-any", "lockdata", "lostrename", "slowrename",
             "noquit", "noquit-renamed", "full-close", "denystor", "lostrename-die", "nosize", "drop-mdtm",
             "drop-dele", "badlogin", "denyconfirm", "lostrename-busy", "toomany", "vsftpd-cwd",
             "writing", "retrlock", "dirtimes"}
    p.add_argument("--mode", default="serve",
                   type=lambda text: text if all(m in modes or re.match(r"^(drop|hangup|restart)@[A-Z]+:[0-9]+$", m)
                                                 for m in text.split(",")) else p.error("unknown mode " + text))
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
