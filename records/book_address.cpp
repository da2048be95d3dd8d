// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_address.h"

#include "records/customer_book.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace arrowsel::records {
namespace {

// Where a password stands in an address's text.
struct Span {
    std::size_t pos;
    std::size_t len;
};

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool blank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// %XX decoding as libpq does it; nothing when an escape is broken.
std::optional<std::string> percentDecoded(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size() || std::isxdigit(static_cast<unsigned char>(s[i + 1])) == 0 ||
            std::isxdigit(static_cast<unsigned char>(s[i + 2])) == 0) {
            return std::nullopt;
        }
        out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
        i += 2;
    }
    return out;
}

void collectSpans(std::string_view a, std::size_t base, std::vector<Span>& out);

// A URI's database name (its path, or its dbname parameter) that reads as a connection string
// holding a password is hidden whole: its %-escapes leave no place to cut it finer.
void databaseNameSpan(std::string_view encoded, std::size_t pos, std::vector<Span>& out) {
    const std::optional<std::string> decoded = percentDecoded(encoded);
    std::vector<Span> inner;
    collectSpans(decoded ? std::string_view(*decoded) : encoded, 0, inner);
    if (!inner.empty()) {
        out.push_back({pos, encoded.size()});
    }
}

// A URI, read as libpq reads it: the user part runs to the first '@' met before any '/' (a '?'
// or ':' inside it included), the query follows the first '?' after it, the database name is the
// path between them or the dbname parameter. Keys are compared
// without regard to case and one that cannot be decoded has its value hidden too: what is
// masked may only be more than libpq would take for a password.
void uriSpans(std::string_view a, std::size_t base, std::vector<Span>& out) {
    std::size_t p = a.find("://") + 3;
    if (const std::size_t stop = a.find_first_of("@/", p); stop != std::string_view::npos && a[stop] == '@') {
        if (const std::size_t colon = a.find(':', p); colon < stop) {
            out.push_back({base + colon + 1, stop - colon - 1});
        }
        p = stop + 1;
    }
    const std::size_t query = std::min(a.find('?', p), a.size());
    if (const std::size_t path = a.find('/', p); path < query) {
        databaseNameSpan(a.substr(path + 1, query - path - 1), base + path + 1, out);
    }
    for (std::size_t i = query + 1; i <= a.size();) {
        const std::size_t amp = std::min(a.find('&', i), a.size());
        const std::string_view param = a.substr(i, amp - i);
        if (const std::size_t eq = param.find('='); eq != std::string_view::npos) {
            const auto key = percentDecoded(param.substr(0, eq));
            if (!key || lower(*key) == "password") {
                out.push_back({base + i + eq + 1, param.size() - eq - 1});
            } else if (lower(*key) == "dbname") {
                databaseNameSpan(param.substr(eq + 1), base + i + eq + 1, out);
            }
        }
        i = amp + 1;
    }
}

// A keyword line's value as libpq takes it: without its quotes, each backslash escape resolved.
std::string keywordValue(std::string_view raw, bool quoted, bool closed) {
    raw.remove_prefix(quoted ? 1 : 0);
    raw.remove_suffix(closed ? 1 : 0);
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            ++i;
        }
        out += raw[i];
    }
    return out;
}

// A keyword line: `key = value` pairs, a value quoted with '' or not, backslash escapes. A token
// without its '=' is passed over, so what follows it is still read.
void keywordSpans(std::string_view a, std::size_t base, std::vector<Span>& out) {
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < a.size() && blank(a[i])) {
            ++i;
        }
    };
    while (true) {
        skipBlanks();
        if (i >= a.size()) {
            return;
        }
        const std::size_t keyStart = i;
        while (i < a.size() && !blank(a[i]) && a[i] != '=') {
            ++i;
        }
        const std::string key = lower(a.substr(keyStart, i - keyStart));
        skipBlanks();
        if (i >= a.size() || a[i] != '=') {
            continue;
        }
        ++i;
        skipBlanks();
        const std::size_t valueStart = i;
        const bool quoted = i < a.size() && a[i] == '\'';
        i += quoted ? 1 : 0;
        while (i < a.size() && (quoted ? a[i] != '\'' : !blank(a[i]))) {
            i += (a[i] == '\\' && i + 1 < a.size()) ? 2 : 1;
        }
        const bool closed = quoted && i < a.size();
        i = std::min(i + (quoted ? 1 : 0), a.size());
        if (key == "password") {
            out.push_back({base + valueStart, i - valueStart});
        } else if (key == "dbname") {
            // libpq reads a connection string given as the database name as one of its own. A
            // plain value is masked where its own password stands; one with quotes or escapes is
            // read as libpq unquotes it and hidden whole, as its positions are not the line's.
            const std::string_view raw = a.substr(valueStart, i - valueStart);
            if (!quoted && raw.find('\\') == std::string_view::npos) {
                collectSpans(raw, base + valueStart, out);
            } else {
                std::vector<Span> inner;
                collectSpans(keywordValue(raw, quoted, closed), 0, inner);
                if (!inner.empty()) {
                    out.push_back({base + valueStart, raw.size()});
                }
            }
        }
    }
}

void collectSpans(std::string_view a, std::size_t base, std::vector<Span>& out) {
    if (isServerAddress(a)) {
        uriSpans(a, base, out);
    } else if (a.find('=') != std::string_view::npos) {
        keywordSpans(a, base, out);
    }
}

} // namespace

std::string maskedAddress(std::string_view address) {
    // libpq reads an address only up to a NUL byte, so the spans are found in that part; whatever
    // follows it is hidden whole, as nothing reads it the way this masking would.
    const std::size_t nul = address.find('\0');
    std::vector<Span> spans;
    collectSpans(address.substr(0, nul), 0, spans);
    if (nul != std::string_view::npos) {
        spans.push_back({nul, address.size() - nul});
    }
    std::sort(spans.begin(), spans.end(), [](const Span& x, const Span& y) { return x.pos < y.pos; });
    std::string out;
    std::size_t done = 0;
    for (const Span& s : spans) {
        if (s.pos < done) {
            continue;
        }
        out.append(address.substr(done, s.pos - done));
        out += "****";
        done = s.pos + s.len;
    }
    out.append(address.substr(std::min(done, address.size())));
    return out;
}

void refusePassword(std::string_view address, std::string_view source) {
    if (addressHoldsPassword(address)) {
        throw EBookError(std::string(source) +
                         ": the address holds a password. Passwords are not kept there; remove it and put "
                         "it in the ~/.pgpass file of each user who runs the program, or in a service file "
                         "(~/.pg_service.conf).");
    }
}

} // namespace arrowsel::records
