// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Another process working on the same files: the shared-use and crash tests run the other side of
// a conversation, or the writer they kill, in a forked child.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace arrowsel::test {

// Runs `body` in a child process; returns its pid. The child's exit status is 0 when `body` ends
// normally, 1 when it throws.
inline pid_t runChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 0;
        try {
            body();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child: %s\n", e.what());
            status = 1;
        }
        ::_exit(status);
    }
    return pid;
}

// The raw wait status of `pid` once it has ended.
inline int waitChild(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// Runs `body` in a child process as a user without privileges when the tests run as root (root
// writes every file, so a read-only file means nothing to it): `folder` and what it holds are
// given to that user first. GoogleTest checks in `body` count: returns the child's wait status, 0 when
// `body` ended and every check passed.
inline int runUnprivileged(const std::filesystem::path& folder, const std::function<void()>& body) {
    return waitChild(runChild([&] {
        if (::geteuid() == 0) {
            constexpr uid_t kNobody = 65534;
            std::error_code ec;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec)) {
                [[maybe_unused]] const int owned = ::lchown(entry.path().c_str(), kNobody, kNobody);
            }
            [[maybe_unused]] const int folderOwned = ::chown(folder.c_str(), kNobody, kNobody);
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                throw std::runtime_error("cannot give up root");
            }
        }
        body();
        if (::testing::Test::HasFailure()) {
            throw std::runtime_error("a check failed in the child");
        }
    }));
}

} // namespace arrowsel::test
