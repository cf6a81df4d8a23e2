# A print server that answers every request but a job's document: it lists one
# printer "lab" (the default, taking PDF on 50 x 30 mm labels), creates jobs,
# then reads the document's upload and never confirms it. The client has sent
# all it had and waits for an answer that does not come.
# Usage: unconfirmed_ipp.py SOCKET
import socket
import struct
import sys
import threading

SEND_DOCUMENT, CREATE_JOB, GET_PRINTER_ATTRIBUTES = 0x0006, 0x0005, 0x000B
CUPS_GET_DEFAULT, CUPS_GET_PRINTERS = 0x4001, 0x4002


def attr(tag, name, value):
    name = name.encode()
    value = value if isinstance(value, bytes) else value.encode()
    return struct.pack(">BH", tag, len(name)) + name + struct.pack(">H", len(value)) + value


PRINTER = [attr(0x42, "printer-name", "lab"),
           attr(0x45, "printer-uri-supported", "ipp://localhost/printers/lab"),
           attr(0x21, "printer-type", struct.pack(">i", 0)),
           attr(0x23, "printer-state", struct.pack(">i", 3))]
CAPABILITIES = PRINTER + [attr(0x49, "document-format-supported", "application/pdf"),
                          attr(0x44, "media-supported", "oe_50x30mm_50x30mm"),
                          attr(0x44, "media-default", "oe_50x30mm_50x30mm")]
ANSWERS = {CUPS_GET_PRINTERS: [(0x04, PRINTER)], CUPS_GET_DEFAULT: [(0x04, PRINTER)],
           GET_PRINTER_ATTRIBUTES: [(0x04, CAPABILITIES)],
           CREATE_JOB: [(0x02, [attr(0x21, "job-id", struct.pack(">i", 7))])]}


def answer(request_id, groups):
    body = struct.pack(">BBHI", 2, 0, 0, request_id) + b"\x01"
    body += attr(0x47, "attributes-charset", "utf-8") + attr(0x48, "attributes-natural-language", "en")
    for tag, attrs in groups:
        body += bytes([tag]) + b"".join(attrs)
    body += b"\x03"
    return b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: %d\r\n\r\n" % len(body) + body


def read_chunk(f):
    size = int(f.readline().split(b";")[0], 16)
    data = f.read(size)
    f.readline()
    return data


def serve(conn):
    f = conn.makefile("rb")
    while f.readline():  # the request line
        headers = {}
        for line in iter(f.readline, b""):
            if line in (b"\r\n", b"\n"):
                break
            name, _, value = line.decode().partition(":")
            headers[name.strip().lower()] = value.strip()
        if headers.get("expect", "").lower() == "100-continue":
            conn.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
        chunked = headers.get("transfer-encoding", "").lower() == "chunked"
        body = read_chunk(f) if chunked else f.read(int(headers.get("content-length", "0")))
        operation, request_id = struct.unpack(">HI", body[2:8])
        if operation == SEND_DOCUMENT:
            while f.read(65536):
                pass
            return
        while chunked and read_chunk(f):
            pass
        conn.sendall(answer(request_id, ANSWERS.get(operation, [])))


server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(sys.argv[1])
server.listen(64)
while True:
    threading.Thread(target=serve, args=(server.accept()[0],), daemon=True).start()
