"""A one-file HTTP server that dies in the middle of its first transfer.

It answers the size probe like nginx (byte ranges honoured), sends half of
the first GET's body, then stops listening and cuts every open connection:
whatever the client tries next is refused, as when the update server's
process is killed or its machine goes away mid-download.
"""
import re
import socket
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class _Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    timeout = 15

    def log_message(self, *args):
        pass

    def do_HEAD(self):
        self._answer()

    def do_GET(self):
        self._answer()

    def _answer(self):
        server = self.server
        data = server.payload
        match = re.fullmatch(r"bytes=(\d+)-(\d*)", self.headers.get("Range", "").strip())
        first, last = 0, len(data) - 1
        if match:
            first = int(match.group(1))
            last = min(int(match.group(2)), last) if match.group(2) else last
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (first, last, len(data)))
        else:
            self.send_response(200)
        body = data[first:last + 1]
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        with server.lock:
            server.connections.append(self.connection)
            dying = self.command == "GET" and not server.died
            if dying:
                server.died = True
        if self.command == "HEAD":
            return
        if not dying:
            self.wfile.write(body)
            return
        self.wfile.write(body[:len(body) // 2])
        self.wfile.flush()
        server.die()


class DyingServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, payload):
        super().__init__(("127.0.0.1", 0), _Handler)
        self.payload = payload
        self.lock = threading.Lock()
        self.connections = []
        self.died = False
        self.thread = threading.Thread(target=self.serve_forever, daemon=True)
        self.thread.start()

    @property
    def url(self):
        return "http://127.0.0.1:%d/package.exe" % self.server_address[1]

    def die(self):
        # shutdown() waits for the serving loop, which must not be this thread.
        def stop():
            self.shutdown()
            self.server_close()
            with self.lock:
                for connection in self.connections:
                    try:
                        connection.shutdown(socket.SHUT_RDWR)
                    except OSError:
                        pass
        threading.Thread(target=stop, daemon=True).start()
