// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace arrowsel::test {

// A loopback TCP port in front of a server's Unix socket, for the faults of a shop's network:
// it passes the bytes both ways, holds every reply back a while (Delay, a slow link), goes silent
// (reads nothing, sends nothing), or drops the next reply after a request has gone through and
// then cuts that connection, as a network that fails between the server's commit and its answer,
// or closes every new connection at once (Refuse); cutAll() closes the connections open now.
class TcpProxy {
public:
    enum class Mode { Pass, Delay, Silent, DropNextReply, Refuse };

    explicit TcpProxy(std::filesystem::path unixSocket) : target_(std::move(unixSocket)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof at;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&at), length) != 0 ||
            ::listen(listener_, 8) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &length) != 0) {
            throw std::runtime_error(std::string("the test proxy cannot listen: ") + std::strerror(errno));
        }
        port_ = ntohs(at.sin_port);
        acceptor_ = std::thread([this] { acceptLoop(); });
    }

    ~TcpProxy() {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        acceptor_.join();
        for (std::thread& t : links_) {
            t.join();
        }
        ::close(listener_);
    }

    TcpProxy(const TcpProxy&) = delete;
    TcpProxy& operator=(const TcpProxy&) = delete;

    int port() const { return port_; }
    // `after`: the mode once a reply has been dropped.
    void setMode(Mode m, Mode after = Mode::Pass) {
        after_ = m == Mode::DropNextReply ? after : m;
        mode_ = m;
    }
    Mode mode() const { return mode_; }
    // How long Delay holds each reply.
    void setDelay(std::chrono::milliseconds d) { delay_ = d; }
    // Returns once every link has seen it (each looks at least every 50 ms).
    void cutAll() {
        ++cuts_;
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }

private:
    void acceptLoop() {
        while (!stop_) {
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) {
                continue;
            }
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) {
                continue;
            }
            if (mode_ == Mode::Refuse) {
                ::close(client);
                continue;
            }
            const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un to{};
            to.sun_family = AF_UNIX;
            std::strncpy(to.sun_path, target_.c_str(), sizeof to.sun_path - 1);
            if (server < 0 || ::connect(server, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
                ::close(client);
                if (server >= 0) {
                    ::close(server);
                }
                continue;
            }
            const std::lock_guard lock(mutex_);
            links_.emplace_back([this, client, server] { relay(client, server); });
        }
    }

    void relay(int client, int server) {
        std::vector<char> buf(65536);
        bool requestSeen = false;
        const int cutsAtStart = cuts_;
        while (!stop_ && cuts_ == cutsAtStart) {
            std::array<pollfd, 2> p{pollfd{client, POLLIN, 0}, pollfd{server, POLLIN, 0}};
            if (mode_ == Mode::Silent || ::poll(p.data(), p.size(), 50) <= 0) {
                if (mode_ == Mode::Silent) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
                continue;
            }
            if ((p[0].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t n = ::read(client, buf.data(), buf.size());
                if (n <= 0 || ::write(server, buf.data(), static_cast<std::size_t>(n)) != n) {
                    break;
                }
                requestSeen = mode_ == Mode::DropNextReply;
            }
            if ((p[1].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t n = ::read(server, buf.data(), buf.size());
                if (n <= 0) {
                    break;
                }
                if (requestSeen) {
                    // Let the statement finish on the server, then lose its answer and the link.
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    mode_ = after_.load();
                    break;
                }
                if (mode_ == Mode::Delay) {
                    std::this_thread::sleep_for(delay_.load());
                }
                if (::write(client, buf.data(), static_cast<std::size_t>(n)) != n) {
                    break;
                }
            }
        }
        ::close(client);
        ::close(server);
    }

    std::filesystem::path target_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<Mode> mode_{Mode::Pass};
    std::atomic<Mode> after_{Mode::Pass};
    std::atomic<bool> stop_{false};
    std::atomic<std::chrono::milliseconds> delay_{std::chrono::milliseconds(400)};
    std::atomic<int> cuts_{0};
    std::mutex mutex_;
    std::thread acceptor_;
    std::vector<std::thread> links_;
};

} // namespace arrowsel::test
