// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/pg_cluster.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <libpq-fe.h>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace arrowsel::test {
namespace {

// The Debian path: another pg_ctl may come first on PATH.
const std::filesystem::path kBin = "/usr/lib/postgresql/15/bin";

bool asRoot() {
    return ::geteuid() == 0;
}

// Runs a program and waits for it; its output goes to `logFile`. Throws with that output when the
// program fails.
void run(const std::vector<std::string>& argv, const std::filesystem::path& logFile) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int err = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(err));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ifstream in(logFile);
        std::stringstream out;
        out << in.rdbuf();
        std::string command;
        for (const std::string& a : argv) {
            command += a + " ";
        }
        throw std::runtime_error("failed: " + command + "\n" + out.str());
    }
}

// Gives a file or folder to the user the server runs as.
void giveToServerUser(const std::filesystem::path& path) {
    if (!asRoot()) {
        return;
    }
    const passwd* pw = ::getpwnam("postgres");
    if (pw == nullptr) {
        throw std::runtime_error("running as root, but there is no postgres user to run the server as");
    }
    if (::chown(path.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
        throw std::system_error(errno, std::generic_category(), "chown " + path.string());
    }
}

std::vector<std::string> serverUser(std::vector<std::string> argv) {
    if (asRoot()) {
        argv.insert(argv.begin(), {"/usr/sbin/runuser", "-u", "postgres", "--"});
    }
    return argv;
}

// Superuser trusted on the socket; everyone else by password.
constexpr const char* kHba = "local all postgres trust\n"
                             "local all all scram-sha-256\n";

// The template cluster, made once per machine and user and shared by every later cluster.
std::filesystem::path templateCluster() {
    const std::filesystem::path tmp = std::filesystem::temp_directory_path();
    const std::string name = "arrowsel-pg15-template-" + std::to_string(::geteuid());
    const std::filesystem::path done = tmp / name;
    const int lock = ::open((tmp / (name + ".lock")).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) {
        throw std::system_error(errno, std::generic_category(), "template lock");
    }
    while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct Unlock {
        int fd;
        ~Unlock() { ::close(fd); }
    } unlock{lock};
    if (std::filesystem::exists(done / "PG_VERSION")) {
        return done;
    }
    std::filesystem::remove_all(done);
    const std::filesystem::path work = tmp / (name + ".new-" + std::to_string(::getpid()));
    std::filesystem::remove_all(work);
    std::filesystem::create_directory(work);
    giveToServerUser(work);
    const std::filesystem::path data = work / "data";
    run(serverUser({(kBin / "initdb").string(), "-D", data.string(), "-U", "postgres", "-E", "UTF8", "--locale=C", "-A",
                    "trust", "-N"}),
        tmp / (name + ".initdb.log"));
    {
        std::ofstream hba(data / "pg_hba.conf", std::ios::trunc);
        hba << kHba;
    }
    giveToServerUser(data / "pg_hba.conf");
    std::filesystem::rename(data, done);
    std::filesystem::remove_all(work);
    return done;
}

struct Connection {
    PGconn* conn;
    ~Connection() { PQfinish(conn); }
};

} // namespace

bool postgresInstalled() {
    return std::filesystem::exists(kBin / "pg_ctl");
}

PgCluster::PgCluster(const Options& options) : options_(options) {
    std::string pattern = (std::filesystem::temp_directory_path() / "arrowsel-pg-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder for the server");
    }
    dir_ = pattern;
    // The socket lies here: the test (whoever runs it) must reach it.
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                           std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                           std::filesystem::perms::others_exec);
    giveToServerUser(dir_);
    const std::filesystem::path source = templateCluster();
    run(serverUser({"/bin/cp", "-a", source.string(), (dir_ / "data").string()}), dir_ / "cp.log");
    start();
}

PgCluster::~PgCluster() {
    try {
        stop();
    } catch (...) {
        // The folder goes anyway; a server left behind dies when its folder is gone.
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void PgCluster::start() {
    if (running_) {
        return;
    }
    std::string settings = "-k " + dir_.string() + " -p " + std::to_string(kPort) + " -c listen_addresses=''";
    if (!options_.durable) {
        // Only fsync goes: commits still reach the kernel, so an immediate stop (a crash) keeps them.
        settings += " -c fsync=off -c full_page_writes=off";
    }
    run(serverUser({(kBin / "pg_ctl").string(), "-D", (dir_ / "data").string(), "-l", (dir_ / "server.log").string(),
                    "-o", settings, "-w", "-t", "60", "start"}),
        dir_ / "pg_ctl.log");
    running_ = true;
}

void PgCluster::stop() {
    if (!running_) {
        return;
    }
    running_ = false;
    run(serverUser({(kBin / "pg_ctl").string(), "-D", (dir_ / "data").string(), "-m", "immediate", "-w", "stop"}),
        dir_ / "pg_ctl.log");
}

std::string PgCluster::url(std::string_view database, std::string_view user, std::string_view password) const {
    // The socket folder goes in the query: a path in the host part would need escaping.
    std::string u = "postgresql://" + std::string(user) + "@/" + std::string(database) + "?host=" + dir_.string() +
                    "&port=" + std::to_string(kPort);
    if (!password.empty()) {
        // The program refuses an address that holds a password: it comes from a password file,
        // as the user's guide has it.
        const std::filesystem::path passfile = dir_ / ("pgpass-" + std::string(user));
        {
            std::ofstream out(passfile, std::ios::trunc);
            out << "*:*:*:" << user << ":" << password << "\n";
        }
        std::filesystem::permissions(passfile,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        u += "&passfile=" + passfile.string();
    }
    return u;
}

void PgCluster::exec(std::string_view sql, std::string_view database) const {
    Connection c{PQconnectdb(url(database).c_str())};
    if (PQstatus(c.conn) != CONNECTION_OK) {
        throw std::runtime_error(std::string("cannot reach the test server: ") + PQerrorMessage(c.conn));
    }
    PGresult* r = PQexec(c.conn, std::string(sql).c_str());
    const ExecStatusType status = PQresultStatus(r);
    const std::string message = PQresultErrorMessage(r);
    PQclear(r);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        throw std::runtime_error("SQL failed: " + std::string(sql) + "\n" + message);
    }
}

std::string PgCluster::createDatabase() {
    const std::string name = "book" + std::to_string(++databases_);
    exec("CREATE DATABASE " + name);
    return name;
}

void PgCluster::runTool(std::string_view tool, const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {(kBin / tool).string(), "--host=" + dir_.string(),
                                     "--port=" + std::to_string(kPort), "--username=postgres"};
    argv.insert(argv.end(), args.begin(), args.end());
    run(serverUser(argv), dir_ / (std::string(tool) + ".log"));
}

std::string PgCluster::log() const {
    std::ifstream in(dir_ / "server.log");
    std::stringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace arrowsel::test
