#!/usr/bin/python3
"""The vendor's update service as the tests see it: IProcessor over SOAP 1.1,
built on Spyne, on 127.0.0.1 and a free port, which it prints as "PORT <n>".

It answers from the files of the folder given as its one argument and writes
every request it took into that folder's "requests.jsonl", one JSON object a
line (operation, SOAP action, content type, the argument as sent, the body).

doGetFileData: the argument is percent-decoded and the file name after the
last separator of "Folder=" picked; the reply is the text of "<name>.reply"
(else "default.reply", else empty), sent as it stands. "<name>.fault" makes a
SOAP fault whose text is that file's.
doSendEmail: the text of "sendemail.reply", else "Mail%20sent".
A request whose argument names a file with a "<name>.envelope" in the folder
is answered with that file's bytes as they stand, in place of the envelope
Spyne would make: a service that misbehaves.
"""
import json
import os
import re
import sys
import urllib.parse
from wsgiref.simple_server import WSGIRequestHandler, make_server

from spyne import Application, Fault, ServiceBase, Unicode, rpc
from spyne.protocol.soap import Soap11
from spyne.server.wsgi import WsgiApplication

NAMESPACE = "urn:ProcessorIntf-IProcessor"
folder = sys.argv[1]


def read(name, default=None):
    path = os.path.join(folder, name)
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            return f.read()
    return default


# Spyne names the WSDL service after this class and its port after the
# application, as the client looks them up.
class IProcessorservice(ServiceBase):
    @rpc(Unicode, _returns=Unicode)
    def doGetFileData(ctx, Value):
        fields = urllib.parse.unquote(Value or "")
        wanted = fields.split("&Folder=", 1)[-1].replace("/", "\\").rsplit("\\", 1)[-1]
        fault = read(wanted + ".fault")
        if fault is not None:
            raise Fault(faultcode="Server", faultstring=fault)
        return read(wanted + ".reply", read("default.reply", ""))

    @rpc(Unicode, _returns=Unicode)
    def doSendEmail(ctx, Value):
        return read("sendemail.reply", "Mail%20sent")


application = WsgiApplication(Application(
    [IProcessorservice], tns=NAMESPACE, name="IProcessorPort",
    in_protocol=Soap11(), out_protocol=Soap11()))


def recording(environ, start_response):
    length = int(environ.get("CONTENT_LENGTH") or 0)
    body = environ["wsgi.input"].read(length) if length else b""
    if environ.get("REQUEST_METHOD") == "POST":
        record = {
            "soapaction": environ.get("HTTP_SOAPACTION", ""),
            "contenttype": environ.get("CONTENT_TYPE", ""),
            "path": environ.get("PATH_INFO", ""),
            "body": body.decode("utf-8", "replace"),
        }
        with open(os.path.join(folder, "requests.jsonl"), "a", encoding="utf-8") as f:
            f.write(json.dumps(record) + "\n")
    envelope = raw_envelope(body)
    if envelope is not None:
        start_response("200 OK", [("Content-Type", "text/xml; charset=utf-8"),
                                  ("Content-Length", str(len(envelope)))])
        return [envelope]
    import io
    environ["wsgi.input"] = io.BytesIO(body)
    return application(environ, start_response)


def raw_envelope(body):
    match = re.search(rb"<Value[^>]*>([^<]*)</Value>", body)
    if not match:
        return None
    fields = urllib.parse.unquote(match.group(1).decode("utf-8", "replace"))
    wanted = fields.split("&Folder=", 1)[-1].replace("/", "\\").rsplit("\\", 1)[-1]
    path = os.path.join(folder, wanted + ".envelope")
    if not wanted or not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


class QuietHandler(WSGIRequestHandler):
    def log_message(self, *args):
        pass


server = make_server("127.0.0.1", 0, recording, handler_class=QuietHandler)
print("PORT", server.server_port, flush=True)
server.serve_forever()
