# SPDX-License-Identifier: GPL-3.0-or-later
"""Tables written by the engine are read correctly by Debian's python3-dbf and python3-dbfread,
and by pgdbf and Perl's dbf_dump (libdbd-xbase-perl).

Usage: /usr/bin/python3 engine_to_python.py PATH/TO/dbf_tool
"""

import datetime
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import dbf  # noqa: E402  python3-dbf
import dbfread  # noqa: E402  python3-dbfread
from dbf_interop import check, dump_table, expect_equal, main, write_table  # noqa: E402

TOOL = sys.argv[1]

FOXPRO_FIELDS = [("NAME", "C", 20, 0), ("QTY", "N", 8, 2), ("BORN", "D", 8, 0),
                 ("OK", "L", 1, 0), ("NOTES", "M", 10, 0)]
FOXPRO_RECORDS = [
    ["Müller, \"Hans\"", "12.5", "19700102", "T", "a memo with é ñ ü\r\nand a second line"],
    ["Peña | x", "-3", "", "F", ""],
    ["plain", "0", "20261231", "", "x" * 1000],
]
EXPECTED = [
    ("Müller, \"Hans\"", 12.5, datetime.date(1970, 1, 2), True, "a memo with é ñ ü\r\nand a second line"),
    ("Peña | x", -3.0, None, False, ""),
    ("plain", 0.0, datetime.date(2026, 12, 31), None, "x" * 1000),
]


def python_dbf_rows(path):
    table = dbf.Table(str(path))
    table.open(dbf.READ_ONLY)
    try:
        return [tuple(record) for record in table]
    finally:
        table.close()


def dbfread_rows(path, encoding="cp1252"):
    return [dict(r) for r in dbfread.DBF(str(path), encoding=encoding, char_decode_errors="strict",
                                         load=True)]


def foxpro_with_memo():
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "saved.dbf")
        write_table(TOOL, path, FOXPRO_FIELDS, FOXPRO_RECORDS)
        with open(path, "rb") as f:
            head = f.read(32)
        expect_equal(head[0], 0xF5, "version byte")
        expect_equal(head[29], 0x03, "code page mark")
        check(os.path.exists(os.path.join(d, "saved.fpt")), "no .fpt written")

        rows = python_dbf_rows(path)
        expect_equal(len(rows), 3, "python3-dbf record count")
        for row, (name, qty, born, ok, notes) in zip(rows, EXPECTED):
            expect_equal(row[0].rstrip(), name, "python3-dbf NAME")
            expect_equal(float(row[1]), qty, "python3-dbf QTY")
            expect_equal(row[2] if row[2] else None, born, "python3-dbf BORN")
            if ok is not None:
                expect_equal(bool(row[3]), ok, "python3-dbf OK")
            expect_equal(row[4], notes, "python3-dbf NOTES")

        rows = dbfread_rows(path)
        expect_equal(len(rows), 3, "dbfread record count")
        for row, (name, qty, born, ok, notes) in zip(rows, EXPECTED):
            expect_equal(row["NAME"], name, "dbfread NAME")
            expect_equal(float(row["QTY"]), qty, "dbfread QTY")
            expect_equal(row["BORN"], born, "dbfread BORN")
            expect_equal(row["OK"], ok, "dbfread OK")
            expect_equal(row["NOTES"] or "", notes, "dbfread NOTES")


def plain_dbase3_in_code_page_850():
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "plain.dbf")
        write_table(TOOL, path, [("NAME", "C", 10, 0), ("N", "N", 5, 0)],
                    [["café", "42"], ["ÄÖÜß", "-1"]], codepage="850")
        with open(path, "rb") as f:
            head = f.read(32)
        expect_equal(head[0], 0x03, "version byte")
        expect_equal(head[29], 0x02, "code page mark")
        rows = dbfread_rows(path, encoding="cp850")
        expect_equal([(r["NAME"], r["N"]) for r in rows], [("café", 42), ("ÄÖÜß", -1)], "dbfread rows")
        table = dbf.Table(path, codepage="cp850")
        table.open(dbf.READ_ONLY)
        try:
            expect_equal([(r[0].rstrip(), int(r[1])) for r in table], [("café", 42), ("ÄÖÜß", -1)],
                         "python3-dbf rows")
        finally:
            table.close()


def visual_foxpro_with_integer():
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "vfp.dbf")
        write_table(TOOL, path, [("NAME", "C", 10, 0), ("CNT", "I", 4, 0), ("NOTES", "M", 4, 0)],
                    [["one", "-2", "vfp memo é"], ["two", "2147483647", ""]])
        with open(path, "rb") as f:
            head = f.read(32)
        expect_equal(head[0], 0x30, "version byte")
        rows = python_dbf_rows(path)
        expect_equal([(r[0].rstrip(), r[1], r[2]) for r in rows],
                     [("one", -2, "vfp memo é"), ("two", 2147483647, "")], "python3-dbf rows")
        rows = dbfread_rows(path)
        expect_equal([(r["NAME"], r["CNT"], r["NOTES"] or "") for r in rows],
                     [("one", -2, "vfp memo é"), ("two", 2147483647, "")], "dbfread rows")


def engine_and_python_dbf_append_to_one_table():
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "mixed.dbf")
        write_table(TOOL, path, FOXPRO_FIELDS, FOXPRO_RECORDS[:1])
        table = dbf.Table(path)
        table.open(dbf.READ_WRITE)
        table.append(("from python", 7.25, datetime.date(2000, 2, 29), True, "python memo"))
        table.close()
        _, _, records = dump_table(TOOL, path)
        expect_equal(len(records), 2, "engine record count")
        expect_equal(records[0][2][4], FOXPRO_RECORDS[0][4], "engine memo 1")
        expect_equal(records[1][2], ["from python".ljust(20), "7.25", "20000229", "T", "python memo"],
                     "engine record 2")


def pgdbf_and_perl_read_the_engine_table():
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "saved.dbf")
        write_table(TOOL, path, FOXPRO_FIELDS, FOXPRO_RECORDS[:2])
        out = subprocess.run(["pgdbf", "-m", os.path.join(d, "saved.fpt"), path], capture_output=True,
                             check=True, timeout=60).stdout.decode("cp1252")
        rows = out.split("\\COPY saved FROM STDIN\n")[1].split("\n\\.")[0].split("\n")
        expect_equal(rows[0].split("\t"), ["Müller, \"Hans\"", "12.50", "1970-01-02", "t",
                                           "a memo with é ñ ü\\r\\nand a second line"], "pgdbf row 1")
        expect_equal(rows[1].split("\t")[:2], ["Peña | x", "-3.00"], "pgdbf row 2")
        out = subprocess.run(["dbf_dump", "--fs", "\t", path], capture_output=True, check=True,
                             timeout=60).stdout.decode("cp1252")
        first = out.split("\n")[0].split("\t")
        expect_equal(first[:3], ["Müller, \"Hans\"", "12.5", "19700102"], "dbf_dump row 1")


if __name__ == "__main__":
    main([foxpro_with_memo, plain_dbase3_in_code_page_850, visual_foxpro_with_integer,
          engine_and_python_dbf_append_to_one_table, pgdbf_and_perl_read_the_engine_table])
