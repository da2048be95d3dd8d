// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/pg_connection.h"

#include "records/book_address.h"
#include "records/customer_book.h"
#include "records/pg_address.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <libpq-fe.h>
#include <mutex>
#include <poll.h>
#include <thread>

namespace arrowsel::records {
namespace {

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '.')) {
        s.remove_suffix(1);
    }
    // libpq reports every address it tried, one per line; the user needs them on one.
    std::string out(s);
    for (char& c : out) {
        if (c == '\n' || c == '\t') {
            c = ' ';
        }
    }
    return out;
}

std::string hintFor(std::string_view cause) {
    if (cause.find("password") != std::string_view::npos) {
        return " Check the role's password in ~/.pgpass (or the PostgreSQL service file); the settings file never "
               "holds it.";
    }
    if (cause.find("does not exist") != std::string_view::npos) {
        return " Check the address in the data folder's arrowsel.ini.";
    }
    return " Check that the server is running and that the address in the data folder's arrowsel.ini is right; "
           "the selection, the calculators and the prints work meanwhile.";
}

} // namespace

PgResult::PgResult(pg_result* r) : r_(r) {}
PgResult::~PgResult() {
    PQclear(r_);
}
PgResult::PgResult(PgResult&& other) noexcept : r_(other.r_) {
    other.r_ = nullptr;
}
int PgResult::rows() const {
    return PQntuples(r_);
}
bool PgResult::isNull(int row, int column) const {
    return PQgetisnull(r_, row, column) != 0;
}
std::string_view PgResult::text(int row, int column) const {
    return {PQgetvalue(r_, row, column), static_cast<std::size_t>(PQgetlength(r_, row, column))};
}
std::string_view PgResult::affected() const {
    return PQcmdTuples(r_);
}

std::string pgWhere(std::string_view url) {
    char* err = nullptr;
    PQconninfoOption* opts = PQconninfoParse(std::string(url).c_str(), &err);
    if (opts == nullptr) {
        PQfreemem(err);
        return "the PostgreSQL address that the settings name (" + addressProblem(url).value_or("") + ")";
    }
    std::string host;
    std::string port;
    std::string db;
    std::string user;
    std::string service;
    for (PQconninfoOption* o = opts; o->keyword != nullptr; ++o) {
        const std::string_view k = o->keyword;
        const std::string v = o->val != nullptr ? o->val : "";
        if (k == "host" || (k == "hostaddr" && host.empty())) {
            host = v;
        } else if (k == "port") {
            port = v;
        } else if (k == "dbname") {
            db = v;
        } else if (k == "user") {
            user = v;
        } else if (k == "service") {
            service = v;
        }
    }
    PQconninfoFree(opts);
    if (host.empty() && !service.empty()) {
        return "the PostgreSQL service " + service; // until libpq has read the service file
    }
    if (host.empty()) {
        host = "localhost";
    }
    if (port.empty()) {
        port = "5432";
    }
    if (db.empty()) {
        db = user.empty() ? "(the user's own)" : user;
    }
    return "the PostgreSQL server " + host + ":" + port + ", database " + db;
}

// The key the server needs to end a statement, kept apart from the connection: a cancel runs on
// a thread of its own and may outlive the connection it was taken from. A cancel travels on a
// connection of its own and may arrive late (a network that was silent comes back): the next
// statement waits for it to be answered, and one that it ends all the same runs again, so that a
// cancel only ever ends the statement the user gave up on.
struct PgConnection::CancelKey {
    using Key = std::shared_ptr<PGcancel>;
    std::mutex mutex;
    std::condition_variable answered;
    Key key;
    int inFlight = 0;
    bool asked = false; // for the statement running now
    std::chrono::steady_clock::time_point lastAnswered;

    void takeFrom(pg_conn* conn) {
        Key fresh(conn != nullptr ? PQgetCancel(conn) : nullptr, PQfreeCancel);
        const std::lock_guard lock(mutex);
        key = std::move(fresh);
    }
    void send() {
        Key k;
        {
            const std::lock_guard lock(mutex);
            k = key;
            asked = true;
            ++inFlight;
        }
        if (k) {
            std::array<char, 256> error{};
            PQcancel(k.get(), error.data(), static_cast<int>(error.size())); // a failed cancel changes nothing
        }
        const std::lock_guard lock(mutex);
        --inFlight;
        lastAnswered = std::chrono::steady_clock::now();
        answered.notify_all();
    }
    void beginStatement() {
        std::unique_lock lock(mutex);
        answered.wait_for(lock, std::chrono::seconds(5), [this] { return inFlight == 0; });
        asked = false;
    }
    // True when a statement the server ended as cancelled was not the one the user gave up on.
    bool strayCancel() {
        const std::lock_guard lock(mutex);
        return !asked && (inFlight > 0 || std::chrono::steady_clock::now() - lastAnswered < std::chrono::seconds(5));
    }
};

std::function<void()> PgConnection::canceller() const {
    return [key = cancelKey_] { std::thread([key] { key->send(); }).detach(); };
}

PgConnection::PgConnection(std::string_view url)
    : url_(usableAddress(url)), where_(pgWhere(url)), cancelKey_(std::make_shared<CancelKey>()) {
    try {
        reconnect("connecting");
    } catch (...) {
        // No destructor runs for an object whose constructor threw.
        PQfinish(conn_);
        conn_ = nullptr;
        throw;
    }
}

PgConnection::~PgConnection() {
    PQfinish(conn_);
}

bool PgConnection::connected() const {
    return !broken_ && PQstatus(conn_) == CONNECTION_OK;
}

namespace {

// The program's own settings joined to an `options` the address may carry: the address's settings
// stay and ours follow them, so a statement is bounded whatever the address says.
std::string withStatementTimeout(std::string_view url) {
    const std::string own = addressOption(url, "options");
    return own.empty() ? "-c statement_timeout=15000" : own + " -c statement_timeout=15000";
}

} // namespace

void PgConnection::reconnect(std::string_view doing) {
    PQfinish(conn_);
    conn_ = nullptr;
    // What the address says wins (expand_dbname) over the defaults before it; the settings after
    // it are the program's own whatever the address carries: the encoding its texts need, the
    // address's options with the statement timeout added, connecting bounded to 5 s, and
    // keepalives with a user timeout so that a silent network is noticed within about 20 s.
    const std::string options = withStatementTimeout(url_);
    const std::array<const char*, 12> keys = {
        "application_name", "dbname",           "client_encoding", "options",
        "connect_timeout",  "keepalives",       "keepalives_idle", "keepalives_interval",
        "keepalives_count", "tcp_user_timeout", nullptr,           nullptr};
    const std::array<const char*, 12> values = {"arrowsel", url_.c_str(), "UTF8", options.c_str(), "5",     "1",
                                                "5",        "5",          "3",    "20000",         nullptr, nullptr};
    conn_ = PQconnectdbParams(keys.data(), values.data(), 1);
    if (conn_ == nullptr) {
        throw EBookUnreachable("The customer book on " + where_ + " cannot be reached: out of memory.");
    }
    if (std::string used = connectionWhere(conn_); !used.empty()) {
        where_ = std::move(used);
    }
    if (PQstatus(conn_) != CONNECTION_OK) {
        failConnection(doing);
    }
    // The server's notices ("already exists, skipping") are not for the user; failures are
    // reported through the results.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
    cancelKey_->takeFrom(conn_);
}

void PgConnection::failConnection(std::string_view doing) {
    const std::string cause = silent_ ? std::string("the server sent nothing for 20 s (the network or the server went "
                                                    "silent); what was sent may or may not have arrived")
                                      : trimmed(PQerrorMessage(conn_));
    if (doing == "connecting") {
        throw EBookUnreachable("The customer book on " + where_ + " cannot be reached: " + cause + "." +
                               hintFor(cause));
    }
    throw EBookUnreachable("The connection to the customer book on " + where_ + " broke while " + std::string(doing) +
                           ": " + cause + "." + hintFor(cause));
}

// The statement's last result, as PQexec gives it, or nullptr when the server said nothing for
// 20 s: longer than the statement timeout, so a statement the server ends reports why, while a
// network that goes silent (a proxy, a hung host whose kernel still answers TCP) is given up.
pg_result* PgConnection::awaitResult() {
    constexpr auto kSilence = std::chrono::seconds(20);
    const int socket = PQsocket(conn_);
    PGresult* last = nullptr;
    for (;;) {
        auto deadline = std::chrono::steady_clock::now() + kSilence;
        while (PQisBusy(conn_) != 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd p{socket, POLLIN, 0};
            const int ready = left.count() > 0 ? ::poll(&p, 1, static_cast<int>(left.count())) : 0;
            if (ready == 0) {
                PQclear(last);
                silent_ = true;
                return nullptr;
            }
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (PQconsumeInput(conn_) == 0) {
                break; // PQgetResult reports the broken connection
            }
            deadline = std::chrono::steady_clock::now() + kSilence;
        }
        PGresult* next = PQgetResult(conn_);
        if (next == nullptr) {
            return last;
        }
        PQclear(last);
        last = next;
    }
}

PgResult PgConnection::exec(std::string_view sql, const PgParams& params, std::string_view doing, bool retry) {
    lastState_.clear();
    if (!connected()) {
        broken_ = false;
        PQreset(conn_);
        if (PQstatus(conn_) != CONNECTION_OK) {
            failConnection(doing);
        }
        cancelKey_->takeFrom(conn_);
    }
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const auto& p : params) {
        values.push_back(p ? p->c_str() : nullptr);
    }
    const std::string text(sql);
    cancelKey_->beginStatement();
    silent_ = false;
    PGresult* raw = nullptr;
    if (PQsendQueryParams(conn_, text.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                          nullptr, 0) != 0) {
        raw = awaitResult();
    }
    PgResult r(raw);
    const ExecStatusType status = raw != nullptr ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
        return r;
    }
    const char* state = raw != nullptr ? PQresultErrorField(raw, PG_DIAG_SQLSTATE) : nullptr;
    // Every answer of the server carries a SQLSTATE; an error without one is libpq's own: the
    // connection broke (a write to a closed socket leaves the status as it was until a read).
    broken_ = state == nullptr;
    if (!connected()) {
        if (retry) {
            broken_ = false;
            PQreset(conn_);
            if (PQstatus(conn_) == CONNECTION_OK) {
                cancelKey_->takeFrom(conn_);
                return exec(sql, params, doing, false);
            }
        }
        failConnection(doing);
    }
    lastState_ = state != nullptr ? state : "";
    if (lastState_ == kQueryCanceled && cancelKey_->strayCancel()) {
        return exec(sql, params, doing, retry);
    }
    const std::string cause = trimmed(raw != nullptr ? PQresultErrorMessage(raw) : PQerrorMessage(conn_));
    std::string hint;
    if (lastState_ == kInsufficientPrivilege) {
        hint = " The role needs the rights the user's guide lists on the customer table.";
    } else if (lastState_ == kUndefinedTable) {
        hint = " Run arrowsel-cli customers init --book ADDRESS as the database's owner.";
    }
    throw EBookError("The customer book on " + where_ + " refused " + std::string(doing) + ": " + cause + "." + hint);
}

} // namespace arrowsel::records
