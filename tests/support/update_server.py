"""A loopback HTTP server for the update-check tests. Serves the files of
the folder given as its first argument; /stall answers only after three
seconds, /big sends six megabytes, /nocontent is a 204, /private needs
user:p@ss, /redirect?to=URL redirects, the names in RAW and TRICKLED give
bodies cut short, sent a byte at a time or with two lengths, /silent never
answers, /tinychunks sends 1-byte chunks without end, anything else
missing is a 404.
Writes its port and a port where nothing listens to the file named by its
second argument, then serves until that file is removed (a test under Wine
cannot signal it)."""
import base64
import http.server
import os
import socket
import socketserver
import sys
import threading
import time

FOLDER, PORT_FILE = sys.argv[1], sys.argv[2]

STAMP = b"<timestamp>2030-01-01 00:00:00\n"
CLOSE = b"HTTP/1.1 200 OK\r\nConnection: close\r\n"
CHUNKED = CLOSE + b"Transfer-Encoding: chunked\r\n\r\n%x\r\n%s\r\n" % (len(STAMP), STAMP)
# Answers written as they are, the connection closed after them.
RAW = {
    "cut": CLOSE + b"Content-Length: 1000\r\n\r\n" + STAMP + b"x" * 9,
    "chunked": CHUNKED + b"0\r\n\r\n",
    "cutchunked": CHUNKED,
    "twolengths": CLOSE + b"Content-Length: %d\r\nContent-Length: 5\r\n\r\n" % len(STAMP) + STAMP,
}
# Answers sent a byte every 0.3 s from the given offset on.
TRICKLED = {
    "slowheaders": (CLOSE + b"Content-Length: %d\r\n\r\n" % len(STAMP) + STAMP, 0),
    "slowbody": (CLOSE + b"Content-Length: %d\r\n\r\n" % len(STAMP) + STAMP, -len(STAMP)),
}


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def send_body(self, body):
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        name = self.path.lstrip("/")
        if name == "stall":
            time.sleep(3)
            self.send_body(b"<timestamp>2030-01-01 00:00:00\n")
        elif name == "silent":
            time.sleep(60)
        elif name == "tinychunks":
            self.close_connection = True
            try:
                self.wfile.write(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
                while True:
                    self.wfile.write(b"1\r\nx\r\n" * 65536)
            except OSError:
                pass
        elif name == "nocontent":
            self.send_response(204)
            self.end_headers()
        elif name in RAW:
            self.wfile.write(RAW[name])
            self.close_connection = True
        elif name in TRICKLED:
            answer, at = TRICKLED[name]
            self.close_connection = True
            try:
                self.wfile.write(answer[:at])
                for byte in answer[at:]:
                    time.sleep(0.3)
                    self.wfile.write(bytes([byte]))
            except OSError:
                pass
        elif name == "private":
            if self.headers.get("Authorization") == "Basic " + base64.b64encode(b"user:p@ss").decode():
                self.send_body(STAMP)
            else:
                self.send_error(401)
        elif name.startswith("redirect?to="):
            self.send_response(302)
            self.send_header("Location", name[len("redirect?to="):])
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif name == "big":
            self.send_body(b"<timestamp>2030-01-01 00:00:00\n" + (b"x" * 63 + b"\n") * ((6 << 20) // 64) + b"\n")
        elif name and "/" not in name and os.path.isfile(os.path.join(FOLDER, name)):
            with open(os.path.join(FOLDER, name), "rb") as f:
                self.send_body(f.read())
        else:
            self.send_error(404)


class Server(http.server.ThreadingHTTPServer):
    # Looks up no name: a test may make every lookup slow.
    def server_bind(self):
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]

    # Clients that leave early are expected.
    def handle_error(self, request, client_address):
        pass


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def serve_while_named():
    while os.path.exists(PORT_FILE):
        time.sleep(0.1)
    os._exit(0)


server = Server(("127.0.0.1", 0), Handler)
with open(PORT_FILE + ".part", "w") as f:
    f.write("%d %d\n" % (server.server_address[1], closed_port()))
os.rename(PORT_FILE + ".part", PORT_FILE)
threading.Thread(target=serve_while_named, daemon=True).start()
server.serve_forever()
