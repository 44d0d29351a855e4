#!/usr/bin/env python3
"""A web server for the HTTP date tests, on 127.0.0.1 only.

Prints its port on the first line of standard output, serves until it is stopped, and
stops by itself after LIFETIME seconds in any case.
"""
import http.server
import os
import sys
import threading
import time

LIFETIME = 120
RFC1123 = "Sun, 06 Nov 1994 08:49:37 GMT"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, date=None, body=b"ok\n", extra=()):
        """A response with `date` as its Date: the server's own clock when None, none when ''."""
        self.send_response_only(status)
        if date is None:
            self.send_header("Date", self.date_time_string())
        elif date:
            self.send_header("Date", date)
        for name, value in extra:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path
        if path == "/now":
            self.reply(200)
        elif path == "/missing":
            self.reply(404, body=b"no such page\n")
        elif path == "/fixed":
            self.reply(200, date=RFC1123)
        elif path == "/redirect":
            self.reply(302, date="Mon, 01 Jan 2001 00:00:00 GMT",
                       extra=[("Location", "/redirect-2")])
        elif path == "/redirect-2":
            self.reply(301, date="Tue, 02 Jan 2001 00:00:00 GMT", extra=[("Location", "/fixed")])
        elif path == "/loop":
            self.reply(302, extra=[("Location", "/loop")])
        elif path == "/no-date":
            self.reply(200, date="")
        elif path == "/date-255":
            self.reply(200, date=RFC1123 + "X" * (255 - len(RFC1123)))
        elif path == "/date-256":
            self.reply(200, date=RFC1123 + "X" * (256 - len(RFC1123)))
        elif path == "/rfc850":
            self.reply(200, date="Sunday, 06-Nov-94 08:49:37 GMT")
        elif path == "/lower-case":
            self.reply(200, date="Sun, 06 nov 1994 08:49:37 GMT")
        elif path == "/agent":
            # The Date only for the agent name the program has always sent.
            agent = self.headers.get("User-Agent", "")
            self.reply(200, date=RFC1123 if agent == "Microsoft Internet Explorer" else "")
        elif path == "/via-proxy":
            # The Date only for a request that came through a proxy.
            self.reply(200, date=RFC1123 if self.headers.get("Via") else "")
        elif path == "/slow":
            time.sleep(3)
            self.reply(200)
        elif path == "/endless":
            # Headers at once, then a body that takes far longer than any test waits.
            self.send_response_only(200)
            self.send_header("Date", RFC1123)
            self.send_header("Content-Length", str(1 << 30))
            self.end_headers()
            try:
                for _ in range(100):
                    self.wfile.write(b"." * 65536)
                    self.wfile.flush()
                    time.sleep(0.1)
            except OSError:
                pass
            self.close_connection = True
        else:
            self.reply(400, body=b"unknown path\n")


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Timer(LIFETIME, lambda: os._exit(0)).start()
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
