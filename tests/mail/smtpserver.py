#!/usr/bin/python3
"""A real SMTP server on loopback for the mail tests.

Prints "PORT <n>" once it listens, then writes one JSON line per message it
accepted to --out: the envelope sender, the envelope recipients and the
message bytes (base64). Ends when its standard input closes.
"""
import argparse
import asyncio
import base64
import json
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Sink:
    def __init__(self, out, refused):
        self.out = out
        self.refused = {a.lower() for a in refused}

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.refused:
            return '550 5.1.1 mailbox unavailable'
        envelope.rcpt_tos.append(address)
        return '250 OK'

    async def handle_DATA(self, server, session, envelope):
        record = {
            'from': envelope.mail_from,
            'rcpt': envelope.rcpt_tos,
            'auth': session.authenticated,
            'tls': session.ssl is not None or server.transport.get_extra_info('sslcontext') is not None,
            'data': base64.b64encode(envelope.original_content or envelope.content).decode(),
        }
        with open(self.out, 'a', encoding='utf-8') as f:
            f.write(json.dumps(record) + '\n')
        return '250 Message accepted'


class NoEhloSMTP(SMTP):
    async def smtp_EHLO(self, hostname):
        await self.push('502 5.5.1 EHLO not implemented')


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--out', required=True)
    p.add_argument('--user')
    p.add_argument('--password')
    p.add_argument('--mechanisms', default='LOGIN,PLAIN', help='AUTH mechanisms offered')
    p.add_argument('--cert')
    p.add_argument('--key')
    p.add_argument('--implicit-tls', action='store_true', help='TLS from the first byte')
    p.add_argument('--refuse', action='append', default=[])
    p.add_argument('--no-ehlo', action='store_true')
    a = p.parse_args()

    ctx = None
    if a.cert:
        ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        ctx.load_cert_chain(a.cert, a.key)

    def authenticator(server, session, envelope, mechanism, auth_data):
        # Every login the server was sent, with whether it came over TLS:
        # what a listener on the wire would have read.
        with open(a.out + '.logins', 'a', encoding='utf-8') as f:
            login = auth_data.login.decode() if isinstance(auth_data, LoginPassword) else ''
            f.write(json.dumps({'login': login, 'tls': session.ssl is not None or a.implicit_tls}) + '\n')
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == a.user and auth_data.password.decode() == a.password)
        return AuthResult(success=ok, handled=False)

    offered = {m.strip().upper() for m in a.mechanisms.split(',') if m.strip()}
    kwargs = {}
    if a.user:
        kwargs.update(authenticator=authenticator,
                      auth_require_tls=ctx is not None and not a.implicit_tls,
                      auth_exclude_mechanism=[m for m in ('LOGIN', 'PLAIN') if m not in offered])
    else:
        # AUTH is announced only after STARTTLS, which a server without a
        # certificate never offers: no AUTH at all.
        kwargs.update(auth_require_tls=True)
    if ctx is not None and not a.implicit_tls:
        kwargs['tls_context'] = ctx

    handler = Sink(a.out, a.refuse)
    cls = NoEhloSMTP if a.no_ehlo else SMTP

    async def serve():
        loop = asyncio.get_running_loop()
        server = await loop.create_server(lambda: cls(handler, hostname='mail.test', **kwargs),
                                          '127.0.0.1', 0, ssl=ctx if a.implicit_tls else None)
        print('PORT', server.sockets[0].getsockname()[1], flush=True)
        await loop.run_in_executor(None, sys.stdin.read)
        server.close()

    asyncio.run(serve())


if __name__ == '__main__':
    main()
