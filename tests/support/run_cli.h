// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the built arrowsel-cli as a user would, through the shell, and keeps what it printed.

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace arrowsel::test {

struct CliOutcome {
    int status = -1; // exit status; -1 when it did not end normally or did not start
    std::string out;
};

enum class CliStderr { Dropped, Kept };

inline std::string shellQuoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

// `out` is standard output, followed by standard error where `stderrIs` keeps it.
inline CliOutcome runCli(const std::vector<std::string>& args, CliStderr stderrIs = CliStderr::Dropped) {
    std::string command = shellQuoted((std::filesystem::path(ARROWSEL_BINARY_DIR) / "tools" / "arrowsel-cli").string());
    for (const auto& a : args) {
        command += " " + shellQuoted(a);
    }
    command += stderrIs == CliStderr::Kept ? " 2>&1" : " 2>/dev/null";
    CliOutcome o;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return o;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        o.out.append(buffer.data(), n);
    }
    const int raw = ::pclose(pipe);
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return o;
}

} // namespace arrowsel::test
