// SPDX-License-Identifier: GPL-3.0-or-later
//
// Every command line of arrowsel-cli is read here, by glibc's getopt_long rather than CLI11
// (Debian's libcli11-dev 2.1.2). getopt_long takes an option's value as the commands always
// have: the next argument whatever it looks like (--bow-type -1, --customer -), and after an
// equals sign even when empty (--customer= is no customer); CLI11 2.1 reads "--customer= --json"
// as a customer named "--json". Our help texts, messages and exit statuses stay our own, which
// CLI11 would have had to be talked out of (its messages repeat a mistyped option whole, a
// book's address with a password included), and it costs no build dependency. getopt_long's own
// messages are silenced for that same reason, and the abbreviations it accepts (--js for --json)
// are refused, so that a mistyped option is never taken for another.
#include "records/book_address.h"
#include "tools/cli/commands.h"

#include <algorithm>
#include <getopt.h>
#include <vector>

namespace arrowsel::cli {

const std::string* CommandLine::last(std::string_view name) const {
    const auto found =
        std::find_if(options.rbegin(), options.rend(), [name](const auto& o) { return o.first == name; });
    return found == options.rend() ? nullptr : &found->second;
}

std::vector<OptionSpec> optionSpecs(std::initializer_list<const char*> valued,
                                    std::initializer_list<const char*> flags) {
    std::vector<OptionSpec> specs;
    for (const char* name : valued) {
        specs.push_back({name, true});
    }
    for (const char* name : flags) {
        specs.push_back({name, false});
    }
    return specs;
}

bool asksForHelp(std::span<const std::string_view> args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::any_of(args.begin(), end, [](std::string_view a) { return a == "--help" || a == "-h"; });
}

std::optional<std::string> readCommandLine(std::span<const std::string_view> args, std::span<const OptionSpec> specs,
                                           CommandLine& out, PlainArgs plain) {
    // getopt_long wants a program name first and may write to what it is given.
    std::vector<std::string> texts{"arrowsel-cli"};
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(texts.size() + 1);
    for (std::string& t : texts) {
        argv.push_back(t.data());
    }
    argv.push_back(nullptr);
    // Options keep their order with plain arguments (leading '-': each plain one is returned in
    // turn, nothing is moved) or end at the first (leading '+'); ':' reports a missing value.
    std::string shorts = plain == PlainArgs::EndOptions ? "+:" : "-:";
    std::vector<option> longs;
    constexpr int kFirstLong = 0x100;
    for (const OptionSpec& s : specs) {
        longs.push_back({s.name + 2, s.valued ? required_argument : no_argument, nullptr,
                         kFirstLong + static_cast<int>(longs.size())});
        if (s.shortName != 0) {
            shorts += s.shortName;
        }
    }
    longs.push_back({});
    const auto specOf = [&](int code) -> const OptionSpec* {
        if (code >= kFirstLong && code < kFirstLong + static_cast<int>(specs.size())) {
            return &specs[static_cast<std::size_t>(code - kFirstLong)];
        }
        const auto s = std::find_if(specs.begin(), specs.end(),
                                    [code](const OptionSpec& o) { return o.shortName != 0 && o.shortName == code; });
        return s == specs.end() ? nullptr : &*s;
    };

    opterr = 0;
    optind = 0; // glibc: start afresh, as another command line may have been read before
    for (;;) {
        const int at = std::max(optind, 1);
        const int code =
            getopt_long(static_cast<int>(argv.size() - 1), argv.data(), shorts.c_str(), longs.data(), nullptr);
        if (code == -1) {
            out.end = static_cast<std::size_t>(optind - 1);
            // After a "--", or where the options end.
            for (int i = optind; i < static_cast<int>(argv.size() - 1); ++i) {
                out.plain.emplace_back(argv[static_cast<std::size_t>(i)]);
            }
            if (plain == PlainArgs::Refused && !out.plain.empty()) {
                return "unexpected argument '" + records::maskedAddress(out.plain.front()) + "'";
            }
            return std::nullopt;
        }
        if (code == 1) {
            out.plain.emplace_back(optarg);
            continue;
        }
        // The option's name only: a mistyped option's value may be an address with a password.
        const std::string_view given(argv[static_cast<std::size_t>(at)]);
        const std::string name(given.substr(0, given.find('=')));
        const OptionSpec* spec = specOf(code == '?' || code == ':' ? optopt : code);
        if (spec == nullptr || (name.starts_with("--") && name != spec->name)) {
            return "unknown option '" + name + "'";
        }
        if (code == ':') {
            return "option " + std::string(spec->name) + " needs a value";
        }
        if (code == '?') {
            return "option " + std::string(spec->name) + " takes no value";
        }
        out.options.emplace_back(spec->name, spec->valued ? std::string(optarg) : std::string());
    }
}

} // namespace arrowsel::cli
