// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::test {

// A PostgreSQL 15 server of its own for a test or a benchmark: a cluster in a fresh temporary
// folder, listening only on a Unix socket in that folder, stopped and removed when destroyed.
//
// The server refuses to run as root, so under root (CI) every server command runs as the
// `postgres` user of Debian's package, in a folder that user owns. initdb is slow on a busy
// machine, so the first cluster made is kept as a template (under the temporary folder, built
// under a lock and renamed into place whole) and later clusters copy it.
//
// Local connections of the superuser `postgres` are trusted; every other role logs in with its
// password (SCRAM), so a wrong password is refused as on a real server.
class PgCluster {
public:
    struct Options {
        // Without fsync the tests run faster; the benchmark keeps the server's defaults.
        bool durable = false;
    };

    PgCluster() : PgCluster(Options{}) {}
    explicit PgCluster(const Options& options);
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    void start();
    void stop(); // immediate shutdown, as a crash or a pulled cable would look to a client
    bool running() const { return running_; }

    const std::filesystem::path& socketDir() const { return dir_; }
    int port() const { return kPort; }

    // A postgresql:// address of a database on this server, for `user`; its password, when given,
    // in a password file of its own that the address names (passfile=).
    std::string url(std::string_view database, std::string_view user = "postgres",
                    std::string_view password = {}) const;

    // Runs SQL as the superuser in `database`; throws with the server's message when it fails.
    void exec(std::string_view sql, std::string_view database = "postgres") const;
    // A fresh database owned by the superuser, named uniquely within this cluster.
    std::string createDatabase();

    // Runs one of PostgreSQL's own programs (pg_dump, pg_restore, ...) against this server, as the
    // superuser; `args` follow the connection options. Throws with its output when it fails.
    void runTool(std::string_view tool, const std::vector<std::string>& args) const;

    // The log of the server, for a failing test's message.
    std::string log() const;

private:
    static constexpr int kPort = 5432;
    Options options_;
    std::filesystem::path dir_;
    bool running_ = false;
    int databases_ = 0;
};

// True when this machine has the PostgreSQL 15 server binaries.
bool postgresInstalled();

} // namespace arrowsel::test
