#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Follows the user's guide's chapter "A customer book shared by several counters or stores" on a
# stock Debian PostgreSQL 15: a cluster made by pg_createcluster as the package makes its "main"
# one, then every step as the guide writes it (each line first checked to stand in the guide), with
# only what a test must change: the cluster's name and port, the server's name reached through
# this machine's own network addresses (hostaddr), temporary homes, pg_ctlcluster for systemctl
# and runuser for sudo. The owner's password holds ':' and '\', to check the guide's escaping.
# Needs root (it runs the server as postgres); skips otherwise, and fails under CI=true when the
# server's packages are missing.
# usage: server_guide_test.sh ARROWSEL_CLI SAMPLE_DATA_FOLDER GUIDE
set -euo pipefail
cli=$(realpath "$1")
data=$(realpath "$2")
guide=$(realpath "$3")

skip() {
    if [ "${CI:-}" = true ] && [ "${2:-}" != always ]; then
        echo "FAIL: $1 (scripts/setup installs what this test needs)"
        exit 1
    fi
    echo "SKIP: $1"
    exit 77
}
fail() {
    echo "FAIL: $*"
    exit 1
}

[ "$(id -u)" = 0 ] || skip "a cluster as Debian makes it needs root" always
command -v pg_createcluster >/dev/null || skip "pg_createcluster (postgresql-common) is not installed"
[ -x /usr/lib/postgresql/15/bin/postgres ] || skip "postgresql-15 is not installed"
command -v openssl >/dev/null || skip "openssl is not installed"

# The guide must still say what is done here.
says() {
    grep -qF -- "$1" "$guide" || fail "the guide no longer says: $1"
}
# The guide's `sudo -u postgres`.
as_postgres() {
    (cd /tmp && runuser -u postgres -- "$@")
}

cluster=arrowselguide$$
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')
work=$(mktemp -d)
chmod 755 "$work"
conf=/etc/postgresql/15/$cluster
cleanup() {
    pg_dropcluster --stop 15 "$cluster" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
export PGPORT=$port
unset PGHOST PGDATABASE PGUSER PGPASSWORD PGSERVICEFILE PGSSLMODE

# The addresses the counters come from: this machine's own, not its loopback (which Debian's own
# pg_hba.conf lines let in without TLS), so that the guide's lines are the ones that decide.
v4=$(hostname -I 2>/dev/null | tr ' ' '\n' | grep -E '^[0-9]+\.' | head -n 1 || true)
v6=$(hostname -I 2>/dev/null | tr ' ' '\n' | grep ':' | grep -vi '^fe80' | head -n 1 || true)
[ -n "$v4" ] || v4=127.0.0.1
if [ -z "$v6" ]; then
    echo "NOTE: no IPv6 address here but the loopback; the IPv6 line is checked over ::1"
    v6=::1
fi

# 1. The server, as the package installs it, listening on the network.
pg_createcluster 15 "$cluster" -p "$port" >/dev/null
says "sudo apt-get install postgresql-15"
says "listen_addresses = '*'"
echo "listen_addresses = '*'" >>"$conf/postgresql.conf"

# 2. A certificate for the server's name, from an authority of the shop's own.
ca=$work/ca
mkdir "$ca"
(
    cd "$ca"
    says 'umask 077'
    umask 077
    says 'openssl req -new -x509 -days 3650 -nodes -subj "/CN=Shop customer book CA" -keyout shop-ca.key -out root.crt'
    openssl req -new -x509 -days 3650 -nodes -subj "/CN=Shop customer book CA" -keyout shop-ca.key -out root.crt 2>/dev/null
    says 'openssl req -new -nodes -subj "/CN=server.example.com" -addext "subjectAltName=DNS:server.example.com" -keyout server.key -out server.csr'
    openssl req -new -nodes -subj "/CN=server.example.com" -addext "subjectAltName=DNS:server.example.com" -keyout server.key -out server.csr 2>/dev/null
    says 'openssl x509 -req -in server.csr -CA root.crt -CAkey shop-ca.key -CAcreateserial -days 825 -copy_extensions copy -out server.crt'
    openssl x509 -req -in server.csr -CA root.crt -CAkey shop-ca.key -CAcreateserial -days 825 -copy_extensions copy -out server.crt 2>/dev/null
    says 'sudo install -o postgres -g postgres -m 600 server.key /etc/postgresql/15/main/arrowsel-server.key'
    install -o postgres -g postgres -m 600 server.key "$conf/arrowsel-server.key"
    says 'sudo install -o postgres -g postgres -m 644 server.crt /etc/postgresql/15/main/arrowsel-server.crt'
    install -o postgres -g postgres -m 644 server.crt "$conf/arrowsel-server.crt"
)
chmod 644 "$ca/root.crt"
says "ssl = on"
says "ssl_cert_file = '/etc/postgresql/15/main/arrowsel-server.crt'"
says "ssl_key_file = '/etc/postgresql/15/main/arrowsel-server.key'"
{
    echo "ssl = on"
    echo "ssl_cert_file = '$conf/arrowsel-server.crt'"
    echo "ssl_key_file = '$conf/arrowsel-server.key'"
} >>"$conf/postgresql.conf"
says "sudo systemctl restart postgresql@15-main"
pg_ctlcluster 15 "$cluster" start

# 3. The database, its roles, and their way in. A shop that narrowed the server's defaults lets
# nobody run a new function; the guide's grants must do without them.
owner_pw='Own:er\pw'
counter_pw='c0unter-Pw'
says "sudo -u postgres createuser --pwprompt arrowsel_owner"
printf '%s\n%s\n' "$owner_pw" "$owner_pw" | as_postgres createuser --pwprompt arrowsel_owner
says "sudo -u postgres createdb --owner arrowsel_owner --encoding UTF8 --template template0 arrowsel"
as_postgres createdb --owner arrowsel_owner --encoding UTF8 --template template0 arrowsel
as_postgres psql -q -d arrowsel -c "ALTER DEFAULT PRIVILEGES FOR ROLE arrowsel_owner REVOKE EXECUTE ON FUNCTIONS FROM PUBLIC"
says "sudo -u postgres createuser --pwprompt arrowsel_counter"
printf '%s\n%s\n' "$counter_pw" "$counter_pw" | as_postgres createuser --pwprompt arrowsel_counter
for line in "hostssl arrowsel arrowsel_owner 0.0.0.0/0 scram-sha-256" "hostssl arrowsel arrowsel_owner ::/0 scram-sha-256" \
    "hostssl arrowsel arrowsel_counter 0.0.0.0/0 scram-sha-256" "hostssl arrowsel arrowsel_counter ::/0 scram-sha-256"; do
    says "$line"
    echo "$line" >>"$conf/pg_hba.conf"
done
says "sudo systemctl reload postgresql@15-main"
pg_ctlcluster 15 "$cluster" reload

# The guide's addresses, reaching server.example.com through one of this machine's addresses.
at() { # ADDRESS HOSTADDR
    local sep='?'
    case $1 in *\?*) sep='&' ;; esac
    echo "${1/:5432/:$port}${sep}hostaddr=$2&port=$port"
}

# 4. The table, created by the owner, whose password is in its ~/.pgpass, escaped.
export HOME=$work/owner
mkdir -p "$HOME"
says 'server.example.com:5432:arrowsel:arrowsel_owner:the-owners-password'
says 'A `:` or a `\` inside a field is written `\:` or `\\`'
printf 'server.example.com:%s:arrowsel:arrowsel_owner:%s\n' "$port" 'Own\:er\\pw' >"$HOME/.pgpass"
says "chmod 600 ~/.pgpass"
chmod 600 "$HOME/.pgpass"
says "mkdir -p ~/.postgresql && cp root.crt ~/.postgresql/root.crt"
mkdir -p ~/.postgresql && cp "$ca/root.crt" ~/.postgresql/root.crt
owner_book="postgresql://arrowsel_owner@server.example.com/arrowsel?sslmode=verify-full"
says "arrowsel-cli customers init --book '$owner_book'"
out=$("$cli" customers init --book "$(at "$owner_book" "$v4")") || fail "init: $out"
case $out in "Created the customer book"*) ;; *) fail "init said: $out" ;; esac
says "psql '$owner_book'"
grants=("REVOKE ALL ON DATABASE arrowsel FROM PUBLIC;" "GRANT CONNECT ON DATABASE arrowsel TO arrowsel_counter;"
    "GRANT SELECT, INSERT, UPDATE, DELETE ON saved_setups TO arrowsel_counter;"
    "GRANT SELECT ON saved_setups_schema TO arrowsel_counter;"
    "GRANT EXECUTE ON FUNCTION saved_setups_name_key(text) TO arrowsel_counter;")
for g in "${grants[@]}"; do
    says "$g"
done
printf '%s\n' "${grants[@]}" | psql -q -v ON_ERROR_STOP=1 "$(at "$owner_book" "$v6")" >/dev/null

# 5. A counter, with its own password, the authority's certificate and the settings line.
export HOME=$work/counter
mkdir -p "$HOME/.postgresql"
says 'server.example.com:5432:arrowsel:arrowsel_counter:the-counters-password'
printf 'server.example.com:%s:arrowsel:arrowsel_counter:%s\n' "$port" "$counter_pw" >"$HOME/.pgpass"
chmod 600 "$HOME/.pgpass"
cp "$ca/root.crt" "$HOME/.postgresql/root.crt"
counter_line="book=postgresql://arrowsel_counter@server.example.com:5432/arrowsel?sslmode=verify-full"
says "$counter_line"
folder=$work/counter-data
cp -r "$data" "$folder"
printf '[customers]\n%s\n' "$(at "${counter_line#book=}" "$v4" | sed 's/^/book=/')" >"$folder/arrowsel.ini"

# 6. The folder's customers moved in over IPv4, read back over IPv6; the program's own check
# follows the settings line to the server.
counter_book="postgresql://arrowsel_counter@server.example.com/arrowsel?sslmode=verify-full"
says "arrowsel-cli customers copy --from ~/.local/share/arrowsel --to '$counter_book'"
out=$("$cli" customers copy --from "$data" --to "$(at "$counter_book" "$v4")" 2>&1) || fail "copy: $out"
case $out in *"customer records copied"*) ;; *) fail "copy said: $out" ;; esac
"$cli" customers export --book "$data" --out "$work/files.txt" >/dev/null
"$cli" customers export --book "$(at "$counter_book" "$v6")" --out "$work/server.txt" >/dev/null ||
    fail "export over IPv6 ($v6)"
cmp -s "$work/files.txt" "$work/server.txt" || fail "the server's export differs from the files'"
out=$("$cli" check-data --data "$folder" 2>&1) || fail "check-data: $out"
# Without TLS the guide's lines let nobody in from the network.
if psql -q "postgresql://arrowsel_counter@server.example.com/arrowsel?sslmode=disable&hostaddr=$v4&port=$port" \
    -c 'SELECT 1' >/dev/null 2>&1; then
    fail "the counter got in without TLS"
fi

# Backing up, into a private file.
says "sudo install -d -o postgres -g postgres -m 700 /var/backups/arrowsel"
install -d -o postgres -g postgres -m 700 "$work/backups"
says "sudo -u postgres sh -c 'umask 077; pg_dump --format=custom --file=/var/backups/arrowsel/arrowsel-\$(date +%F).dump arrowsel'"
as_postgres sh -c "umask 077; pg_dump --format=custom --file=$work/backups/arrowsel-\$(date +%F).dump arrowsel"
dump=$(ls "$work"/backups/arrowsel-*.dump)
[ "$(stat -c %a "$dump")" = 600 ] || fail "the dump is mode $(stat -c %a "$dump"), not 600"

# Restoring: a fresh database, pg_restore as postgres, the database's own rights, the switch.
says "sudo -u postgres createdb --owner arrowsel_owner --encoding UTF8 --template template0 arrowsel_restored"
as_postgres createdb --owner arrowsel_owner --encoding UTF8 --template template0 arrowsel_restored
says "sudo -u postgres pg_restore --exit-on-error --dbname=arrowsel_restored /var/backups/arrowsel/arrowsel-2026-12-08.dump"
as_postgres pg_restore --exit-on-error --dbname=arrowsel_restored "$dump"
says "sudo -u postgres psql -d arrowsel_restored -c 'REVOKE ALL ON DATABASE arrowsel_restored FROM PUBLIC' -c 'GRANT CONNECT ON DATABASE arrowsel_restored TO arrowsel_counter'"
as_postgres psql -q -d arrowsel_restored -c 'REVOKE ALL ON DATABASE arrowsel_restored FROM PUBLIC' \
    -c 'GRANT CONNECT ON DATABASE arrowsel_restored TO arrowsel_counter'
says "sudo -u postgres psql -c 'ALTER DATABASE arrowsel RENAME TO arrowsel_damaged' -c 'ALTER DATABASE arrowsel_restored RENAME TO arrowsel'"
as_postgres psql -q -c 'ALTER DATABASE arrowsel RENAME TO arrowsel_damaged' \
    -c 'ALTER DATABASE arrowsel_restored RENAME TO arrowsel'
"$cli" customers export --book "$(at "$counter_book" "$v4")" --out "$work/restored.txt" >/dev/null ||
    fail "export from the restored book"
cmp -s "$work/files.txt" "$work/restored.txt" || fail "the restored book's export differs"
out=$("$cli" customers copy --from "$data" --to "$(at "$counter_book" "$v4")" --replace 2>&1) ||
    fail "a counter cannot write the restored book: $out"
echo "PASS: the guide's server chapter, followed on PostgreSQL $(as_postgres psql -tAc 'SHOW server_version')"
