# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a customer book grown by 1,000 saves with Debian's Python xBase readers, and the same book
after `arrowsel-cli customers reindex`: each reader must give the records the saves stored, the
same in both. dbfread reads records and memo comments; python3-dbf reads records (it has no reader
for .idx files, so the name order is not its to check). Where Perl's XBase module is there, its
compact page decoder also lists Saved.idx of both books, which must give one name order.
A missing reader skips the test (exit 77) after the others ran.
Usage: book_readers.py WRITER CLI OUTDIR CIDX_DUMP"""

import json
import shutil
import subprocess
import sys
import time
from pathlib import Path

SKIP = 77


def normal(kind, value):
    """A field's value as the writer's listing gives it."""
    if value is None:
        return ""
    if kind == "C":
        return str(value).rstrip(" ")
    if kind == "D":
        return value.strftime("%Y%m%d") if value else ""
    if kind == "N":
        return str(int(value))
    return str(value)


def read_dbfread(folder):
    import dbfread

    table = dbfread.DBF(str(folder / "Saveddb.dbf"), encoding="cp1252", char_decode_errors="strict")
    kinds = {f.name: f.type for f in table.fields}
    return [{k: normal(kinds[k], v) for k, v in rec.items()} for rec in table]


def read_dbf(folder):
    import dbf

    table = dbf.Table(str(folder / "Saveddb.dbf"), codepage="cp1252")
    table.open(mode=dbf.READ_ONLY)
    try:
        names = table.field_names
        kinds = {n: chr(table.field_info(n)[0]) for n in names}
        out = []
        for rec in table:
            if dbf.is_deleted(rec):
                continue
            out.append({n.upper(): normal(kinds[n], rec[n]) for n in names})
        return out
    finally:
        table.close()


def first_difference(got, want):
    if len(got) != len(want):
        return f"{len(got)} records read, {len(want)} saved"
    for i, (g, w) in enumerate(zip(got, want)):
        for field in w:
            if g.get(field) != w[field]:
                return f"record {i + 1} {field}: read {g.get(field)!r:.80}, saved {w[field]!r:.80}"
    return None


def idx_order(cidx_dump, folder):
    listing = subprocess.run(["perl", cidx_dump, str(folder / "Saved.idx"), "char"], check=True,
                             capture_output=True).stdout
    return listing.decode("cp1252").splitlines()[1:]


def main():
    writer, cli, outdir, cidx_dump = sys.argv[1:5]
    out = Path(outdir)
    shutil.rmtree(out, ignore_errors=True)
    out.mkdir(parents=True)
    start = time.monotonic()
    subprocess.run([writer, str(out)], check=True)
    saved = time.monotonic()
    rebuilt = out / "rebuilt"
    shutil.copytree(out / "saves", rebuilt)
    subprocess.run([cli, "customers", "reindex", "--book", str(rebuilt)], check=True)
    print(f"1000 saves {saved - start:.2f} s, reindex {time.monotonic() - saved:.2f} s")
    want = json.loads((out / "expected.json").read_text(encoding="utf-8"))

    failed, missing = [], []
    readers = [("dbfread", "dbfread", read_dbfread), ("python3-dbf", "dbf", read_dbf)]
    for label, module, read in readers:
        try:
            __import__(module)
        except ImportError:
            missing.append(f"{label} missing (Debian package {label if '-' in label else 'python3-' + label})")
            continue
        began = time.monotonic()
        for folder in (out / "saves", rebuilt):
            problem = first_difference(read(folder), want)
            if problem:
                failed.append(f"{label} on {folder.name}: {problem}")
        print(f"{label}: both books read in {time.monotonic() - began:.2f} s")

    have_perl = subprocess.run(["perl", "-MXBase::Index", "-e", "1"], capture_output=True).returncode == 0
    if have_perl:
        grown, fresh = idx_order(cidx_dump, out / "saves"), idx_order(cidx_dump, rebuilt)
        if len(fresh) != len(want) or grown != fresh:
            diff = next((i for i, (a, b) in enumerate(zip(grown, fresh)) if a != b), min(len(grown), len(fresh)))
            failed.append(f"Saved.idx name order: {len(grown)} keys grown, {len(fresh)} rebuilt, "
                          f"first difference at key {diff + 1}")
        print(f"Saved.idx name order: {len(grown)} keys compared")
    else:
        print("Perl XBase missing (libdbd-xbase-perl): name order of Saved.idx not compared")

    for f in failed:
        print("FAIL", f)
    if failed:
        return 1
    print(f"{len(want)} records: no difference found")
    for m in missing:
        print("SKIP", m)
    return SKIP if missing else 0


if __name__ == "__main__":
    sys.exit(main())
