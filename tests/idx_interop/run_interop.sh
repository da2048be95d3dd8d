#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads the .idx files written by idx_interop_writer with Perl's XBase module and compares the
# keys and record numbers, in index order, with the writer's own sorted listing.
#   non-compact: the stock index_dump tool;  compact: cidx_dump.pl (XBase::cdx page decoder).
# The *_killed files were completed from their journal after a kill in the middle of a change; the
# *_saves files were grown by saves to a table, and *_rebuilt are the same rebuilt from the table.
# Usage: run_interop.sh WRITER OUTDIR SCRIPTDIR
set -euo pipefail
writer=$1
out=$2
here=$3
command -v index_dump >/dev/null || { echo "index_dump missing (Debian package libdbd-xbase-perl)"; exit 1; }
rm -rf "$out"
mkdir -p "$out"
"$writer" "$out"

# "key<blanks> recno" -> "key recno"
normalize() { sed -E 's/ *([0-9]+)$/ \1/'; }

passed=0
failed=0
for exp in "$out"/*.exp; do
    base=${exp%.exp}
    name=$(basename "$base")
    case $name in
        *_name_*) type=char ;;
        *) type=num ;;
    esac
    if [[ $name == c_* ]]; then
        perl "$here/cidx_dump.pl" "$base.idx" "$type" > "$base.raw"
        tail -n +2 "$base.raw" | normalize > "$base.got"
        expr=$(head -n 1 "$base.raw")
    else
        if [[ $type == num ]]; then
            index_dump --type num "$base.idx" X 2>/dev/null | normalize > "$base.got"
        else
            index_dump "$base.idx" X 2>/dev/null | normalize > "$base.got"
        fi
        expr=ok
    fi
    lines=$(wc -l < "$exp")
    if [[ -n $expr ]] && [[ $lines -ge 1000 ]] && diff -q "$exp" "$base.got" >/dev/null; then
        echo "PASS $name ($lines keys)"
        passed=$((passed + 1))
    else
        echo "FAIL $name ($lines keys expected, $(wc -l < "$base.got") read)"
        diff "$exp" "$base.got" | head -n 10 || true
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[[ $failed -eq 0 && $passed -eq 18 ]]
