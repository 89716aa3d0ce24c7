"""A loopback HTTP server for the update-check tests. Serves the files of
the folder given as its argument; /stall answers only after three seconds,
/big sends six megabytes, anything else missing is a 404. Prints its port
on the first line of its output, then serves until it is stopped."""
import http.server
import os
import sys
import time

FOLDER = sys.argv[1]


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
        elif name == "big":
            self.send_body(b"<timestamp>2030-01-01 00:00:00\n" + (b"x" * 63 + b"\n") * ((6 << 20) // 64) + b"\n")
        elif name and "/" not in name and os.path.isfile(os.path.join(FOLDER, name)):
            with open(os.path.join(FOLDER, name), "rb") as f:
                self.send_body(f.read())
        else:
            self.send_error(404)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
