"""A loopback HTTP server for the update-check tests. Serves the files of
the folder given as its first argument; /stall answers only after three
seconds, /big sends six megabytes, /nocontent is a 204, /to?ADDRESS
redirects to the address, anything else missing is a 404. Writes
its port and a port where nothing listens to the file named by its second
argument, then serves until that file is removed (a test under Wine cannot
signal it)."""
import http.server
import os
import socket
import sys
import threading
import time

FOLDER, PORT_FILE = sys.argv[1], sys.argv[2]


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
        elif name == "nocontent":
            self.send_response(204)
            self.end_headers()
        elif name.startswith("to?"):
            self.send_response(302)
            self.send_header("Location", name[3:])
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif name == "big":
            self.send_body(b"<timestamp>2030-01-01 00:00:00\n" + (b"x" * 63 + b"\n") * ((6 << 20) // 64) + b"\n")
        elif name and "/" not in name and os.path.isfile(os.path.join(FOLDER, name)):
            with open(os.path.join(FOLDER, name), "rb") as f:
                self.send_body(f.read())
        else:
            self.send_error(404)


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def serve_while_named():
    while os.path.exists(PORT_FILE):
        time.sleep(0.1)
    os._exit(0)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(PORT_FILE + ".part", "w") as f:
    f.write("%d %d\n" % (server.server_address[1], closed_port()))
os.rename(PORT_FILE + ".part", PORT_FILE)
threading.Thread(target=serve_while_named, daemon=True).start()
server.serve_forever()
