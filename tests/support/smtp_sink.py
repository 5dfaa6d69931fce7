#!/usr/bin/python3
# A mail server on 127.0.0.1 for the tests and benchmarks: stores every message it takes as
# NNNNNN.eml in FOLDER (the envelope's recipients in NNNNNN.rcpt), answers 550 to the recipients
# named after the folder, counts connections in FOLDER/connections.log, prints its port once it
# listens, and ends by itself after an hour at most. With --discard it takes every message and
# stores nothing (the benchmark's server, which should cost the client as little as possible).
#   smtp_sink.py [--discard] FOLDER [REFUSED-ADDRESS...]
import asyncio
import os
import sys

from aiosmtpd.smtp import SMTP

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
    args = sys.argv[1:]
    discard = args[:1] == ["--discard"]
    if discard:
        args = args[1:]
    handler = Store(args[0], args[1:], discard)
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(
        loop.create_server(lambda: CountingSMTP(handler, hostname="localhost", loop=loop), "127.0.0.1", 0))
    print(server.sockets[0].getsockname()[1], flush=True)
    loop.call_later(LIFETIME_SECONDS, loop.stop)
    loop.run_forever()


if __name__ == "__main__":
    main()
