#!/usr/bin/env python3
"""An HTTP server that misbehaves on purpose, for the downloader's tests.

It serves the files of a document root, like nginx next to it, but the first
path element picks a fault that nginx will not make:

  /plain/NAME        byte ranges honoured (the reference behaviour)
  /norange/NAME      Range ignored: 200 with the whole body
  /nolength/NAME     no Content-Length; the body ends when the connection does
  /404range/NAME     an open-ended range past the first byte gets 404
  /stall/NAME        the first GET sends half its bytes, then nothing for 14 s
  /stallnorange/NAME the same from a server that ignores Range
  /drop/NAME         every GET sends half its bytes, then the connection drops
  /fullbody/NAME     HEAD honours ranges, GET answers 200 with the whole body
  /badrange/NAME     206 whose Content-Range starts one byte after the asked one
  /shortrange/NAME   206 for a range, but its last 1000 bytes left out
  /huge/NAME         HEAD claims a 3 GiB file
  /manyheaders/NAME  a megabyte of header lines before the usual answer
  /redirect/N/NAME   N redirects, then /plain/NAME
  /swap/NAME         HEAD describes NAME, GET sends NAME.next: the file was
                     replaced on the server between the size probe and the
                     transfer
  /silent/PATH       reads the request, then sends nothing at all
  /statusonly/PATH   sends the status line "HTTP/1.1 200 OK", then nothing
  /stallbody/NAME    HEAD answers like /plain/; every GET sends its headers
                     and a quarter of the bytes asked for, then nothing
  /trickle/PATH      announces 1 MiB (no ranges); every GET then sends four
                     bytes every half second until the client closes
  /overlong/PATH     HEAD announces 1000 bytes; every GET announces and
                     sends 64 MiB
  /ignoreifrange/NAME byte ranges and an entity tag that never changes, but
                     If-Range ignored: a range is sent whatever tag it names

The last two need no file, and log "SENT N" (the body bytes the server got
rid of) after each GET.

PATH may have several elements (an update server's "/pc/Update.cfg" under
a folder of its own); it is logged with "/" turned into "_".

Every request for NAME is appended to LOGDIR/NAME.log as
"METHOD FAULT RANGE" so tests can see what was asked. The server stops by
itself after --lifetime seconds. It never holds a connection longer than
about fifteen seconds, except that the three silent faults above keep theirs
open until the client gives up, at most HOLD_SECONDS: longer than any client
with a stall rule waits, so a client without one fails its test instead of
ending when the server lets go.
"""
import argparse
import os
import re
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

STALL_SECONDS = 14
HOLD_SECONDS = 150
SILENT_FAULTS = ("silent", "statusonly")
ENDLESS_FAULTS = ("trickle", "overlong")
HUGE_SIZE = 3 * 1024 * 1024 * 1024
TRICKLE_ANNOUNCED = 1024 * 1024
OVERLONG_ANNOUNCED = 1000
OVERLONG_SENT = 64 * 1024 * 1024


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "fault-server"
    timeout = 15
    stalled = set()
    stalled_lock = threading.Lock()

    def log_message(self, *args):
        pass

    # -- helpers ---------------------------------------------------------
    def record(self, fault, name, line=None):
        if line is None:
            line = "%s %s %s\n" % (self.command, fault, self.headers.get("Range", "-"))
        safe = re.sub(r"[^A-Za-z0-9._-]", "_", name)
        with open(os.path.join(self.server.logdir, safe + ".log"), "a") as log:
            log.write(line)

    def send_endless(self, fault, name):
        """A body that never ends on its own: four bytes every half second,
        or far more than was announced. Logs what left the server."""
        self.close_connection = True
        announced = TRICKLE_ANNOUNCED if fault == "trickle" else OVERLONG_ANNOUNCED
        if self.command == "GET" and fault == "overlong":
            announced = OVERLONG_SENT
        self.send_response(200)
        self.send_header("Content-Length", str(announced))
        self.send_header("Accept-Ranges", "none")
        self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "GET":
            return
        sent = 0
        deadline = time.monotonic() + HOLD_SECONDS
        try:
            if fault == "trickle":
                while sent + 4 <= announced and time.monotonic() < deadline:
                    self.wfile.write(b"{ \n ")
                    self.wfile.flush()
                    sent += 4
                    time.sleep(0.5)
            else:
                block = b"\0" * 65536
                while sent < OVERLONG_SENT:
                    self.wfile.write(block)
                    sent += len(block)
        except OSError:
            pass
        self.record(fault, name, "SENT %d\n" % sent)

    def parse_range(self, size):
        """(first, last) of a single "bytes=a-b" or "bytes=a-" range, or None."""
        match = re.fullmatch(r"bytes=(\d+)-(\d*)", self.headers.get("Range", "").strip())
        if not match:
            return None
        first = int(match.group(1))
        last = int(match.group(2)) if match.group(2) else size - 1
        last = min(last, size - 1)
        if first > last:
            return None
        return first, last

    def send_plain(self, code, body=b"", extra=()):
        self.send_response(code)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        for key, value in extra:
            self.send_header(key, value)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)
        self.close_connection = True

    def hold_silent(self):
        """Keeps the connection open without sending anything more until the
        client closes it, or HOLD_SECONDS have passed."""
        self.close_connection = True
        deadline = time.monotonic() + HOLD_SECONDS
        try:
            while time.monotonic() < deadline:
                self.connection.settimeout(max(0.1, deadline - time.monotonic()))
                if not self.connection.recv(65536):
                    return
        except OSError:
            pass

    def send_file(self, data, honour_range=True, range_shift=0, body_fraction=None,
                  with_length=True, stall=False, range_shortfall=0, hold=False, extra=()):
        size = len(data)
        wanted = self.parse_range(size) if honour_range else None
        if wanted:
            first, last = wanted
            first = min(first + range_shift, last)
            last = max(first, last - range_shortfall)
            body = data[first:last + 1]
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (first, last, size))
        else:
            body = data
            self.send_response(200)
        if with_length:
            self.send_header("Content-Length", str(len(body)))
        self.send_header("Accept-Ranges", "bytes" if honour_range else "none")
        self.send_header("Connection", "close")
        for key, value in extra:
            self.send_header(key, value)
        self.end_headers()
        self.close_connection = True
        if self.command == "HEAD":
            return
        if body_fraction is not None:
            cut = int(len(body) * body_fraction)
            self.wfile.write(body[:cut])
            self.wfile.flush()
            if hold:
                self.hold_silent()
                return
            if stall:
                time.sleep(STALL_SECONDS)
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            return
        self.wfile.write(body)

    # -- requests --------------------------------------------------------
    def do_HEAD(self):
        self.handle_request()

    def do_GET(self):
        self.handle_request()

    def handle_request(self):
        parts = self.path.split("?")[0].strip("/").split("/")
        fault = parts[0] if parts else ""
        if fault == "redirect" and len(parts) == 3:
            hops = int(parts[1]) if parts[1].isdigit() else 0
            self.record("redirect", parts[2])
            target = "/plain/%s" % parts[2] if hops <= 1 else "/redirect/%d/%s" % (hops - 1, parts[2])
            self.send_plain(302, extra=[("Location", target)])
            return
        if fault in ENDLESS_FAULTS and len(parts) >= 2:
            name = "/".join(parts[1:])
            self.record(fault, name)
            self.send_endless(fault, name)
            return
        if fault in SILENT_FAULTS and len(parts) >= 2:
            self.record(fault, "/".join(parts[1:]))
            if fault == "statusonly":
                self.wfile.write(b"HTTP/1.1 200 OK\r\n")
                self.wfile.flush()
            self.hold_silent()
            return
        if len(parts) != 2:
            self.send_plain(404, b"not found\n")
            return
        name = parts[1]
        self.record(fault, name)
        path = os.path.join(self.server.docroot, name)
        if fault == "manyheaders":
            self.send_response(206 if "Range" in self.headers else 200)
            for i in range(10000):
                self.send_header("X-Filler-%d" % i, "f" * 90)
            self.send_header("Content-Length", "0")
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            return
        if fault == "huge":
            if self.command == "HEAD":
                self.send_response(206)
                self.send_header("Content-Range", "bytes 2-%d/%d" % (HUGE_SIZE - 1, HUGE_SIZE))
                self.send_header("Content-Length", str(HUGE_SIZE - 2))
                self.send_header("Connection", "close")
                self.end_headers()
                self.close_connection = True
            else:
                self.send_plain(404, b"never fetched\n")
            return
        try:
            with open(path, "rb") as f:
                data = f.read()
        except OSError:
            self.send_plain(404, b"not found\n")
            return
        is_get = self.command == "GET"
        if fault == "swap" and is_get:
            try:
                with open(path + ".next", "rb") as f:
                    data = f.read()
            except OSError:
                pass
        ranged = "Range" in self.headers
        if fault == "plain":
            self.send_file(data)
        elif fault == "ignoreifrange":
            self.send_file(data, extra=[("ETag", '"fixed-tag"')])
        elif fault == "norange":
            self.send_file(data, honour_range=False)
        elif fault == "nolength":
            self.send_file(data, honour_range=False, with_length=False)
        elif fault == "404range":
            wanted = self.parse_range(len(data))
            open_ended = self.headers.get("Range", "").strip().endswith("-")
            if is_get and wanted and wanted[0] > 0 and open_ended:
                self.send_plain(404, b"<html>no such range</html>\n")
            else:
                self.send_file(data)
        elif fault in ("stall", "stallnorange"):
            first_time = False
            if is_get:
                with Handler.stalled_lock:
                    first_time = (fault, name) not in Handler.stalled
                    Handler.stalled.add((fault, name))
            self.send_file(data, honour_range=fault == "stall", body_fraction=0.5 if first_time else None,
                           stall=True)
        elif fault == "swap":
            self.send_file(data)
        elif fault == "stallbody":
            self.send_file(data, body_fraction=0.25 if is_get else None, hold=True)
        elif fault == "drop":
            self.send_file(data, body_fraction=0.5 if is_get else None)
        elif fault == "fullbody":
            self.send_file(data, honour_range=not (is_get and ranged))
        elif fault == "shortrange":
            self.send_file(data, range_shortfall=1000 if is_get else 0)
        elif fault == "badrange":
            self.send_file(data, range_shift=1 if is_get else 0)
        else:
            self.send_plain(404, b"unknown fault\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--docroot", required=True)
    parser.add_argument("--logdir", required=True)
    parser.add_argument("--lifetime", type=int, default=3600)
    args = parser.parse_args()
    os.makedirs(args.logdir, exist_ok=True)
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.docroot = args.docroot
    server.logdir = args.logdir
    timer = threading.Timer(args.lifetime, server.shutdown)
    timer.daemon = True
    timer.start()
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
