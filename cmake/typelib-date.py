#!/usr/bin/env python3
"""Dates a type library made by widl at SOURCE_DATE_EPOCH instead of the moment it was made.

widl writes the time of its run twice into the library's custom data, as the text "Created
by WIDL version V at <ctime>" and as the 32-bit number that follows it, and takes no
SOURCE_DATE_EPOCH; this rewrites both in place (same length) with the time given, read as
UTC. Fails when the stamp is not found where widl puts it.
Usage: typelib-date.py LIBRARY EPOCH
"""
import re
import struct
import sys
import time


def pin(data: bytes, epoch: int) -> bytes:
    text = re.search(rb"Created by WIDL version [^\n]* at ([A-Za-z0-9: ]{24})\n", data)
    if not text:
        raise ValueError("no widl creation text")
    made = int(time.mktime(time.strptime(text.group(1).decode(), "%a %b %d %H:%M:%S %Y")))
    # The number is the same clock reading, in the custom data entry right after the text;
    # a second may have passed between the two readings.
    tail_start = text.end()
    tail = data[tail_start:tail_start + 16]
    places = [tail_start + tail.find(struct.pack("<I", t)) for t in (made, made + 1, made - 1)
              if struct.pack("<I", t) in tail]
    if len(places) != 1:
        raise ValueError("no widl creation time after its text")
    stamp = time.strftime("%a %b %e %H:%M:%S %Y", time.gmtime(epoch)).encode()
    out = bytearray(data)
    out[text.start(1):text.end(1)] = stamp
    out[places[0]:places[0] + 4] = struct.pack("<I", epoch)
    return bytes(out)


def main() -> int:
    path, epoch = sys.argv[1], sys.argv[2]
    with open(path, "rb") as f:
        data = f.read()
    try:
        data = pin(data, int(epoch))
    except ValueError as error:
        print(f"typelib-date.py: {path}: {error}", file=sys.stderr)
        return 1
    with open(path, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
