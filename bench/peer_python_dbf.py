#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The peer figures for the table benchmark: Debian's python3-dbf doing the same work on the
same 100,000-record table (sequential read, building its in-memory index of names, lookups in it,
export to comma-delimited text). Usage: peer_python_dbf.py TABLE.dbf OUT.txt"""
import random
import sys
import time

import dbf

path, out = sys.argv[1], sys.argv[2]
table = dbf.Table(path)
table.open(dbf.READ_ONLY)

start = time.perf_counter()
n = 0
for record in table:
    _ = record.name
    n += 1
read_s = time.perf_counter() - start
print(f"read: {n} records in {read_s:.3f} s = {n / read_s:,.0f} records/s")

start = time.perf_counter()
index = table.create_index(lambda rec: rec.name)
index_s = time.perf_counter() - start
print(f"index build: {index_s:.3f} s")

names = [table[i].name for i in range(len(table))]
random.seed(42)
keys = [random.choice(names)[:16] for _ in range(20000)]
start = time.perf_counter()
for key in keys:
    index.index_search(key, partial=True, nearest=True)
lookup_s = time.perf_counter() - start
print(f"lookup: {lookup_s / len(keys) * 1e6:.2f} us each")

start = time.perf_counter()
dbf.export(table, out, format="csv", header=False)
export_s = time.perf_counter() - start
print(f"export: {export_s:.3f} s")
table.close()
