#!/usr/bin/env python3
"""A small HTTPS file server for the network tests.

Serves the files of one folder on 127.0.0.1 (missing files answer 404), on a
free port that it writes into a file once it listens, and appends one line per
answered request ("METHOD PATH STATUS") to a log file.
"""

import argparse
import functools
import http.server
import os
import ssl
import sys


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    args = parser.parse_args()

    log = open(args.log, "a", buffering=1)

    class Handler(http.server.SimpleHTTPRequestHandler):
        def log_request(self, code="-", size="-"):
            status = code.value if hasattr(code, "value") else code
            log.write("%s %s %s\n" % (self.command, self.path, status))

        def log_message(self, format, *more):
            pass

    handler = functools.partial(Handler, directory=args.root)

    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    except Exception as error:
        log.write("! could not start: %s\n" % error)
        return 1

    # Written only now, so that a reader never sees a port that does not listen yet.
    with open(args.port_file + ".part", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(args.port_file + ".part", args.port_file)

    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
