// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Another process working on the same files: the shared-use and crash tests run the other side of
// a conversation, or the writer they kill, in a forked child.

#include <cstdio>
#include <exception>
#include <functional>
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

} // namespace arrowsel::test
