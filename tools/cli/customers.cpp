// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/file_io.h"
#include "data/text.h"
#include "records/book_address.h"
#include "records/customer_book.h"
#include "records/file_book.h"
#include "records/server_text.h"
#include "tools/cli/commands.h"
#include "tools/cli/json.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace arrowsel::cli {

// Each customers command's help, and the whole of them in the order the help lists them.
#define ARROWSEL_INIT_USAGE                                                                                            \
    "  customers init --book postgresql://OWNER@HOST/DATABASE\n"                                                       \
    "      Creates the customer book's table in a PostgreSQL database, or brings it up to this\n"                      \
    "      program's schema (forward only; run again, it changes nothing). Run it as the\n"                            \
    "      database's owner; the password comes from ~/.pgpass.\n"
#define ARROWSEL_COPY_USAGE                                                                                            \
    "  customers copy --from BOOK --to BOOK [--replace]\n"                                                             \
    "      Copies every customer record (deleted ones left out) from one book to another, in the\n"                    \
    "      order they were added. A BOOK is a data folder or a postgresql:// address. A book that\n"                   \
    "      already holds records is refused unless --replace is given; a folder's replaced files\n"                    \
    "      are kept in a folder beside them. Prints the number of records copied.\n"
#define ARROWSEL_FIND_USAGE                                                                                            \
    "  customers find PREFIX --book BOOK [--json]\n"                                                                   \
    "      Prints the record the lookup's search lands on: the first in name order whose name\n"                       \
    "      begins with PREFIX. Exits with 1 when there is none, with 69 when the book's server\n"                      \
    "      cannot be reached.\n"
#define ARROWSEL_EXPORT_USAGE                                                                                          \
    "  customers export --book BOOK --out FILE\n"                                                                      \
    "      Writes the comma-delimited customer export (custdb.txt's format) of the book to FILE.\n"
#define ARROWSEL_REINDEX_USAGE                                                                                         \
    "  customers reindex --book FOLDER\n"                                                                              \
    "      Builds the folder's name index (Saved.idx) again from the customer records, as the\n"                       \
    "      lookup's Rebuild does, when another program changed records without it.\n"

const char* const kCustomersUsage =
    ARROWSEL_INIT_USAGE ARROWSEL_COPY_USAGE ARROWSEL_FIND_USAGE ARROWSEL_EXPORT_USAGE ARROWSEL_REINDEX_USAGE;

namespace {

namespace fs = std::filesystem;

int usageError(const std::string& message) {
    std::fprintf(stderr, "arrowsel-cli customers: %s\nusage: arrowsel-cli\n%s", message.c_str(), kCustomersUsage);
    return kExitUsage;
}

int failure(std::string_view command, std::string message, int status = kExitFailure) {
    // The table engine's fixed texts break their lines with CR; a terminal wants LF.
    std::replace(message.begin(), message.end(), '\r', '\n');
    std::fprintf(stderr, "arrowsel-cli customers %.*s: %s\n", static_cast<int>(command.size()), command.data(),
                 message.c_str());
    return status;
}

// A book error as the command ends on it: a server that was not reached has a status of its own,
// so that a script can try again later rather than take the book for empty.
int failure(std::string_view command, const records::EBookError& e) {
    const bool unreachable = dynamic_cast<const records::EBookUnreachable*>(&e) != nullptr;
    return failure(command, e.what(), unreachable ? kExitBookUnreachable : kExitFailure);
}

void printNotices(records::CustomerBook& book) {
    for (const std::string& notice : book.takeNotices()) {
        std::fprintf(stderr, "%s\n", notice.c_str());
    }
}

// The same book named twice, as the same folder or the same address.
bool sameBook(const std::string& a, const std::string& b) {
    if (records::isServerAddress(a) || records::isServerAddress(b)) {
        return a == b;
    }
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

std::unique_ptr<records::CustomerBook> openTarget(const std::string& address,
                                                  const std::vector<records::SetupField>& fields) {
    if (!records::isServerAddress(address)) {
        std::error_code ec;
        if (!fs::is_directory(address, ec)) {
            throw records::EBookError("The folder " + address + " does not exist. Create it first.");
        }
        if (!data::findFileNoCase(fs::path(address) / records::kSavedTable)) {
            records::FileBook::create(address, fields);
        }
    }
    return records::openCustomerBookAt(address);
}

// A name as a message shows it: blanks trimmed, control characters (a NUL among them) as "?".
std::string shownName(const records::BookRecord& r) {
    for (const records::FieldValue& f : r) {
        if (f.name == "NAME") {
            std::string name(data::trimTrailingSpaces(f.text));
            std::replace_if(
                name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
            return name;
        }
    }
    return {};
}

// A server book would refuse or cut such a text: the copy stops before anything is stored, naming
// the first record and field that holds one, rather than change a record silently.
void refuseWhatTheServerCannotHold(const std::vector<records::BookRecord>& all, const std::string& from) {
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (const records::FieldValue& f : all[i]) {
            if (const auto what = records::textTheServerCannotHold(f.text)) {
                throw records::EBookError("The customer record \"" + shownName(all[i]) + "\" (number " +
                                          std::to_string(i + 1) + " in the order added, in " + from + ") holds " +
                                          *what + " in its field " + f.name +
                                          ", which the book on the server cannot hold. Nothing was copied; correct "
                                          "the record (Get Setup) and copy again.");
            }
        }
    }
}

int initCommand(std::span<const std::string_view> args) {
    CommandLine o;
    if (const auto problem = readCommandLine(args, optionSpecs({"--book"}), o)) {
        return usageError(*problem);
    }
    const std::string* book = o.last("--book");
    if (book == nullptr) {
        return usageError("init needs --book");
    }
    if (!records::isServerAddress(*book)) {
        return usageError("init needs a postgresql:// address; a folder's files need no set-up");
    }
    try {
        std::printf("%s\n", records::initServerBook(*book).c_str());
    } catch (const records::EBookError& e) {
        return failure("init", e);
    }
    return kExitOk;
}

int copyCommand(std::span<const std::string_view> args) {
    CommandLine o;
    if (const auto problem = readCommandLine(args, optionSpecs({"--from", "--to"}, {"--replace"}), o)) {
        return usageError(*problem);
    }
    if (o.last("--from") == nullptr || o.last("--to") == nullptr) {
        return usageError("copy needs --from and --to");
    }
    const std::string& from = *o.last("--from");
    const std::string& to = *o.last("--to");
    if (sameBook(from, to)) {
        return failure("copy", "--from and --to name the same book; nothing was copied.");
    }
    try {
        auto source = records::openCustomerBookAt(from);
        printNotices(*source);
        const std::vector<records::BookRecord> all = source->allRecords();
        if (records::isServerAddress(to)) {
            refuseWhatTheServerCannotHold(all, source->where());
        }
        auto target = openTarget(to, source->fields());
        printNotices(*target);
        const bool replace = o.last("--replace") != nullptr;
        if (const std::uint32_t held = target->count(); held != 0 && !replace) {
            return failure("copy", target->where() + " already holds " + std::to_string(held) +
                                       " customer records; nothing was copied. Give --replace to replace them.");
        }
        target->appendAll(all, replace);
        printNotices(*target);
        std::printf("%zu customer records copied\n", all.size());
    } catch (const records::EBookError& e) {
        return failure("copy", e);
    }
    return kExitOk;
}

int findCommand(std::span<const std::string_view> args) {
    CommandLine o;
    if (const auto problem = readCommandLine(args, optionSpecs({"--book"}, {"--json"}), o, PlainArgs::Kept)) {
        return usageError(*problem);
    }
    if (o.plain.size() != 1 || o.last("--book") == nullptr) {
        return usageError("find needs one PREFIX and --book");
    }
    const bool json = o.last("--json") != nullptr;
    try {
        auto book = records::openCustomerBookAt(*o.last("--book"));
        printNotices(*book);
        const bool found = book->seek(o.plain.front());
        std::string out;
        if (json) {
            out = "{\"found\": ";
            out += found ? "true" : "false";
            out += ", \"record\": ";
        }
        if (found) {
            out += json ? "{" : "";
            bool firstField = true;
            for (const records::SetupField& f : book->fields()) {
                std::string text = book->fieldText(f.name);
                if (f.kind != records::SetupFieldKind::Comments) {
                    text = std::string(data::trimTrailingSpaces(text));
                }
                if (json) {
                    out += firstField ? "" : ", ";
                    appendJsonString(out, f.name);
                    out += ": ";
                    appendJsonString(out, text);
                } else {
                    out += f.name + ": " + text + "\n";
                }
                firstField = false;
            }
            out += json ? "}" : "";
        } else if (json) {
            out += "null";
        } else {
            out = "Name not found\n";
        }
        if (json) {
            out += "}\n";
        }
        std::fputs(out.c_str(), stdout);
        return found ? kExitOk : kExitFailure;
    } catch (const records::EBookError& e) {
        return failure("find", e);
    }
}

int exportCommand(std::span<const std::string_view> args) {
    CommandLine o;
    if (const auto problem = readCommandLine(args, optionSpecs({"--book", "--out"}), o)) {
        return usageError(*problem);
    }
    if (o.last("--book") == nullptr || o.last("--out") == nullptr) {
        return usageError("export needs --book and --out");
    }
    try {
        auto book = records::openCustomerBookAt(*o.last("--book"));
        printNotices(*book);
        book->exportText(*o.last("--out"));
        std::printf("%s written\n", o.last("--out")->c_str());
    } catch (const records::EBookError& e) {
        return failure("export", e);
    }
    return kExitOk;
}

int reindexCommand(std::span<const std::string_view> args) {
    CommandLine o;
    if (const auto problem = readCommandLine(args, optionSpecs({"--book"}), o)) {
        return usageError(*problem);
    }
    if (o.last("--book") == nullptr) {
        return usageError("reindex needs --book");
    }
    try {
        auto book = records::openCustomerBookAt(*o.last("--book"));
        printNotices(*book);
        book->rebuildIndex();
        printNotices(*book);
    } catch (const records::EBookError& e) {
        return failure("reindex", e);
    }
    return kExitOk;
}

} // namespace

int customersCommand(std::span<const std::string_view> args) {
    if (args.empty()) {
        return usageError("which customers command?");
    }
    const std::string_view sub = args[0];
    if (sub == "--help" || sub == "-h") {
        std::fprintf(stdout, "usage: arrowsel-cli\n%s", kCustomersUsage);
        return kExitOk;
    }
    struct Sub {
        std::string_view name;
        int (*run)(std::span<const std::string_view>);
        const char* usage;
    };
    static constexpr Sub kSubs[] = {
        {"init", initCommand, ARROWSEL_INIT_USAGE},          {"copy", copyCommand, ARROWSEL_COPY_USAGE},
        {"find", findCommand, ARROWSEL_FIND_USAGE},          {"export", exportCommand, ARROWSEL_EXPORT_USAGE},
        {"reindex", reindexCommand, ARROWSEL_REINDEX_USAGE},
    };
    for (const Sub& s : kSubs) {
        if (sub != s.name) {
            continue;
        }
        const auto rest = args.subspan(1);
        if (asksForHelp(rest)) {
            std::fprintf(stdout, "usage: arrowsel-cli\n%s", s.usage);
            return kExitOk;
        }
        return s.run(rest);
    }
    return usageError("unknown customers command '" + std::string(sub) + "'");
}

} // namespace arrowsel::cli
