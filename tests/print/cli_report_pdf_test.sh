#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# arrowsel-cli report writes each page's report as a PDF without any printer, with the page's
# recommendation in it; bad input writes no file.
# usage: cli_report_pdf_test.sh ARROWSEL_CLI DATA_FOLDER
set -euo pipefail
cli=$1
data=$2
command -v pdftotext >/dev/null || { echo "SKIP: pdftotext not installed"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

check() { # page, expected texts...
    local page=$1
    shift
    local text
    text=$(pdftotext -layout "$out/$page.pdf" - | tr -s ' ')
    for t in "$@"; do
        grep -qF -- "$t" <<<"$text" || { echo "FAIL: $page report lacks '$t'"; echo "$text"; exit 1; }
    done
}

"$cli" report --page Hunt --data "$data" --bow-type 1 --pdf "$out/Hunt.pdf"
check Hunt "2009 Hunting Shafts" "Carbon Shafts" "Bow Type: Recurve" "Wheel Type: N/A" "Point Weight: 100"
"$cli" report --page Targ --data "$data" --targ-bow-type=1 --pdf="$out/Targ.pdf"
check Targ "2009 Target Shafts" "Bow Type: Recurve" "Point Weight: N/A"
"$cli" report --page Youth --data "$data" --youth-bow-weight 22 --pdf "$out/Youth.pdf"
check Youth "2009 Youth Shafts" "Peak Bow Weight: 22" "Size Spine Value Models Weight"
"$cli" report --page Orvk --data "$data" --wheel 2 --pdf "$out/Orvk.pdf"
check Orvk "2009 Orvik Shafts" "Wheel Type: Round" "Size Spine Models Weight"

# As cron or ssh runs it: no desktop session, and nothing on standard error.
env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR -u QT_QPA_PLATFORM \
    "$cli" report --page Hunt --data "$data" --pdf "$out/cron.pdf" 2>"$out/cron.err"
[ ! -s "$out/cron.err" ] || { echo "FAIL: a run without a desktop printed:"; cat "$out/cron.err"; exit 1; }
# A length the window's edit would not compute with: a message, status 2, no file.
status=0
"$cli" report --page Hunt --data "$data" --arrow-length 29.5 --pdf "$out/half.pdf" 2>"$out/half.err" || status=$?
[ "$status" = 2 ] && grep -q -- "--arrow-length" "$out/half.err" && [ ! -e "$out/half.pdf" ] ||
    { echo "FAIL: --arrow-length 29.5 gave status $status"; exit 1; }
status=0
"$cli" report --page Hunt --data "$data" --bow-weight abc --pdf "$out/bad.pdf" 2>/dev/null || status=$?
[ "$status" = 2 ] || { echo "FAIL: conversion error gave status $status"; exit 1; }
[ ! -e "$out/bad.pdf" ] || { echo "FAIL: a report was written for bad input"; exit 1; }
# A data folder whose name is not UTF-8 (Latin-1, from an old disk): the charts are read and the
# page is written into it under the name's own bytes.
latin=$out/$'caf\xe9'
cp -r "$data" "$latin"
"$cli" report --page Hunt --data "$latin" --bow-type 1 --pdf "$latin/Hunt.pdf"
pdftotext -layout "$latin/Hunt.pdf" - | grep -qF "2009 Hunting Shafts" || { echo "FAIL: no report in the Latin-1 folder"; exit 1; }

# A link at the PDF's name is replaced, what it points at stays; a pipe is refused at once.
echo "the shop's other file" >"$out/kept.txt"
ln -s "$out/kept.txt" "$latin/link.pdf"
"$cli" report --page Hunt --data "$latin" --pdf "$latin/link.pdf"
[ ! -L "$latin/link.pdf" ] && [ "$(cat "$out/kept.txt")" = "the shop's other file" ] ||
    { echo "FAIL: the report was written through a link"; exit 1; }
mkfifo "$latin/pipe.pdf"
status=0
timeout 30 "$cli" report --page Hunt --data "$latin" --pdf "$latin/pipe.pdf" 2>/dev/null || status=$?
[ "$status" = 1 ] || { echo "FAIL: a pipe as the PDF gave status $status"; exit 1; }
echo PASS
