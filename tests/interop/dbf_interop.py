# SPDX-License-Identifier: GPL-3.0-or-later
"""Helpers shared by the interoperability scripts: run dbf_tool and read its output."""

import subprocess
import sys


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def expect_equal(actual, expected, what):
    if actual != expected:
        raise Failure(f"{what}: expected {expected!r}, got {actual!r}")


def escape(value):
    return (value.replace("\\", "\\\\").replace("|", "\\|")
            .replace("\r", "\\r").replace("\n", "\\n"))


def split_escaped(line):
    out = [""]
    i = 0
    while i < len(line):
        c = line[i]
        if c == "\\" and i + 1 < len(line):
            n = line[i + 1]
            out[-1] += {"r": "\r", "n": "\n"}.get(n, n)
            i += 2
            continue
        if c == "|":
            out.append("")
        else:
            out[-1] += c
        i += 1
    return out


def run_tool(tool, *args, stdin=None):
    result = subprocess.run([tool, *args], input=stdin, capture_output=True,
                            encoding="utf-8", timeout=60)
    if result.returncode != 0:
        raise Failure(f"dbf_tool {' '.join(args)} failed: {result.stderr.strip()}")
    return result.stdout


def write_table(tool, path, fields, records, codepage="1252"):
    """fields: list of (name, type, width, decimals); records: list of lists of texts."""
    lines = [";".join(f"{n} {t} {w} {d}" for n, t, w, d in fields), f"codepage {codepage}"]
    lines += ["|".join(escape(v) for v in r) for r in records]
    run_tool(tool, "write", str(path), stdin="\n".join(lines) + "\n")


def dump_table(tool, path, index=None):
    """Returns (header dict, field list, records) where each record is (recno, deleted, [texts])."""
    args = ["dump", str(path)] + ([str(index)] if index else [])
    out = run_tool(tool, *args).split("\n")
    header = dict(item.split("=") for item in out[0].split())
    fields = [f.split() for f in out[1].split(";")]
    records = []
    for line in out[2:]:
        if not line:
            continue
        parts = split_escaped(line)
        records.append((int(parts[0]), parts[1] == "*", parts[2:]))
    return header, fields, records


def main(tests):
    failures = 0
    for test in tests:
        try:
            test()
            print(f"ok   {test.__name__}")
        except Exception as e:  # noqa: BLE001 - every failure is reported
            failures += 1
            print(f"FAIL {test.__name__}: {e}")
    sys.exit(1 if failures else 0)
