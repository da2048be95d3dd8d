#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# usage: install_tree_test.sh CMAKE BUILD_DIR
# Installs the build into a temporary prefix and checks the installation: what it holds, that the
# installed program seeds a new user's data folder from the installed data and stays up, and that
# the installed arrowsel-cli answers on that folder and, before it exists, from the installed data.
set -euo pipefail
cmake_exe=$1
build=$2

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cmake_exe" --install "$build" --prefix "$prefix" >"$tmp/install.log" || {
    cat "$tmp/install.log" >&2
    fail "cmake --install"
}

# What is installed, and nothing else (no test programs, libraries or developer tools).
for f in bin/arrowsel bin/arrowsel-cli share/applications/arrowsel.desktop \
    share/icons/hicolor/scalable/apps/arrowsel.svg share/icons/hicolor/48x48/apps/arrowsel.png \
    share/arrowsel/HUNTCHRT.DBF share/arrowsel/Specs.DBF share/arrowsel/specs.idx \
    share/arrowsel/Saveddb.dbf share/arrowsel/Saveddb.fpt share/arrowsel/Saved.idx \
    share/arrowsel/SHOPINFO.DBF share/arrowsel/splash.jpg share/man/man1/arrowsel.1.gz \
    share/man/man1/arrowsel-cli.1.gz share/doc/arrowsel/copyright share/doc/arrowsel/changelog.gz \
    share/metainfo/com.example.arrowsel.metainfo.xml; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
unexpected=$(cd "$prefix" && find . -type f | sed 's|^\./||' |
    grep -v -E '^(bin/arrowsel|bin/arrowsel-cli|share/applications/arrowsel\.desktop|share/icons/hicolor/[^/]+/apps/arrowsel\.(svg|png)|share/arrowsel/[^/]+|share/man/man1/arrowsel(-cli)?\.1\.gz|share/doc/arrowsel/(copyright|changelog\.gz)|share/lintian/overrides/arrowsel|share/metainfo/com\.example\.arrowsel\.metainfo\.xml)$' || true)
[ -z "$unexpected" ] || fail "installed but not expected: $unexpected"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/arrowsel.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/com.example.arrowsel.metainfo.xml" ||
        fail "AppStream metainfo"
fi

# A file only the installed data folder holds shows where the user's folder was seeded from.
echo marker >"$prefix/share/arrowsel/installed-marker.txt"

home=$tmp/home
mkdir -p "$home" "$tmp/run" "$tmp/cwd"
chmod 700 "$tmp/run"
run_env=(env -u XDG_DATA_HOME HOME="$home" XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=offscreen)
user=$home/.local/share/arrowsel

# Before the program's first start: the command-line tool reads the installed data in place.
(cd "$tmp/cwd" && "${run_env[@]}" "$prefix/bin/arrowsel-cli" recommend --json >"$tmp/before.json") ||
    fail "arrowsel-cli recommend without a per-user folder"
grep -q '"page": "Hunt"' "$tmp/before.json" || fail "unexpected answer: $(head -c 300 "$tmp/before.json")"
[ ! -e "$user" ] || fail "arrowsel-cli created $user"

# --version and --help answer in a terminal without any display (ssh, a packager's script).
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" "$prefix/bin/arrowsel" --version 2>&1) ||
    fail "arrowsel --version without a display failed: $version"
[[ "$version" == "arrowsel "[0-9]* ]] || fail "arrowsel --version printed: $version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" "$prefix/bin/arrowsel" --help | grep -q -- --version ||
    fail "arrowsel --help without a display does not list --version"

# The installed program starts from an unrelated folder and is still running after 5 seconds.
set +e
(cd "$tmp/cwd" && "${run_env[@]}" timeout 5 "$prefix/bin/arrowsel" >"$tmp/app.log" 2>&1)
status=$?
set -e
[ "$status" -eq 124 ] || {
    cat "$tmp/app.log" >&2
    fail "the installed program ended by itself with status $status"
}
for f in HUNTCHRT.DBF Targchrt.dbf YouthChrt.dbf ORVKCHRT.dbf Specs.DBF specs.idx Saveddb.dbf \
    Saveddb.fpt Saved.idx SHOPINFO.DBF invsel.txt installed-marker.txt; do
    [ -f "$user/$f" ] || fail "the per-user folder was not seeded with $f (from the installed data)"
done
cmp -s "$prefix/share/arrowsel/HUNTCHRT.DBF" "$user/HUNTCHRT.DBF" || fail "seeded chart differs"

# The installed command-line tool on the seeded folder, named and found by default.
"${run_env[@]}" "$prefix/bin/arrowsel-cli" recommend --data "$user" --json >"$tmp/named.json" ||
    fail "arrowsel-cli recommend --data $user"
grep -q '"page": "Hunt"' "$tmp/named.json" || fail "unexpected answer: $(head -c 300 "$tmp/named.json")"
(cd "$tmp/cwd" && "${run_env[@]}" "$prefix/bin/arrowsel-cli" recommend --json >"$tmp/default.json") ||
    fail "arrowsel-cli recommend on the per-user folder"
cmp -s "$tmp/named.json" "$tmp/default.json" || fail "default folder answered differently"
echo "install tree OK"
