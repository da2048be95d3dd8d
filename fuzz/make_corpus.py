#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed corpora of fuzz_dbf (fuzz/corpus/dbf), fuzz_fpt (fuzz/corpus/fpt), fuzz_jnl
(fuzz/corpus/jnl), fuzz_settings (fuzz/corpus/settings) and fuzz_note (fuzz/corpus/note): a few
tiny valid files of each version and block size, index journals, settings files and replacement
notes. Standard library only; run it again after changing it: python3 fuzz/make_corpus.py
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def dbf(version, fields, records, codepage=0x03, backlink=False, deleted=()):
    """fields: (name, type, width, decimals); records: lists of raw field bytes."""
    header_length = 32 + 32 * len(fields) + 1 + (263 if backlink else 0)
    record_length = 1 + sum(f[2] for f in fields)
    out = struct.pack("<BBBBIHH", version, 26, 12, 8, len(records), header_length, record_length)
    out += bytes(16) + bytes([0x02 if version == 0x30 and any(f[1] == "M" for f in fields) else 0, codepage])
    out += bytes(2)
    offset = 1
    for name, kind, width, decimals in fields:
        out += name.encode().ljust(11, b"\0") + kind.encode() + struct.pack("<I", offset)
        out += bytes([width, decimals]) + bytes(14)
        offset += width
    out += b"\x0D" + (bytes(263) if backlink else b"")
    for i, values in enumerate(records):
        out += b"*" if i in deleted else b" "
        for (name, kind, width, decimals), v in zip(fields, values):
            out += v.ljust(width, b" ")
    return out + b"\x1A"


def fpt(block_size, memos):
    """memos: list of (type, bytes); returns the file, memos from the first usable block on."""
    first = -(-512 // block_size)
    body = b""
    for kind, data in memos:
        memo = struct.pack(">II", kind, len(data)) + data
        memo += bytes(-len(memo) % block_size)
        body += memo
    data = bytes(first * block_size - 512) + body
    next_free = first + len(body) // block_size
    header = struct.pack(">IHH", next_free, 0, block_size) + bytes(504)
    return header + data


def fnv1a(data):
    h = 0xCBF29CE484222325
    for b in data:
        h = ((h ^ b) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def journal(writes, before=1, after=2, length=0, flags=0):
    """writes: (offset, bytes); the harness fills in its index file's inode."""
    out = b"ASIXJRN1" + struct.pack("<IIIQQI", len(writes), before, after, 0, length, flags)
    for offset, data in writes:
        out += struct.pack("<II", offset, len(data)) + data
    return out + struct.pack("<Q", fnv1a(out))


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    d = os.path.join(HERE, "corpus", "dbf")
    plain = [("NAME", "C", 10, 0), ("QTY", "N", 6, 2), ("BORN", "D", 8, 0), ("OK", "L", 1, 0)]
    write(d, "dbase3.dbf", dbf(0x03, plain, [[b"Smith", b" 12.50", b"19700102", b"T"],
                                             [b"Pe\xf1a", b" -3.00", b"", b"?"]], deleted={1}))
    write(d, "dos437.dbf", dbf(0x03, [("NAME", "C", 5, 0)], [[b"\x82\xa4\x81"]], codepage=0x01))
    memo = [("NAME", "C", 10, 0), ("NOTES", "M", 10, 0)]
    # The fuzz_dbf harness writes a .fpt with memos at blocks 8 and 9 and a .dbt with one at 1.
    write(d, "foxpro2.dbf", dbf(0xF5, memo, [[b"a", b"         8"], [b"b", b"         9"], [b"c", b""]]))
    write(d, "foxpro2_backlink.dbf", dbf(0xF5, memo, [[b"a", b"         8"]], backlink=True))
    write(d, "dbase3_memo.dbf", dbf(0x83, memo, [[b"a", b"         1"]]))
    vfp = [("NAME", "C", 10, 0), ("CNT", "I", 4, 0), ("NOTES", "M", 4, 0), ("DBL", "B", 8, 2)]
    write(d, "vfp.dbf", dbf(0x30, vfp, [[b"a", struct.pack("<i", -2), struct.pack("<I", 8), struct.pack("<d", 2.5)],
                                        [b"b", struct.pack("<i", 7), struct.pack("<I", 0), bytes(8)]],
                            backlink=True))

    f = os.path.join(HERE, "corpus", "fpt")
    # The fuzz_fpt harness's table points at blocks 1, 2, 8, 9, 10, 16, 100, 4096 and more.
    write(f, "block64.fpt", fpt(64, [(1, b"memo text"), (1, b""), (1, b"x" * 300), (0, b"\x00\xff")]))
    write(f, "block1.fpt", fpt(1, [(1, b"tiny blocks")]))
    write(f, "block512.fpt", fpt(512, [(1, b"big blocks"), (1, b"second")]))

    j = os.path.join(HERE, "corpus", "jnl")
    # The harness's index has a 1024-byte (compact) or 512-byte header and a few nodes after it.
    write(j, "empty.jnl", journal([]))
    write(j, "node.jnl", journal([(1024, bytes([2, 0, 1, 0]) + b"\xff" * 8 + bytes(500))]))
    write(j, "links.jnl", journal([(1028, b"\x00\x06\x00\x00\xff\xff\xff\xff"), (0, b"\x00\x04" + bytes(510))]))
    write(j, "whole.jnl", journal([(0, bytes(1536))], length=1536, flags=1))
    write(j, "grow.jnl", journal([(4096, bytes(512))], length=8192, flags=1))

    s = os.path.join(HERE, "corpus", "settings")
    write(s, "server.ini", b"\xef\xbb\xbf; shop\r\n[Customers]\r\nbook = postgresql://counter@db:5432/shop?sslmode=require\r\n")
    write(s, "keywords.ini", b"[customers]\nbook=postgresql://c@db?dbname=host%3Ddb%20password%3Dx&%70assword=y\n"
                             b"host=db dbname='my shop' password='a \\' b'\n")
    write(s, "printing.ini", b"[printing]\nbook=whatever\n[customers]\n")

    n = os.path.join(HERE, "corpus", "note")
    # The fuzz_note harness's folder holds the three files and .customers-new-1/ with new ones.
    moves = b"".join(b".customers-new-1/%s\n%s\n" % (f, f) for f in (b"Saveddb.dbf", b"Saveddb.fpt", b"Saved.idx"))
    write(n, "whole.txt", b"arrowsel customer files replacement 1\n" + moves)
    write(n, "outside.txt", b"arrowsel customer files replacement 1\n.customers-new-1/../x\n../Saved.idx\n")


if __name__ == "__main__":
    main()
