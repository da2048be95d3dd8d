#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Pins what `arrowsel-cli recommend` prints across the selection rules.

Runs the command line tool over a sweep of setups on the sample data: every page, every radio
index from -1 to one past the last item, bow weights across each band table, and each weight
adjustment (release, brace height, overdraw, point-weight bands) moved across band edges. With
--fixtures, also over the data folders the fixture maker writes into FOLDER, with the runs it
lists for each. The output of every run, with its exit status, is compared with the checked-in
expectation.

usage: recommend_sweep.py CLI DATA_DIR EXPECTED [--fixtures MAKER FOLDER] [--update]
"""
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

POINT_EDGES = ["64", "65", "85", "86", "99", "100", "101", "104", "105", "114", "115", "125", "126",
               "129", "130", "135", "136", "139", "140", "150", "151", "154", "155", "160", "161"]
LENGTHS = [str(n) for n in range(20, 35)]


def weights(low, high):
    return [str(w) for w in range(low, high + 1)]


def setups():
    """Yields argument lists; each is one run from the main window's start state."""
    # Hunting: every bow type and cam index (with one past the end and -1), across the bands.
    for bow in range(-1, 4):
        for cam in range(-1, 3):
            span = weights(25, 125) if bow in (0, 1, 2) and cam in (0, 1) else ["40", "60"]
            for w in span:
                yield ["--page", "Hunt", "--bow-type", str(bow), "--cam", str(cam), "--bow-weight", w]
    # Hunting adjustments moved across the 47..66 band edges.
    for bow in range(0, 3):
        for opt, values in (("--release", range(-1, 3)), ("--overdraw", range(-1, 7)), ("--brace", range(-1, 3))):
            for v in values:
                for w in weights(40, 62):
                    yield ["--page", "Hunt", "--bow-type", str(bow), opt, str(v), "--bow-weight", w]
        for p in POINT_EDGES:
            for w in weights(41, 48):
                yield ["--page", "Hunt", "--bow-type", str(bow), "--point-weight", p, "--bow-weight", w]
    for length in LENGTHS:
        for bow in range(0, 3):
            yield ["--page", "Hunt", "--bow-type", str(bow), "--arrow-length", length]

    # Target: every bow type and wheel index, across the bands.
    for bow in range(-1, 3):
        for wheel in range(-1, 4):
            span = weights(14, 90) if bow in (0, 1) and wheel in (0, 1, 2) else ["40", "60"]
            if bow == 1 and wheel != 0:
                span = ["20", "40", "60"]
            for w in span:
                yield ["--page", "Targ", "--targ-bow-type", str(bow), "--wheel", str(wheel), "--bow-weight", w]
    for bow in range(0, 2):
        for opt, values in (("--release", range(-1, 4)), ("--overdraw", range(-1, 7)), ("--brace", range(-1, 3))):
            for v in values:
                for w in weights(34, 52):
                    yield ["--page", "Targ", "--targ-bow-type", str(bow), opt, str(v), "--bow-weight", w]
        for p in POINT_EDGES:
            for w in weights(38, 42):
                yield ["--page", "Targ", "--targ-bow-type", str(bow), "--point-weight", p, "--bow-weight", w]
    for length in LENGTHS:
        for bow in range(0, 2):
            for w in ("30", "45", "70"):
                yield ["--page", "Targ", "--targ-bow-type", str(bow), "--arrow-length", length, "--bow-weight", w]

    # Youth: its own edits, across the bands and lengths.
    for w in weights(12, 44):
        for length in ("22", "25", "28"):
            yield ["--page", "Youth", "--youth-bow-weight", w, "--youth-arrow-length", length]
    for length in [str(n) for n in range(15, 33)]:
        yield ["--page", "Youth", "--youth-arrow-length", length]

    # Orvik: every bow type and cam index, across the bands, and its adjustments.
    for bow in range(-1, 3):
        for cam in range(-1, 3):
            span = weights(18, 100) if bow in (0, 1) and cam in (0, 1) else ["40", "60"]
            for w in span:
                yield ["--page", "Orvk", "--targ-bow-type", str(bow), "--cam", str(cam), "--bow-weight", w]
    for bow in range(0, 2):
        for opt, values in (("--release", range(-1, 4)), ("--brace", range(-1, 3)), ("--overdraw", range(-1, 7))):
            for v in values:
                for w in weights(28, 40):
                    yield ["--page", "Orvk", "--targ-bow-type", str(bow), opt, str(v), "--bow-weight", w]
        for p in ("99", "100", "101"):
            for w in weights(28, 40):
                yield ["--page", "Orvk", "--targ-bow-type", str(bow), "--point-weight", p, "--bow-weight", w]
    for length in LENGTHS:
        yield ["--page", "Orvk", "--arrow-length", length]

    # Texts that are no numbers, and the edits' guard lengths.
    for page in ("Hunt", "Targ", "Youth", "Orvk"):
        for opt in ("--bow-weight", "--arrow-length", "--point-weight", "--youth-bow-weight", "--youth-arrow-length"):
            for text in ("", "5", "x1", " 45", "100", "-45"):
                yield ["--page", page, opt, text]


def run(cli, data, args, text_mode, label=None):
    cmd = [cli, "recommend", "--data", data] + args + ([] if text_mode else ["--json"])
    done = subprocess.run(cmd, capture_output=True, text=True, encoding="utf-8", errors="replace")
    mode = label or ("text" if text_mode else "json")
    name = "%s %s" % (mode, " ".join(repr(a) if a == "" or " " in a else a for a in args))
    return name, "exit %d\n%s%s" % (done.returncode, done.stdout, done.stderr.replace(data, "<folder>"))


def fixture_jobs(maker, folder):
    """Writes the fixture folders; yields (folder, args, label) for each run the maker lists."""
    listing = subprocess.run([maker, folder], capture_output=True, text=True, check=True).stdout
    for line in listing.splitlines():
        name, *args = line.split("\t")
        yield "%s/%s" % (folder, name), args, "fixture " + name


def record(results):
    """Many setups give one output: each distinct output is written once and runs name it."""
    numbers = {}
    runs = []
    for name, output in results:
        number = numbers.setdefault(output, len(numbers) + 1)
        runs.append("%s => %d\n" % (name, number))
    outputs = ["@%d\n%s" % (n, out) for out, n in numbers.items()]
    return "".join(runs) + "".join(outputs)


def parse(text):
    runs, _, rest = text.partition("@1\n")
    outputs = {}
    for block in ("@1\n" + rest).split("\n@")[0:]:
        head, _, body = block.lstrip("@").partition("\n")
        outputs[head] = body
    by_name = {}
    for line in runs.splitlines():
        name, _, number = line.rpartition(" => ")
        by_name[name] = outputs.get(number, "")
    return by_name


def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    cli, data, expected = sys.argv[1:4]
    rest = sys.argv[4:]
    update = "--update" in rest
    jobs = [(data, args, False, None) for args in setups()]
    # The plain output names the colours; one sweep of the Hunting rows pins them.
    jobs += [(data, ["--page", "Hunt", "--bow-weight", w], True, None) for w in weights(25, 100)]
    jobs += [(data, ["--page", p], True, None) for p in ("Targ", "Youth", "Orvk")]
    if "--fixtures" in rest:
        at = rest.index("--fixtures")
        jobs += [(folder, args, False, label) for folder, args, label in fixture_jobs(rest[at + 1], rest[at + 2])]
    with ThreadPoolExecutor(max_workers=2) as pool:
        results = list(pool.map(lambda job: run(cli, *job), jobs))
    actual = record(results)
    if update:
        with open(expected, "w", encoding="utf-8") as f:
            f.write(actual)
        print("%d runs written to %s" % (len(jobs), expected))
        return 0
    with open(expected, encoding="utf-8") as f:
        wanted = f.read()
    if actual == wanted:
        print("%d runs as expected" % len(jobs))
        return 0
    want = parse(wanted)
    got = parse(actual)
    differing = [name for name in got if want.get(name) != got[name]] + [name for name in want if name not in got]
    for name in differing[:5]:
        print("--- %s\nexpected:\n%s\ngot:\n%s" % (name, want.get(name, "(no such run)"), got.get(name, "(not run)")))
    print("%d of %d runs differ from %s (rerun with --update only for an intended change)"
          % (len(differing), len(jobs), expected))
    return 1


if __name__ == "__main__":
    sys.exit(main())
