#pragma once
// An FTP server of the test's own on a loopback address: just enough of the
// control connection for libcurl to ask whether a file is there (login, PWD,
// CWD, TYPE, SIZE, MDTM, REST). It opens no data connection: EPSV and PASV
// are refused.

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "RawServer.h"

namespace brim::test {

class FtpServer {
  public:
    // Files by absolute path ("/pub/a.txt") with their sizes; `folders` are
    // the folders besides "/" that CWD may enter.
    FtpServer(std::map<std::string, long> files, std::set<std::string> folders)
        : files_(std::move(files)),
          folders_(std::move(folders)),
          server_([this](RawSocket s) { return serve(s); }) {}

    // "ftp://127.0.0.1:PORT", to which a path is appended.
    std::string base() const { return server_.base("ftp"); }
    // Every command received, as sent.
    std::vector<std::string> commands() const {
        const std::lock_guard lock(mutex_);
        return commands_;
    }

  private:
    bool serve(RawSocket s) {
        std::string cwd = "/";
        const auto inCwd = [&](const std::string& name) {
            return name.starts_with("/") ? name : cwd + (cwd == "/" ? "" : "/") + name;
        };
        if (!sendAll(s, "220 test server\r\n")) return false;
        while (const auto line = readLine(s)) {
            {
                const std::lock_guard lock(mutex_);
                commands_.push_back(*line);
            }
            const auto space = line->find(' ');
            std::string verb = line->substr(0, space);
            for (char& c : verb)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            const std::string arg = space == std::string::npos ? "" : line->substr(space + 1);
            std::string reply;
            if (verb == "USER") {
                reply = "331 password please";
            } else if (verb == "PASS") {
                reply = "230 logged in";
            } else if (verb == "PWD") {
                reply = "257 \"" + cwd + "\" is the current folder";
            } else if (verb == "CWD") {
                const std::string to = inCwd(arg);
                if (to == "/" || folders_.contains(to)) {
                    cwd = to;
                    reply = "250 folder changed";
                } else {
                    reply = "550 no such folder";
                }
            } else if (verb == "TYPE") {
                reply = "200 type set";
            } else if (verb == "SIZE" || verb == "MDTM") {
                const auto file = files_.find(inCwd(arg));
                if (file == files_.end()) {
                    reply = "550 no such file";
                } else {
                    reply = "213 " + (verb == "SIZE" ? std::to_string(file->second)
                                                     : std::string("20260101120000"));
                }
            } else if (verb == "REST") {
                reply = "350 restarting at " + arg;
            } else if (verb == "QUIT") {
                sendAll(s, "221 bye\r\n");
                return false;
            } else {
                reply = "502 not here";
            }
            if (!sendAll(s, reply + "\r\n")) break;
        }
        return false;
    }

    std::map<std::string, long> files_;
    std::set<std::string> folders_;
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
    RawServer server_;  // last: its threads end before the rest goes
};

}  // namespace brim::test
