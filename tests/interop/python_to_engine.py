# SPDX-License-Identifier: GPL-3.0-or-later
"""The engine reads what Debian's python3-dbf writes: a Visual FoxPro table with a memo and an
integer field in code page 1252, a FoxPro 2.x table (with python3-dbf's backlink) and a dBASE III
table with a .dbt memo; and it appends to them so that python3-dbf still reads them.

Usage: /usr/bin/python3 python_to_engine.py PATH/TO/dbf_tool
"""

import datetime
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import dbf  # noqa: E402  python3-dbf
from dbf_interop import dump_table, escape, expect_equal, main, run_tool  # noqa: E402

TOOL = sys.argv[1]


def visual_foxpro_table_with_memo_and_integer():
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "Customers.dbf")
        table = dbf.Table(path, "NAME C(12); QTY N(6,2); BORN D; OK L; CNT I; NOTES M",
                          dbf_type="vfp", codepage="cp1252")
        table.open(dbf.READ_WRITE)
        table.append(("Müller", 12.5, datetime.date(1970, 1, 2), True, -2, "memo with é\r\nsecond line"))
        table.append(("Peña, \"P\"", -3, None, False, 123456789, ""))
        table.append(("long", 0, datetime.date(2026, 12, 8), None, 0, "€" + "y" * 2000))
        dbf.delete(table[1])
        table.close()

        header, fields, records = dump_table(TOOL, os.path.join(d, "CUSTOMERS.DBF"))
        expect_equal(header["version"], "0x30", "version")
        expect_equal(header["codepage"], "1252", "code page")
        expect_equal([f[:2] for f in fields], [["NAME", "C"], ["QTY", "N"], ["BORN", "D"], ["OK", "L"],
                                               ["CNT", "I"], ["NOTES", "M"]], "fields")
        expect_equal(len(records), 3, "record count (the deleted record counts)")
        expect_equal(records[0], (1, False, ["Müller".ljust(12), "12.50", "19700102", "T", "-2",
                                             "memo with é\r\nsecond line"]), "record 1")
        expect_equal(records[1], (2, True, ["Peña, \"P\"".ljust(12), "-3.00", "", "F", "123456789", ""]),
                     "record 2")
        expect_equal(records[2][2][0], "long".ljust(12), "record 3 name")
        expect_equal(records[2][2][5], "€" + "y" * 2000, "record 3 memo")

        out = os.path.join(d, "custdb.txt")
        run_tool(TOOL, "export", path, out)
        with open(out, "rb") as f:
            text = f.read().decode("cp1252")  # the table's own code page
        expect_equal(text.split("\r\n")[0], "\"Müller\",12.50,19700102,T,-2,\"memo with é", "export line 1")
        expect_equal(text.split("\r\n")[2], "\"Peña, \"\"P\"\"\",-3.00,,F,123456789,\"\"", "export line 2")

        # The engine appends; python3-dbf reads the engine's record and memo, and its own.
        new = ["Zoë", "1.25", "20000229", "F", "-99", "engine memo ü " + "z" * 300]
        run_tool(TOOL, "append", path, stdin="|".join(escape(v) for v in new) + "\n")
        table = dbf.Table(path)
        table.open(dbf.READ_ONLY)
        try:
            rows = [tuple(r) for r in table]
        finally:
            table.close()
        expect_equal(len(rows), 4, "python3-dbf record count")
        expect_equal(rows[3][0].rstrip(), "Zoë", "python3-dbf NAME of the engine's record")
        expect_equal(rows[3][2], datetime.date(2000, 2, 29), "python3-dbf BORN of the engine's record")
        expect_equal(rows[3][4], -99, "python3-dbf CNT of the engine's record")
        expect_equal(rows[3][5], "engine memo ü " + "z" * 300, "python3-dbf NOTES of the engine's record")
        expect_equal(rows[2][5], "€" + "y" * 2000, "python3-dbf NOTES of its own record")


def foxpro2_table_with_backlink():
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "fp.dbf")
        table = dbf.Table(path, "NAME C(10); NOTES M", dbf_type="fp", codepage="cp437")
        table.open(dbf.READ_WRITE)
        table.append(("Göran", "fp memo ñ"))
        table.append(("empty", ""))
        table.close()
        header, _, records = dump_table(TOOL, path)
        expect_equal(header["version"], "0xF5", "version")
        expect_equal(header["codepage"], "437", "code page")
        expect_equal([r[2] for r in records], [["Göran".ljust(10), "fp memo ñ"], ["empty".ljust(10), ""]],
                     "records")


def dbase3_table_with_dbt_memo():
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "db3.dbf")
        table = dbf.Table(path, "NAME C(10); NOTES M", dbf_type="db3", codepage="cp1252")
        table.open(dbf.READ_WRITE)
        table.append(("abc", "db3 memo"))
        table.append(("def", "x" * 700))
        table.close()
        header, _, records = dump_table(TOOL, path)
        expect_equal(header["version"], "0x83", "version")
        expect_equal([r[2] for r in records], [["abc".ljust(10), "db3 memo"], ["def".ljust(10), "x" * 700]],
                     "records")


if __name__ == "__main__":
    main([visual_foxpro_table_with_memo_and_integer, foxpro2_table_with_backlink, dbase3_table_with_dbt_memo])
