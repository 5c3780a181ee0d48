#pragma once
// A file system whose reads of chosen files wait at a gate until the test
// opens it: slowness made deterministic. The clock only bounds the test's own
// waits, so that a gate no read ever reaches fails the test instead of
// hanging it.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace brim::test {

class GatedFileSystem final : public platform::FileSystem {
  public:
    explicit GatedFileSystem(platform::FileSystem& real) : real_(real) {}

    // From now on, reads of files whose path ends in `suffix` wait at the gate;
    // `/` in it stands for either separator, as the system's paths have either.
    void close(std::string suffix) {
        const std::lock_guard lock(mutex_);
        suffix_ = std::move(suffix);
        closed_ = true;
    }
    void open() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = false;
        }
        changed_.notify_all();
    }
    // Waits until a read is held at the gate; false when none came.
    [[nodiscard]] bool waitUntilHeld() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, [&] { return held_ > 0; });
    }
    // Waits until `n` reads have passed without being held; false when they did not.
    [[nodiscard]] bool waitForReads(std::size_t n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, [&] { return passed_ >= n; });
    }
    // How many reads of files whose path ends in `suffix` have passed.
    std::size_t readsOf(const std::string& suffix) const {
        const std::lock_guard lock(mutex_);
        std::size_t n = 0;
        for (const auto& p : passedPaths_)
            n += endsWith(p, suffix);
        return n;
    }

    std::unique_ptr<platform::OpenFolder> openFolder(const std::string& folder) override {
        auto inner = real_.openFolder(folder);
        if (!inner) return nullptr;
        return std::make_unique<Folder>(*this, folder, std::move(inner));
    }
    std::optional<std::uint32_t> attributes(const std::string& p) override {
        return real_.attributes(p);
    }
    platform::IoResult readFile(const std::string& p, std::string& out) override {
        pass(p);
        return real_.readFile(p, out);
    }
    platform::IoResult replaceFile(const std::string& p, std::string_view b) override {
        return real_.replaceFile(p, b);
    }
    platform::IoResult createFolder(const std::string& p) override { return real_.createFolder(p); }
    platform::IoResult removeFile(const std::string& p) override { return real_.removeFile(p); }
    platform::IoResult removeFolder(const std::string& p) override { return real_.removeFolder(p); }
    platform::IoResult createNewFile(const std::string& p, std::string_view b) override {
        return real_.createNewFile(p, b);
    }
    platform::LockAttempt lockForUpdate(const std::string& p) override {
        return real_.lockForUpdate(p);
    }
    std::optional<std::int64_t> modificationTime(const std::string& p) override {
        return real_.modificationTime(p);
    }

  private:
    class Folder final : public platform::OpenFolder {
      public:
        Folder(GatedFileSystem& fs, std::string path, std::unique_ptr<platform::OpenFolder> inner)
            : fs_(fs), path_(std::move(path)), inner_(std::move(inner)) {}
        std::optional<std::vector<platform::DirEntry>> entries() override {
            return inner_->entries();
        }
        std::optional<std::vector<platform::DirEntry>> entriesUnstamped() override {
            return inner_->entriesUnstamped();
        }
        platform::IoResult readFile(const std::string& name, std::string& out) override {
            fs_.pass(path_ + name);
            return inner_->readFile(name, out);
        }
        platform::IoResult readStamped(const std::string& name, std::string& out,
                                       platform::FileStamp& stamp) override {
            fs_.pass(path_ + name);
            return inner_->readStamped(name, out, stamp);
        }

      private:
        GatedFileSystem& fs_;
        std::string path_;
        std::unique_ptr<platform::OpenFolder> inner_;
    };

    void pass(const std::string& path) {
        std::unique_lock lock(mutex_);
        if (closed_ && endsWith(path, suffix_)) {
            ++held_;
            changed_.notify_all();
            changed_.wait(lock, [&] { return !closed_; });
            --held_;
        } else {
            ++passed_;
            passedPaths_.push_back(path);
            changed_.notify_all();
        }
    }
    static bool endsWith(const std::string& s, const std::string& suffix) {
        if (s.size() < suffix.size()) return false;
        const auto same = [](char a, char b) {
            return a == b || ((a == '/' || a == '\\') && (b == '/' || b == '\\'));
        };
        return std::equal(suffix.begin(), suffix.end(),
                          s.end() - static_cast<std::ptrdiff_t>(suffix.size()), same);
    }

    // Far longer than any wait the tests mean, even on a loaded machine.
    static constexpr std::chrono::seconds kPatience{60};

    platform::FileSystem& real_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string suffix_;
    bool closed_ = false;
    std::size_t held_ = 0;
    std::size_t passed_ = 0;
    std::vector<std::string> passedPaths_;
};

}  // namespace brim::test
