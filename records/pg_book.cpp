// SPDX-License-Identifier: GPL-3.0-or-later
// The customer book on a PostgreSQL server (a postgresql:// address; the password from libpq's
// ~/.pgpass or service file). It answers as the files do: the same name order, seek rule, texts
// and export bytes, because every value goes through the same field rule (storedText) on its way
// in and out. Every move and search asks the server, so another counter's new records show at the next
// one. A save is one statement, so one transaction; an update names the row version it read and
// fails with ERecordChangedElsewhere when another counter changed the record since. A new record
// carries an identity (setup_id) made here: when the connection breaks during a save, the save is
// tried once more on a fresh connection, and a record that did arrive is found by it, not doubled. Opening
// checks the schema's version (see pg_schema.h).

#include "data/table_error.h"
#include "data/text.h"
#include "data/text_export.h"
#include "records/customer_book.h"
#include "records/file_fields.h"
#include "records/pg_connection.h"
#include "records/pg_schema.h"
#include "records/saved_layout.h"

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <utility>

namespace arrowsel::records {
namespace {

using K = SetupFieldKind;

constexpr data::CodePage kCodePage = data::CodePage::Windows1252;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string quoted(const SetupField& f) {
    return "\"" + lower(f.name) + "\"";
}

// A random (version 4) UUID in its text form: the identity of a record this program adds.
std::string newSetupId() {
    static thread_local std::random_device device;
    std::array<unsigned char, 16> b{};
    for (std::size_t i = 0; i < b.size(); i += 4) {
        const unsigned int r = device();
        for (std::size_t k = 0; k < 4; ++k) {
            b[i + k] = static_cast<unsigned char>(r >> (8 * k));
        }
    }
    b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);
    b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            out += '-';
        }
        out += kHex[b[i] >> 4];
        out += kHex[b[i] & 0x0F];
    }
    return out;
}

// bytea's text form, for a key travelling as a parameter.
std::string byteaText(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\\x";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
    return out;
}

// A row of saved_setups: its identity and version on the server, its place in name order, and
// the record's texts as storedText gives them.
struct Row {
    std::string seq;
    std::string version;
    std::string key; // name_key in bytea's text form
    SavedRecord record;
};

class PgBook final : public CustomerBook {
public:
    explicit PgBook(std::string_view url)
        : conn_(url), label_("saved_setups on " + conn_.where()), fields_(savedSetupFields()) {
        checkPgSchema(conn_);
        std::string columns;
        for (const SetupField& f : fields_) {
            blank_.fields.push_back({f.name, storedText(f, "", kCodePage, label_)});
            columns += columns.empty() ? "" : ", ";
            columns += quoted(f);
            select_ += ", " + readExpression(f);
        }
        seek_ = "SELECT seq, row_version, name_key" + select_ +
                ", substr(name_key, 1, $2::integer) = $1::bytea FROM saved_setups WHERE name_key >= $1::bytea "
                "ORDER BY name_key, seq LIMIT 1";
        export_ = "SELECT " + select_.substr(2) + " FROM saved_setups ORDER BY seq";
        select_ = "SELECT seq, row_version, name_key" + select_ + " FROM saved_setups ";
        std::string params;
        std::string assignments;
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            const std::string p = "$" + std::to_string(i + 1) + writeCast(fields_[i]);
            params += (i == 0 ? "" : ", ") + p;
            assignments += ", " + quoted(fields_[i]) + " = " + p;
        }
        const std::string returning = select_.substr(std::string_view("SELECT ").size());
        const std::string back = " RETURNING " + returning.substr(0, returning.find(" FROM "));
        insert_ = "INSERT INTO saved_setups (" + columns + ", setup_id) VALUES (" + params + ", $" +
                  std::to_string(fields_.size() + 1) + "::uuid)" + back;
        insertMany_ = "INSERT INTO saved_setups (" + columns + ") VALUES ";
        update_ = "UPDATE saved_setups SET row_version = row_version + 1" + assignments + " WHERE seq = $" +
                  std::to_string(fields_.size() + 1) + "::bigint AND ($" + std::to_string(fields_.size() + 2) +
                  "::bigint IS NULL OR row_version = $" + std::to_string(fields_.size() + 2) + "::bigint)" + back;
        first(); // as the files open: on the first record in name order
    }

    std::string where() const override { return conn_.where(); }
    std::function<void()> canceller() override { return conn_.canceller(); }
    data::CodePage codePage() const override { return kCodePage; }
    const std::vector<SetupField>& fields() const override { return fields_; }
    const SavedRecord& current() const override { return current_ ? current_->record : end_; }

    std::uint32_t count() override {
        const PgResult r = conn_.exec("SELECT count(*) FROM saved_setups", {}, "counting the customers", true);
        return static_cast<std::uint32_t>(std::stoul(std::string(r.text(0, 0))));
    }

    void first() override { standAtEnd("ORDER BY name_key, seq LIMIT 1"); }
    void last() override { standAtEnd("ORDER BY name_key DESC, seq DESC LIMIT 1"); }

    void next() override {
        if (eof_) {
            return;
        }
        auto row = fetchOne("WHERE (name_key, seq) > ($1::bytea, $2::bigint) ORDER BY name_key, seq LIMIT 1",
                            {current_->key, current_->seq});
        if (!row) {
            // As the files: past the last record is the end; bof stays as it was.
            current_.reset();
            eof_ = true;
            return;
        }
        standOn(std::move(*row));
    }

    void prior() override {
        if (eof_) {
            last();
            return;
        }
        auto row = fetchOne("WHERE (name_key, seq) < ($1::bytea, $2::bigint) ORDER BY name_key DESC, seq DESC LIMIT 1",
                            {current_->key, current_->seq});
        if (!row) {
            bof_ = true; // stays on the first record
            return;
        }
        standOn(std::move(*row));
    }

    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }

    bool seek(std::string_view prefix) override {
        if (const std::optional<std::string> key = seekKey(prefix)) {
            // The first name at or after the prefix either begins with it or none does; asking
            // for the match itself would scan every later name on a miss.
            const PgResult r =
                conn_.exec(seek_, {byteaText(*key), std::to_string(key->size())}, "searching the customers", true);
            if (r.rows() == 1 && r.text(0, static_cast<int>(fields_.size()) + 3) == "t") {
                standOn(readRow(r, 0));
                return true;
            }
        }
        // The files' rule for a miss: the last record in name order, the end when there is none.
        if (auto row = fetchOne("ORDER BY name_key DESC, seq DESC LIMIT 1", {})) {
            standOn(std::move(*row));
        } else {
            current_.reset();
            eof_ = true;
        }
        return false;
    }

    void update(const std::vector<FieldValue>& values, bool overwrite) override {
        if (!current_) {
            throw EBookError("There is no customer record shown to change in the customer book on " + where() + ".");
        }
        Row changed = *current_;
        apply(changed, values);
        PgParams params = writeParams(changed);
        params.emplace_back(current_->seq);
        params.push_back(overwrite ? std::nullopt : std::optional<std::string>(current_->version));
        std::optional<PgResult> sent;
        bool resent = false;
        try {
            sent.emplace(conn_.exec(update_, params, "storing the customer's record"));
        } catch (const EBookError&) {
            if (conn_.connected()) {
                throw; // refused: the server said why
            }
            // The connection broke (a restart, a lost reply): once more on a fresh one. The row
            // version makes that safe; an update that did arrive shows as our own change below.
            sent.emplace(conn_.exec(update_, params, "storing the customer's record"));
            resent = true;
        }
        const PgResult& r = *sent;
        if (r.rows() == 0 && resent && !overwrite) {
            auto stored = fetchOne("WHERE seq = $1::bigint", {current_->seq});
            if (stored && stored->version == std::to_string(std::stoll(current_->version) + 1) &&
                stored->record.fields == changed.record.fields) {
                standOn(std::move(*stored));
                return;
            }
        }
        if (r.rows() == 0) {
            if (overwrite) {
                throw EBookError("The customer's record is no longer in the customer book on " + where() +
                                 "; nothing was stored. Save it as a new customer instead.");
            }
            // Read it again, so the window can show what is stored or overwrite it knowingly; a
            // record removed meanwhile is no change to weigh.
            auto stored = fetchOne("WHERE seq = $1::bigint", {current_->seq});
            if (!stored) {
                throw EBookError("The customer's record is no longer in the customer book on " + where() +
                                 "; nothing was stored. Save it as a new customer instead.");
            }
            standOn(std::move(*stored));
            throw ERecordChangedElsewhere("Another counter changed this customer's record in the customer book on " +
                                          where() + " since it was shown here; nothing was stored.");
        }
        standOn(readRow(r, 0));
    }

    void append(const std::vector<FieldValue>& values) override {
        PgParams params = writeParams(blankRow(values));
        // The same record saved again after a save that ended unknown keeps its identity, so
        // whatever of the first attempt arrived is found, not doubled.
        const bool again = unsure_ && unsure_->first == params;
        const std::string id = again ? unsure_->second : newSetupId();
        unsure_.reset();
        if (again) {
            if (auto arrived = fetchOne("WHERE setup_id = $1::uuid", {id})) {
                standOn(std::move(*arrived));
                return;
            }
        }
        params.emplace_back(id);
        try {
            const PgResult r = conn_.exec(insert_, params, "storing the new customer");
            standOn(readRow(r, 0));
            return;
        } catch (const EBookError&) {
            if (conn_.connected()) {
                throw; // refused: the server said why, and nothing was stored
            }
        }
        // The connection broke (a restart, a lost reply): on a fresh one, the record is looked
        // for by its identity and stored once only when it did not arrive.
        try {
            if (auto arrived = fetchOne("WHERE setup_id = $1::uuid", {id})) {
                standOn(std::move(*arrived));
                return;
            }
            const PgResult r = conn_.exec(insert_, params, "storing the new customer");
            standOn(readRow(r, 0));
        } catch (const EBookError&) {
            if (!conn_.connected()) {
                params.pop_back();
                unsure_.emplace(std::move(params), id);
            }
            throw;
        }
    }

    std::vector<BookRecord> allRecords() override {
        const PgResult r = conn_.exec(export_, {}, "reading the customers", true);
        std::vector<BookRecord> all;
        all.reserve(static_cast<std::size_t>(r.rows()));
        for (int i = 0; i < r.rows(); ++i) {
            Row row;
            readFields(r, i, 0, row);
            all.push_back(std::move(row.record.fields));
        }
        return all;
    }

    // One transaction: a copy lands whole or not at all, and `replace` removes the old records in
    // the same one. Rows go many to a statement, so a large book takes few round trips.
    void appendAll(const std::vector<BookRecord>& records, bool replace) override {
        std::vector<PgParams> rows;
        rows.reserve(records.size());
        for (const BookRecord& values : records) {
            rows.push_back(writeParams(blankRow(values)));
        }
        conn_.exec("BEGIN", {}, "storing the copied customers");
        try {
            if (replace) {
                conn_.exec("DELETE FROM saved_setups", {}, "removing the customers to be replaced");
            }
            constexpr std::size_t kPerStatement = 500;
            for (std::size_t at = 0; at < rows.size(); at += kPerStatement) {
                const std::size_t n = std::min(kPerStatement, rows.size() - at);
                std::string sql = insertMany_;
                PgParams params;
                params.reserve(n * fields_.size());
                for (std::size_t k = 0; k < n; ++k) {
                    sql += k == 0 ? "(" : ", (";
                    for (std::size_t c = 0; c < fields_.size(); ++c) {
                        params.push_back(std::move(rows[at + k][c]));
                        sql += (c == 0 ? "$" : ", $") + std::to_string(params.size()) + writeCast(fields_[c]);
                    }
                    sql += ")";
                }
                conn_.exec(sql, params, "storing the copied customers");
            }
            conn_.exec("COMMIT", {}, "storing the copied customers");
        } catch (const EBookError&) {
            abandonTransaction();
            throw;
        }
    }

    void exportText(const std::filesystem::path& file) override {
        const PgResult r = conn_.exec(export_, {}, "reading the customers for the export", true);
        std::string out;
        Row row;
        for (int i = 0; i < r.rows(); ++i) {
            readFields(r, i, 0, row);
            for (std::size_t c = 0; c < fields_.size(); ++c) {
                const std::string bytes = storedBytes(row.record.fields[c].text);
                data::text_export::appendValue(out, fileFieldType(fields_[c].kind), bytes, c == 0);
            }
            out += "\r\n";
        }
        try {
            data::text_export::AtomicFile target(file);
            target.write(out);
            target.commit();
        } catch (const data::ETableError& e) {
            throw EBookError(e.what());
        }
    }

    std::vector<std::string> takeNotices() override { return {}; }

private:
    static std::string readExpression(const SetupField& f) {
        std::string q = quoted(f);
        switch (f.kind) {
        case K::Date:
            return "to_char(" + q + ", 'YYYYMMDD')";
        case K::Flag:
            return "CASE WHEN " + q + " THEN 'T' WHEN NOT " + q + " THEN 'F' END";
        case K::Text:
        case K::Comments:
            return q;
        case K::Number:
            break;
        }
        return q + "::text";
    }

    static std::string writeCast(const SetupField& f) {
        switch (f.kind) {
        case K::Date:
            return "::date";
        case K::Flag:
            return "::boolean";
        case K::Text:
        case K::Comments:
            return "::text";
        case K::Number:
            break;
        }
        return "::numeric";
    }

    std::size_t fieldIndex(std::string_view field) const {
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (sameFieldName(fields_[i].name, field)) {
                return i;
            }
        }
        throw EBookError("The customer book on " + where() + " has no field " + std::string(field) + ".");
    }

    // The key bytes a seek compares, as the files form them; nullopt when no name can begin so.
    std::optional<std::string> seekKey(std::string_view prefix) const {
        std::string k;
        if (!data::encodeText(kCodePage, prefix, k)) {
            return std::nullopt;
        }
        const auto width = static_cast<std::size_t>(fields_[fieldIndex("NAME")].width);
        if (k.size() > width) {
            // Blanks past the name's width match its padding; anything else matches nothing.
            if (k.find_first_not_of(' ', width) != std::string::npos) {
                return std::nullopt;
            }
            k.resize(width);
        }
        return k;
    }

    // A stored text in the code page, as the export writes it.
    std::string storedBytes(const std::string& text) const {
        std::string bytes;
        if (!data::encodeText(kCodePage, text, bytes)) {
            throw EBookError("The customer book on " + where() + " holds comments this code page cannot store.");
        }
        return bytes;
    }

    void apply(Row& row, const std::vector<FieldValue>& values) const {
        for (const FieldValue& v : values) {
            const std::size_t i = fieldIndex(v.name);
            try {
                row.record.fields[i].text = storedText(fields_[i], v.text, kCodePage, label_);
            } catch (const EBookError& e) {
                throw EBookError(std::string(e.what()) + " Nothing was stored.");
            }
        }
    }

    // A new record: every field empty, then `values`.
    Row blankRow(const std::vector<FieldValue>& values) const {
        Row row;
        row.record = blank_;
        apply(row, values);
        return row;
    }

    // After a failed statement inside a transaction; a broken connection has dropped it already.
    void abandonTransaction() {
        try {
            conn_.exec("ROLLBACK", {}, "abandoning the copy");
        } catch (const EBookError&) {
            // Nothing was committed either way.
        }
    }

    PgParams writeParams(const Row& row) const {
        PgParams params;
        for (std::size_t c = 0; c < fields_.size(); ++c) {
            const std::string& text = row.record.fields[c].text;
            switch (fields_[c].kind) {
            case K::Comments:
                params.emplace_back(text);
                break;
            case K::Text:
                params.emplace_back(std::string(data::trimTrailingSpaces(text)));
                break;
            default:
                params.push_back(text.empty() ? std::nullopt : std::optional<std::string>(text));
                break;
            }
        }
        return params;
    }

    Row readRow(const PgResult& r, int i) const {
        Row row;
        row.seq = r.text(i, 0);
        row.version = r.text(i, 1);
        row.key = r.text(i, 2);
        readFields(r, i, 3, row);
        return row;
    }

    // The fields from the result's columns `from` onwards, each as the field rule keeps it.
    void readFields(const PgResult& r, int i, int from, Row& row) const {
        row.record.fields.resize(fields_.size());
        for (std::size_t c = 0; c < fields_.size(); ++c) {
            const SetupField& f = fields_[c];
            const int column = static_cast<int>(c) + from;
            const std::string_view value = r.isNull(i, column) ? std::string_view() : r.text(i, column);
            FieldValue& out = row.record.fields[c];
            out.name = f.name;
            if (f.kind == K::Comments) {
                out.text = value; // the table's check keeps it inside the code page
                continue;
            }
            try {
                out.text = storedText(f, value, kCodePage, label_);
            } catch (const EBookError& e) {
                throw EBookError(std::string(e.what()) +
                                 " The record was written by another program; correct it there.");
            }
        }
    }

    std::optional<Row> fetchOne(const std::string& clause, const PgParams& params) {
        const PgResult r = conn_.exec(select_ + clause, params, "reading the customers", true);
        if (r.rows() == 0) {
            return std::nullopt;
        }
        return readRow(r, 0);
    }

    void standAtEnd(const std::string& clause) {
        if (auto row = fetchOne(clause, {})) {
            standOn(std::move(*row));
        } else {
            current_.reset();
            eof_ = true;
            bof_ = true;
        }
    }

    void standOn(Row row) {
        current_ = std::move(row);
        eof_ = false;
        bof_ = false;
    }

    PgConnection conn_;
    std::string label_; // the table as the field rules' messages name it
    std::vector<SetupField> fields_;
    SavedRecord blank_; // every field empty, as a new record starts
    SavedRecord end_;   // what current() gives at the end
    std::string select_;
    std::string seek_;
    std::string export_;
    std::string insert_;
    std::string insertMany_;
    std::string update_;
    std::optional<Row> current_;
    // A new record whose save ended with the connection broken: its values and identity.
    std::optional<std::pair<PgParams, std::string>> unsure_;
    bool eof_ = true;
    bool bof_ = true;
};

} // namespace

std::unique_ptr<CustomerBook> openServerBook(std::string_view address) {
    return std::make_unique<PgBook>(address);
}

std::string serverBookWhere(std::string_view address) {
    return pgWhere(address);
}

} // namespace arrowsel::records
