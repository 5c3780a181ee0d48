#pragma once
// A web server of the test's own on a loopback address, for the link check:
// pages by path, every request it saw, and how many it served at once.

#include <gtest/gtest.h>
#include <httplib.h>

#include "InFlight.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brim::test {

class LinkServer {
  public:
    using Page = std::function<void(const httplib::Request&, httplib::Response&)>;

    // Serves `pages` on `address` at a port of its own; a path not among them
    // answers 404. `shared` counts the requests of several servers at once.
    explicit LinkServer(std::map<std::string, Page> pages, const std::string& address = "127.0.0.1",
                        InFlight* shared = nullptr)
        : pages_(std::move(pages)), shared_(shared) {
        // Enough threads that idle kept-alive connections hold none up.
        server_.new_task_queue = [] { return new httplib::ThreadPool(16); };
        server_.set_keep_alive_timeout(1);
        server_.Get(
            ".*", [this](const httplib::Request& req, httplib::Response& res) { serve(req, res); });
        port_ = server_.bind_to_any_port(address);
        if (port_ <= 0) {
            ADD_FAILURE() << "cannot listen on " << address;
            return;
        }
        base_ = "http://" + address + ":" + std::to_string(port_);
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        for (int i = 0; i < 500 && !server_.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~LinkServer() { stop(); }
    LinkServer(const LinkServer&) = delete;
    LinkServer& operator=(const LinkServer&) = delete;

    // Ends the server; its port then refuses connections.
    void stop() {
        server_.stop();
        if (thread_.joinable()) thread_.join();
    }

    // "http://ADDRESS:PORT", to which a path is appended.
    const std::string& base() const { return base_; }
    int port() const { return port_; }

    struct Hit {
        std::string method, path;
    };
    std::vector<Hit> hits() const {
        const std::lock_guard lock(mutex_);
        return hits_;
    }
    int mostAtOnce() {
        const std::lock_guard lock(own_.mutex);
        return own_.most;
    }

  private:
    void serve(const httplib::Request& req, httplib::Response& res) {
        {
            const std::lock_guard lock(mutex_);
            hits_.push_back({req.method, req.path});
        }
        own_.enter();
        if (shared_) shared_->enter();
        const auto page = pages_.find(req.path);
        if (page != pages_.end()) {
            page->second(req, res);
        } else {
            res.status = 404;
        }
        if (shared_) shared_->leave();
        own_.leave();
    }

    httplib::Server server_;
    std::map<std::string, Page> pages_;
    InFlight* shared_;
    InFlight own_;
    mutable std::mutex mutex_;
    std::vector<Hit> hits_;
    int port_ = 0;
    std::string base_;
    std::thread thread_;
};

// Pages that answer with a status, or redirect to `to` with one.
inline LinkServer::Page status(int code) {
    return [code](const httplib::Request&, httplib::Response& res) { res.status = code; };
}
inline LinkServer::Page redirect(std::string to, int code) {
    return
        [to, code](const httplib::Request&, httplib::Response& res) { res.set_redirect(to, code); };
}
// A page that answers `head` to HEAD and `get` to GET.
inline LinkServer::Page byMethod(int head, int get) {
    return [head, get](const httplib::Request& req, httplib::Response& res) {
        res.status = req.method == "HEAD" ? head : get;
    };
}
// A page that answers 200 after `delay`.
inline LinkServer::Page slow(std::chrono::milliseconds delay) {
    return [delay](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(delay);
        res.set_content("late", "text/plain");
    };
}

}  // namespace brim::test
