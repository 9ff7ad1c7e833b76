#!/usr/bin/env python3
"""A small HTTPS file server for the network tests.

Serves the files of one folder on 127.0.0.1 (missing files answer 404), on a
free port that it writes into a file once it listens, and appends one line per
answered request ("METHOD PATH STATUS") to a log file.

It can also misbehave, path by path, as a JSON file of answers read afresh on
every request describes ({"/path": {...}}; see LocalHttpsServer::Answer):
redirect, answer with another status, wait before answering, claim another
Content-Type (also as the first header line) or none, send another status
line, add header lines as they are (also first), claim a longer body than it
sends, send no Content-Length, send the body in chunks, end the connection
part way (with or without a TLS close_notify), fall silent part way, trickle
the body, send interim answers for ever, or send bytes that are no HTTP
answer at all. Beside it listen the same files over
plain HTTP, and a port that takes connections but never answers them.
"""

import argparse
import functools
import http.server
import json
import os
import socket
import ssl
import sys
import threading
import time

# A silent answer holds its connection at most this long (seconds).
HOLD_LIMIT = 120


def write_port(path, port):
    # Written only now, so that a reader never sees a port that does not listen yet.
    with open(path + ".part", "w") as f:
        f.write(str(port))
    os.replace(path + ".part", path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--plain-port-file", required=True)
    parser.add_argument("--mute-port-file", required=True)
    parser.add_argument("--answers", required=True)
    parser.add_argument("--log", required=True)
    args = parser.parse_args()

    log = open(args.log, "a", buffering=1)

    def answer_for(path):
        try:
            with open(args.answers) as f:
                return json.load(f).get(path.split("?")[0])
        except (OSError, ValueError):
            return None

    class Handler(http.server.SimpleHTTPRequestHandler):
        def log_request(self, code="-", size="-"):
            status = code.value if hasattr(code, "value") else code
            log.write("%s %s %s\n" % (self.command, self.path, status))

        def log_message(self, format, *more):
            pass

        def _send_slowly(self, pieces):
            # A tenth of a second between pieces, until the client goes away.
            try:
                for piece in pieces:
                    self.wfile.write(piece)
                    self.wfile.flush()
                    time.sleep(0.1)
            except (OSError, ssl.SSLError):
                pass
            self.close_connection = True

        def do_GET(self):
            answer = answer_for(self.path)

            if answer is None:
                return super().do_GET()

            time.sleep(answer.get("delayMs", 0) / 1000.0)

            if "rawAnswer" in answer:
                self.log_request(0)
                self.wfile.write(answer["rawAnswer"].encode("latin-1"))
                self.wfile.flush()
                self.close_connection = True
                return

            if answer.get("endlessInterim", False):
                self.log_request(102)
                self._send_slowly(b"HTTP/1.1 102 Processing\r\n\r\n" for _ in range(HOLD_LIMIT * 10))
                return

            raw_headers = answer.get("rawHeaders", "").encode("latin-1")

            if "location" in answer:
                self.send_response(answer.get("status", 302))
                self.send_header("Location", answer["location"])
                if "contentType" in answer:
                    self.send_header("Content-Type", answer["contentType"])
                self.send_header("Content-Length", "0")
                self._headers_buffer.append(raw_headers)
                self.end_headers()
                return

            try:
                with open(os.path.join(args.root, self.path.lstrip("/").split("?")[0]), "rb") as f:
                    body = f.read()
            except OSError:
                body = b""

            status = answer.get("status", 200)
            content_type = answer.get("contentType", "application/octet-stream")

            chunked = answer.get("chunked", False)
            if chunked:
                # Chunks are HTTP/1.1's.
                self.protocol_version = "HTTP/1.1"

            self.log_request(status)
            if "statusLine" in answer:
                self._headers_buffer = [(answer["statusLine"] + "\r\n").encode("latin-1")]
            else:
                self.send_response_only(status)

            # Lines as they are: send_header would tidy them.
            if answer.get("rawHeadersFirst", False):
                self._headers_buffer.append(raw_headers)

            if answer.get("contentTypeFirst", False):
                self.send_header("Content-Type", content_type)
                self.send_header("Server", self.version_string())
                self.send_header("Date", self.date_time_string())
            else:
                self.send_header("Server", self.version_string())
                self.send_header("Date", self.date_time_string())
                if not answer.get("omitContentType", False):
                    self.send_header("Content-Type", content_type)

            if chunked:
                self.send_header("Transfer-Encoding", "chunked")
            elif not answer.get("omitLength", False):
                self.send_header("Content-Length", str(answer.get("declaredLength", len(body))))

            if not answer.get("rawHeadersFirst", False):
                self._headers_buffer.append(raw_headers)
            self.end_headers()

            hold_after = answer.get("holdAfterBytes", -1)
            trickle = answer.get("trickleBytesPerSecond", 0)
            cut_after = answer.get("cutAfterBytes", -1)

            if chunked:
                sent = body if cut_after < 0 else body[:cut_after]
                for start in range(0, len(sent), 1000):
                    piece = sent[start:start + 1000]
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
                if cut_after < 0:
                    self.wfile.write(b"0\r\n\r\n")
                self.wfile.flush()
                self.close_connection = True
                return

            if cut_after >= 0:
                self.wfile.write(body[:cut_after])
                self.wfile.flush()
                self.connection.settimeout(5)
                try:
                    if answer.get("closeNotify", False):
                        self.connection.unwrap()
                    # Without its TLS layer: only the TCP end.
                    self.connection.shutdown(socket.SHUT_RDWR)
                except (OSError, ssl.SSLError, ValueError):
                    pass
                self.close_connection = True
                return

            if trickle > 0:
                # A tenth of a second's worth at a time, until the client goes away.
                piece = max(1, trickle // 10)
                self._send_slowly(body[start:start + piece] for start in range(0, len(body), piece))
                return

            self.wfile.write(body if hold_after < 0 else body[:hold_after])
            self.wfile.flush()

            if hold_after >= 0:
                # Silent until the client goes away.
                self.connection.settimeout(HOLD_LIMIT)
                try:
                    self.connection.recv(1)
                except (OSError, ssl.SSLError):
                    pass

            # The body (whatever was sent of it) ends with the connection.
            self.close_connection = True

    handler = functools.partial(Handler, directory=args.root)

    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)

        plain = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)

        # Takes connections into its backlog and never accepts or answers them.
        mute = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        mute.bind(("127.0.0.1", 0))
        mute.listen(64)
    except Exception as error:
        log.write("! could not start: %s\n" % error)
        return 1

    threading.Thread(target=plain.serve_forever, daemon=True).start()
    write_port(args.plain_port_file, plain.server_address[1])
    write_port(args.mute_port_file, mute.getsockname()[1])
    write_port(args.port_file, server.server_address[1])

    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
