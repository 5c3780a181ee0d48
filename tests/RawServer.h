#pragma once
// A TCP server of the test's own on a loopback address that hands each
// connection it accepts to a function, on a thread of its own: for answers no
// web server gives (resets, garbage, other protocols). Every wait is bounded
// and every thread is joined when the server ends.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace brim::test {

#ifdef _WIN32
using RawSocket = SOCKET;
inline constexpr RawSocket kNoSocket = INVALID_SOCKET;
inline void closeSocket(RawSocket s) {
    closesocket(s);
}
#else
using RawSocket = int;
inline constexpr RawSocket kNoSocket = -1;
inline void closeSocket(RawSocket s) {
    close(s);
}
#endif

// Sends all of `bytes`; false when the peer went away.
inline bool sendAll(RawSocket s, const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto n = send(s, bytes.data() + at, static_cast<int>(bytes.size() - at), 0);
        if (n <= 0) return false;
        at += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads up to and without "\r\n"; nullopt when the peer closed, went quiet
// for the socket's receive timeout, or sent 8 KiB without an end of line.
inline std::optional<std::string> readLine(RawSocket s) {
    std::string line;
    char c = 0;
    while (line.size() < 8192) {
        if (recv(s, &c, 1, 0) != 1) return std::nullopt;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        line += c;
    }
    return std::nullopt;
}

// Closes with a reset (RST) in place of an orderly end.
inline void resetSocket(RawSocket s) {
    linger l{};
    l.l_onoff = 1;
    l.l_linger = 0;
    setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
    closeSocket(s);
}

class RawServer {
  public:
    // Given each accepted connection, which it may keep until it returns; the
    // server closes it after, unless the function closed it (returns true).
    using Serve = std::function<bool(RawSocket)>;

    explicit RawServer(Serve serve, const std::string& address = "127.0.0.1")
        : serve_(std::move(serve)), address_(address) {
#ifdef _WIN32
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
#endif
        listener_ = listenOn(address, port_);
        if (listener_ == kNoSocket) {
            ADD_FAILURE() << "cannot listen on " << address;
            return;
        }
        thread_ = std::thread([this] { acceptAll(); });
    }
    ~RawServer() {
        stop();
    }
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    // Stops accepting, waits for the connections' threads and closes the port.
    void stop() {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
        std::vector<std::thread> threads;
        {
            const std::lock_guard lock(mutex_);
            threads.swap(connections_);
        }
        for (auto& t : threads)
            t.join();
        if (listener_ != kNoSocket) closeSocket(listener_);
        listener_ = kNoSocket;
    }

    int port() const {
        return port_;
    }
    const std::string& address() const {
        return address_;
    }
    // "SCHEME://ADDRESS:PORT".
    std::string base(const std::string& scheme) const {
        return scheme + "://" + address_ + ":" + std::to_string(port_);
    }
    int accepts() const {
        return accepts_;
    }

    // A listening socket on `address` at a port of the system's choice.
    static RawSocket listenOn(const std::string& address, int& port) {
        const RawSocket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == kNoSocket) return kNoSocket;
        sockaddr_in a{};
        a.sin_family = AF_INET;
        inet_pton(AF_INET, address.c_str(), &a.sin_addr);
        socklen_t size = sizeof a;
        if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(s, 16) != 0 ||
            getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
            closeSocket(s);
            return kNoSocket;
        }
        port = ntohs(a.sin_port);
        return s;
    }

    // Waits up to `wait` for a connection on `listener`; kNoSocket when none
    // came. The connection's reads give up after 5 s of silence.
    static RawSocket acceptWithin(RawSocket listener, std::chrono::milliseconds wait) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener, &ready);
        timeval tv{};
        tv.tv_sec = static_cast<long>(wait.count() / 1000);
        tv.tv_usec = static_cast<long>(wait.count() % 1000 * 1000);
        if (select(static_cast<int>(listener + 1), &ready, nullptr, nullptr, &tv) != 1)
            return kNoSocket;
        const RawSocket s = accept(listener, nullptr, nullptr);
        if (s == kNoSocket) return kNoSocket;
#ifdef _WIN32
        const DWORD quiet = 5000;
#else
        const timeval quiet{5, 0};
#endif
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&quiet), sizeof quiet);
        return s;
    }

  private:
    void acceptAll() {
        while (!stopping_) {
            const RawSocket s = acceptWithin(listener_, std::chrono::milliseconds(50));
            if (s == kNoSocket) continue;
            ++accepts_;
            const std::lock_guard lock(mutex_);
            connections_.emplace_back([this, s] {
                if (!serve_(s)) closeSocket(s);
            });
        }
    }

    Serve serve_;
    std::string address_;
    RawSocket listener_ = kNoSocket;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> accepts_{0};
    std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::thread thread_;
};

}  // namespace brim::test
