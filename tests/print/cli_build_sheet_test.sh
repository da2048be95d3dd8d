#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# arrowsel-cli build-sheet on the sample data: the example its --help ends with runs as given and
# gives the JSON figures worked by hand; the PDF page carries them; bad input writes no file.
# usage: cli_build_sheet_test.sh ARROWSEL_CLI DATA_FOLDER
set -euo pipefail
cli=$1
data=$2
command -v pdftotext >/dev/null || { echo "SKIP: pdftotext not installed"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The help's last lines are a complete command using --json.
example=$("$cli" build-sheet --help | sed -n '/Example:/,$p' | tail -n +2 | sed 's/^ *//' | tr '\n' ' ' | tr -s ' ')
[[ $example == "arrowsel-cli build-sheet "*" --json " ]] || fail "help ends with '$example'"
read -r -a words <<<"$example"
"$cli" "${words[@]:1}" --data "$data" >"$out/sheet.json"
# 400.400 cut to 29 in.: 29 x 7.74 = 224.46 + 100 + 16 + 8 + 18 = 366 grains. 320 - 10 (29 in.)
# - 10 (65 lb) - 16/3 (16 grains over 350) = 294.7: 295 ft/s; 295^2 x 366 / 450240 = 70.74 ft-lb;
# 366 x 295 / 225218 = 0.479 slug-ft/s.
/usr/bin/python3 - "$out/sheet.json" <<'PY' || fail "JSON figures"
import json, sys
s = json.load(open(sys.argv[1]))
want = {"speed": 295, "total_weight": 366, "kinetic_energy": 70.74, "momentum": 0.479,
        "speed_source": "estimated", "game_class": "Largest Game", "shaft_weight": 224}
got = {k: s[k] for k in want}
assert got == want, got
assert s["shaft"]["key"] == "400.400" and s["front_of_center"] is None, s
PY

"$cli" build-sheet --data "$data" --bow-type 1 --shaft 400.400 --rated-speed 320 --json >"$out/recurve.json"
/usr/bin/python3 -c 'import json,sys; s=json.load(open(sys.argv[1])); assert s["speed"] is None and s["kinetic_energy"] is None and "recurve" in s["speed_note"], s' \
    "$out/recurve.json" || fail "recurve without a reading"

# An empty value is a value: the option after it stays an option.
"$cli" build-sheet --data "$data" --shaft 400.400 --customer= --json >"$out/nameless.json"
/usr/bin/python3 -c 'import json,sys; s=json.load(open(sys.argv[1])); assert s["customer"] == "", s' \
    "$out/nameless.json" || fail "an empty --customer="

"$cli" build-sheet --data "$data" --bow-weight 65 --arrow-length 29 --shaft 400.400 --rated-speed 320 \
    --draw-length 29 --measured-speed 281 --balance 17 --customer "Jane Archer" --pdf "$out/sheet.pdf"
text=$(pdftotext -layout "$out/sheet.pdf" - | tr -s ' ')
for t in "Arrow Build Sheet" "Customer: Jane Archer" "Size: 400" "Total Arrow Weight: 366 Gr." \
    "Speed: 281 ft/s (measured)" "Kinetic Energy: 64.19 Ft. Lbs." "Momentum: 0.457 Slug Ft/Sec" \
    "Front of Center: 8.6%"; do
    grep -qF -- "$t" <<<"$text" || { echo "$text"; fail "the sheet lacks '$t'"; }
done

expect_status() { # status, arguments...
    local want=$1 status=0
    shift
    "$cli" build-sheet --data "$data" "$@" --pdf "$out/bad.pdf" 2>/dev/null || status=$?
    [ "$status" = "$want" ] || fail "build-sheet $* gave status $status, not $want"
    [ ! -e "$out/bad.pdf" ] || fail "a sheet was written for build-sheet $*"
}
expect_status 1 --shaft 9999
expect_status 2 --shaft 400.400 --bow-weight abc
expect_status 64 --shaft 400.400 --measured-speed fast
expect_status 64 --rated-speed 320
echo PASS
