#!/usr/bin/python3
"""Reads what smtpserver.py received and prints it as one JSON array, each
message parsed by Python's own mail parser: decoded headers, body text and
attachments."""
import base64
import email
import email.policy
import json
import sys

out = []
with open(sys.argv[1], encoding='utf-8') as f:
    for line in f:
        rec = json.loads(line)
        raw = base64.b64decode(rec['data'])
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        body = msg.get_body(preferencelist=('plain',))
        atts = []
        for part in msg.iter_attachments():
            atts.append({'name': part.get_filename(),
                         'type': part.get_content_type(),
                         'data': base64.b64encode(part.get_payload(decode=True)).decode()})
        def addrs(name):
            h = msg.get(name)
            return [{'name': a.display_name, 'address': a.addr_spec} for a in h.addresses] if h else []
        out.append({
            'from': rec['from'], 'rcpt': rec['rcpt'], 'auth': rec['auth'], 'tls': rec['tls'],
            'subject': str(msg.get('Subject', '')),
            'headerFrom': addrs('From'), 'to': addrs('To'), 'cc': addrs('Cc'),
            'hasBcc': 'Bcc' in msg, 'date': str(msg.get('Date', '')), 'messageId': str(msg.get('Message-ID', '')),
            'defects': [str(d) for part in msg.walk() for d in part.defects],
            'body': body.get_content() if body is not None else None,
            'attachments': atts,
            'rawAscii': all(b < 128 for b in raw),
        })
print(json.dumps(out, ensure_ascii=False))
