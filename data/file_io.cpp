// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/file_io.h"

#include "data/table_error.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace arrowsel::data {
namespace fs = std::filesystem;

void countReadIo(IoProbe* probe, ReadIo op) {
    if (probe != nullptr) {
        probe->readIo(op);
    }
}

namespace {

[[noreturn]] void fail(const std::string& what, const fs::path& path, int err) {
    throw ETableError(what + " " + path.string() + ": " + errorText(err) + ".");
}

int lockCommand(int fd, int cmd, short type, std::uint64_t offset) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = 1;
    fl.l_pid = 0;
    return ::fcntl(fd, cmd, &fl);
}

// The signal that cuts a lock wait short: a real-time signal nobody else in the process handles,
// given a handler that does nothing. Without SA_RESTART the blocked fcntl returns EINTR, and the
// waiter looks at its deadline. 0 when every such signal is taken.
int lockWaitSignal() {
    static const int sig = [] {
        struct sigaction quiet {};
        quiet.sa_handler = [](int) {};
        sigemptyset(&quiet.sa_mask);
        quiet.sa_flags = 0;
        for (int s = SIGRTMAX; s >= SIGRTMIN; --s) {
            struct sigaction old {};
            if (::sigaction(s, nullptr, &old) == 0 && (old.sa_flags & SA_SIGINFO) == 0 && old.sa_handler == SIG_DFL &&
                ::sigaction(s, &quiet, nullptr) == 0) {
                return s;
            }
        }
        return 0;
    }();
    return sig;
}

// A timer that sends lockWaitSignal() to the calling thread alone, first after `first` and then
// every few milliseconds until destroyed: a signal that lands just before the thread blocks is
// followed by another. The signal is unblocked in the thread meanwhile (a worker thread may block
// signals); it is sent only while the thread waits, so no other call of the thread sees an EINTR.
class WaitTimer {
public:
    WaitTimer(std::chrono::nanoseconds first, int& err) {
        const int sig = lockWaitSignal();
        if (sig == 0) {
            err = EAGAIN;
            return;
        }
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, sig);
        ::pthread_sigmask(SIG_UNBLOCK, &set, &oldMask_);
        struct sigevent ev {};
        ev.sigev_notify = SIGEV_THREAD_ID;
        ev.sigev_signo = sig;
        ev._sigev_un._tid = ::gettid(); // sigev_notify_thread_id, which glibc's headers do not name
        if (::timer_create(CLOCK_MONOTONIC, &ev, &timer_) != 0) {
            err = errno;
            ::pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
            return;
        }
        const auto secs = std::chrono::duration_cast<std::chrono::seconds>(first);
        struct itimerspec when {};
        when.it_value.tv_sec = secs.count();
        when.it_value.tv_nsec = static_cast<long>((first - secs).count());
        when.it_interval.tv_nsec = 10'000'000;
        if (::timer_settime(timer_, 0, &when, nullptr) != 0) {
            err = errno;
            ::timer_delete(timer_);
            ::pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
            return;
        }
        armed_ = true;
    }
    ~WaitTimer() {
        if (armed_) {
            // A signal sent before the deletion is taken on its return, while still unblocked.
            ::timer_delete(timer_);
            ::pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
        }
    }
    WaitTimer(const WaitTimer&) = delete;
    WaitTimer& operator=(const WaitTimer&) = delete;

private:
    timer_t timer_{};
    sigset_t oldMask_{};
    bool armed_ = false;
};

} // namespace

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') {
            x = static_cast<char>(x - 'a' + 'A');
        }
        if (y >= 'a' && y <= 'z') {
            y = static_cast<char>(y - 'a' + 'A');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::string errorText(int err) {
    if (err == File::kNotRegularFile) {
        return "not a regular file";
    }
    return std::error_code(err, std::generic_category()).message();
}

int appendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

File::~File() {
    close();
}

File::File(File&& other) noexcept
    : fd_(other.fd_), writable_(other.writable_), path_(std::move(other.path_)), probe_(other.probe_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        writable_ = other.writable_;
        path_ = std::move(other.path_);
        probe_ = other.probe_;
        other.fd_ = -1;
    }
    return *this;
}

int File::open(const fs::path& path, Access access) {
    close();
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer for ever.
    const int flags = (access == Access::ReadWrite ? O_RDWR | O_NOFOLLOW : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return errno;
    }
    struct stat st {};
    int err = 0;
    if (::fstat(fd, &st) != 0) { // NOLINT(bugprone-branch-clone): each step reports its own errno
        err = errno;
    } else if (!S_ISREG(st.st_mode)) {
        err = kNotRegularFile;
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        err = errno;
    }
    if (err != 0) {
        ::close(fd);
        return err;
    }
    fd_ = fd;
    writable_ = access == Access::ReadWrite;
    path_ = path;
    return 0;
}

void File::close() noexcept {
    if (fd_ >= 0) {
        ::close(fd_); // drops this open file's locks
        fd_ = -1;
    }
    writable_ = false;
}

std::size_t File::readAt(std::uint64_t offset, void* buffer, std::size_t n) const {
    auto* p = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        countReadIo(probe_, ReadIo::Read);
        const ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("Cannot read the file", path_, errno);
        }
        if (r == 0) {
            break;
        }
        done += static_cast<std::size_t>(r);
    }
    return done;
}

void File::readExact(std::uint64_t offset, void* buffer, std::size_t n, const char* what) const {
    if (readAt(offset, buffer, n) != n) {
        throw ETableError("The file " + path_.string() + " is damaged: " + what + " is cut short.");
    }
}

void File::writeAt(std::uint64_t offset, const void* buffer, std::size_t n) {
    const auto* p = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("Cannot write the file", path_, errno);
        }
        done += static_cast<std::size_t>(r);
    }
}

std::uint64_t File::size() const {
    struct stat st {};
    countReadIo(probe_, ReadIo::Stat);
    if (::fstat(fd_, &st) != 0) {
        fail("Cannot read the size of the file", path_, errno);
    }
    return static_cast<std::uint64_t>(st.st_size);
}

void File::truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
        fail("Cannot write the file", path_, errno);
    }
}

void File::sync() {
    if (::fdatasync(fd_) != 0 && errno != EINVAL) {
        fail("Cannot flush the file", path_, errno);
    }
}

bool File::tryLock(std::uint64_t offset, LockType type) {
    const short t = type == LockType::Read ? F_RDLCK : F_WRLCK;
    while (lockCommand(fd_, F_OFD_SETLK, t, offset) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EACCES) {
            return false;
        }
        fail("Cannot lock the file", path_, errno);
    }
    return true;
}

void File::lock(std::uint64_t offset, LockType type) {
    if (tryLock(offset, type)) {
        return;
    }
    // A blocking wait, queued in the kernel: a waiter takes the lock as soon as it is free, which
    // a try-and-sleep loop does not (a steady writer would take it again and again while the other
    // slept). Never an unbounded one, though: a counter behind a hung share or a long writer would
    // freeze. The timer interrupts it at the deadline.
    const auto giveUp = std::chrono::steady_clock::now() + kLockWait;
    int err = 0;
    const WaitTimer timer(kLockWait, err);
    if (err != 0) {
        fail("Cannot wait for the lock on the file", path_, err);
    }
    const short t = type == LockType::Read ? F_RDLCK : F_WRLCK;
    while (lockCommand(fd_, F_OFD_SETLKW, t, offset) != 0) {
        if (errno != EINTR) {
            fail("Cannot lock the file", path_, errno);
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            throw ETableError("Another counter holds the customer book in " + path_.parent_path().string() +
                              " (the file " + path_.filename().string() +
                              " stayed locked for several seconds). Try again in a moment.");
        }
    }
}

void File::unlock(std::uint64_t offset) noexcept {
    if (fd_ >= 0) {
        lockCommand(fd_, F_OFD_SETLK, F_UNLCK, offset);
    }
}

std::optional<fs::path> findFileNoCase(const fs::path& path) {
    std::error_code ec;
    if (fs::exists(path, ec)) {
        return path;
    }
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string wanted = path.filename().string();
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (equalNoCase(name, wanted)) {
            matches.push_back(name);
        }
    }
    if (matches.empty()) {
        return std::nullopt;
    }
    std::sort(matches.begin(), matches.end());
    return path.has_parent_path() ? path.parent_path() / matches.front() : fs::path(matches.front());
}

} // namespace arrowsel::data
