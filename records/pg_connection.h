// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

namespace arrowsel::records {

// The rows a statement returned; values as text (NULL: nullopt).
class PgResult {
public:
    explicit PgResult(pg_result* r);
    ~PgResult();
    PgResult(PgResult&& other) noexcept;
    PgResult& operator=(PgResult&&) = delete;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    int rows() const;
    bool isNull(int row, int column) const;
    std::string_view text(int row, int column) const;
    std::string_view affected() const; // the count an INSERT or UPDATE reports

private:
    pg_result* r_;
};

using PgParams = std::vector<std::optional<std::string>>;

// One connection to the server that holds a customer book, through libpq. Every value travels as
// a bound parameter: statement texts are the program's own, never built from what a user typed.
// Failures throw EBookError naming the server and database (never the password) and the cause.
class PgConnection {
public:
    // Connects within 5 s, whatever the address says.
    explicit PgConnection(std::string_view url);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    PgConnection(PgConnection&&) = delete;
    PgConnection& operator=(PgConnection&&) = delete;

    // "the PostgreSQL server HOST:PORT, database NAME", for messages.
    const std::string& where() const { return where_; }

    // Runs one statement. `doing` says what for, as the message's verb phrase ("reading the
    // customers"). A statement that only reads may set `retry`: after a broken connection it is
    // run once more on a fresh one (the server may have been restarted meanwhile).
    PgResult exec(std::string_view sql, const PgParams& params, std::string_view doing, bool retry = false);

    // False after a statement failed because the connection broke: whether the server got it is
    // not known. The next exec connects afresh.
    bool connected() const;

    // Asks the server, from any thread, to end the statement this connection waits for; the call
    // returns at once (the request travels on a connection of its own, beside the caller).
    std::function<void()> canceller() const;

    // The SQLSTATE of the last statement that failed, for callers that tell causes apart.
    const std::string& lastState() const { return lastState_; }

private:
    void reconnect(std::string_view doing);
    pg_result* awaitResult();
    [[noreturn]] void failConnection(std::string_view doing);

    std::string url_;
    std::string where_;
    pg_conn* conn_ = nullptr;
    bool broken_ = false; // the last statement failed without the server's answer
    bool silent_ = false; // ... because the server said nothing for too long
    std::string lastState_;
    struct CancelKey;
    std::shared_ptr<CancelKey> cancelKey_; // the current connection's, for canceller()
};

// The place named by a postgresql:// address, as where() says it.
std::string pgWhere(std::string_view url);

// Identifiers and SQLSTATEs the book and its schema share.
inline constexpr const char* kUndefinedTable = "42P01";
inline constexpr const char* kInsufficientPrivilege = "42501";
inline constexpr const char* kQueryCanceled = "57014";

} // namespace arrowsel::records
