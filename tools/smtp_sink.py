#!/usr/bin/python3
# A mail server on 127.0.0.1 for the demo, the tests and the benchmark: stores every message it takes as
# NNNNNN.eml in FOLDER (the envelope's recipients in NNNNNN.rcpt), answers 550 to the recipients
# named after the folder, counts connections in FOLDER/connections.log, prints its port once it
# listens, and ends by itself after an hour at most. With --discard it takes every message and
# stores nothing (the benchmark's server, which should cost the client as little as possible).
# With --tls it offers STARTTLS with that certificate and key and takes no mail before it; with
# --auth it takes mail only after AUTH with that user and password. For a client that cannot read
# its output or end it (a test program under Wine), --port-file writes the port into that file
# instead (whole, through a temporary name), and --stop-file ends the server once that file is
# there, deleting the port file last.
#   smtp_sink.py [--port-file FILE --stop-file FILE] [--discard] [--tls CERT KEY] [--auth USER PASSWORD]
#                FOLDER [REFUSED-ADDRESS...]
import asyncio
import logging
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult

LIFETIME_SECONDS = 3600


class Store:
    def __init__(self, folder, refused, discard):
        self.folder = folder
        self.discard = discard
        self.refused = set(refused)
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refused:
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        if self.discard:
            return "250 2.0.0 Message accepted for delivery"
        base = os.path.join(self.folder, "%06d" % self.count)
        with open(base + ".rcpt", "w") as f:
            f.write("\n".join(envelope.rcpt_tos) + "\n")
        with open(base + ".tmp", "wb") as f:
            f.write(envelope.original_content)
        os.rename(base + ".tmp", base + ".eml")
        return "250 2.0.0 Message accepted for delivery"


class CountingSMTP(SMTP):
    def connection_made(self, transport):
        with open(os.path.join(self.event_handler.folder, "connections.log"), "a") as f:
            f.write("connect\n")
        super().connection_made(transport)


def main():
    # aiosmtpd logs a note on every log-in and a trace for every refused handshake: the tests
    # look at what the client was told.
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    args = sys.argv[1:]
    port_file = stop_file = None
    if args[:1] == ["--port-file"]:
        port_file, stop_file = args[1], args[3]
        args = args[4:]
    discard = args[:1] == ["--discard"]
    if discard:
        args = args[1:]
    options = {"hostname": "localhost"}
    if args[:1] == ["--tls"]:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args[1], args[2])
        options.update(tls_context=context, require_starttls=True)
        args = args[3:]
    if args[:1] == ["--auth"]:
        login = (args[1].encode(), args[2].encode())
        options.update(auth_required=True, authenticator=lambda server, session, envelope, mechanism, data:
                       AuthResult(success=(data.login, data.password) == login, handled=False))
        args = args[3:]
    handler = Store(args[0], args[1:], discard)
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(
        loop.create_server(lambda: CountingSMTP(handler, loop=loop, **options), "127.0.0.1", 0))
    port = server.sockets[0].getsockname()[1]
    if port_file:
        with open(port_file + ".tmp", "w") as f:
            f.write("%d\n" % port)
        os.rename(port_file + ".tmp", port_file)

        def stop_when_asked():
            if os.path.exists(stop_file):
                server.close()
                loop.stop()
            else:
                loop.call_later(0.1, stop_when_asked)
        stop_when_asked()
    else:
        print(port, flush=True)
    loop.call_later(LIFETIME_SECONDS, loop.stop)
    loop.run_forever()
    if port_file:
        os.remove(port_file)


if __name__ == "__main__":
    main()
