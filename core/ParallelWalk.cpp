#include "core/ParallelWalk.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "core/Catalog.h"
#include "core/Paths.h"
#include "platform/NativePaths.h"
#include "platform/Processors.h"

namespace brim::core {

unsigned machineThreads() {
    // A thread more than the processors it may run on only takes turns.
    return platform::usableProcessors();
}

namespace {

// One folder of the walk. Its children are its subfolders in walk order (the
// one listed last first); a folder's subtree is freed once it was delivered.
struct Node {
    enum class State { Pending, Running, Done };
    Node(std::string p, std::string l) : path(std::move(p)), label(std::move(l)) {}
    std::string path;
    std::string label;
    State state = State::Pending;
    bool listed = false;
    std::vector<WalkProblem> problems;
    std::vector<FavoriteItem> rows;
    std::vector<std::unique_ptr<Node>> children;
};

class OrderedWalk {
  public:
    OrderedWalk(platform::FileSystem& fs, const platform::CodePage& cp, const WalkControl& control,
                const FolderWork& work)
        : fs_(fs), cp_(cp), control_(control), work_(work) {}

    bool run(Node& root, const std::function<void(FavoriteItem&&)>& add,
             const std::function<void(const WalkProblem&)>& problem) {
        pending_.push_back(&root);
        // A stop wakes the helpers and the delivery under mutex_; made before
        // any helper starts and gone after all have been joined.
        const StopWatch watch(control_.stop, mutex_, changed_);
        std::vector<std::thread> helpers;
        try {
            // Room first: a thread started but not kept would wait for ever.
            helpers.reserve(control_.threads);
            for (unsigned i = 1; i < control_.threads; ++i) {
                std::function<void()> body = [this] { help(); };
                helpers.push_back(control_.startThread ? control_.startThread(std::move(body))
                                                       : std::thread(std::move(body)));
            }
        } catch (const std::system_error&) {
            // The threads started, the caller's at least, do the same work.
        } catch (const std::bad_alloc&) {
        }
        // However delivery ends (a sink may throw), the helpers are told and
        // joined before the nodes they may still fill go away.
        struct Finish {
            OrderedWalk& walk;
            std::vector<std::thread>& helpers;
            ~Finish() {
                {
                    const std::lock_guard lock(walk.mutex_);
                    walk.finished_ = true;
                }
                walk.changed_.notify_all();
                for (std::thread& helper : helpers)
                    helper.join();
            }
        } finish{*this, helpers};
        return deliver(root, add, problem);
    }

  private:
    // Delivers the folders in pre-order, reading the next one itself when no
    // helper has taken it yet, so that the walk never waits on nothing.
    bool deliver(Node& root, const std::function<void(FavoriteItem&&)>& add,
                 const std::function<void(const WalkProblem&)>& problem) {
        struct Place {
            Node* node;
            std::size_t next;
        };
        std::vector<Place> path;
        Node* front = &root;
        while (front) {
            std::vector<WalkProblem> problems;
            std::vector<FavoriteItem> rows;
            {
                std::unique_lock lock(mutex_);
                while (front->state != Node::State::Done) {
                    if (control_.stopped()) return true;
                    // The next folder in walk order is the one the helpers take
                    // too; while one of them reads the front, this thread reads
                    // the folder after it rather than wait, or the threads
                    // would take turns instead of working at once.
                    Node* next = front;
                    if (front->state == Node::State::Pending) {
                        pending_.erase(std::find(pending_.begin(), pending_.end(), front));
                    } else if (!pending_.empty() && aheadCount_ < control_.readAhead) {
                        next = pending_.back();
                        pending_.pop_back();
                    } else {
                        changed_.wait(lock, [&] {
                            return front->state != Node::State::Running || control_.stopped() ||
                                   (!pending_.empty() && aheadCount_ < control_.readAhead);
                        });
                        continue;
                    }
                    next->state = Node::State::Running;
                    lock.unlock();
                    read(*next);
                    lock.lock();
                }
                problems.swap(front->problems);
                rows.swap(front->rows);
                aheadCount_ -= 1 + rows.size();
            }
            changed_.notify_all();
            for (const auto& p : problems) {
                if (problem) problem(p);
            }
            if (front == &root && !root.listed) return false;
            for (auto& row : rows) {
                if (control_.stopped()) return true;
                add(std::move(row));
            }
            path.push_back({front, 0});
            front = nullptr;
            while (!path.empty() && !front) {
                Place& top = path.back();
                if (top.next < top.node->children.size()) {
                    front = top.node->children[top.next++].get();
                } else {
                    // Its subtree is delivered: every node of it is done, so
                    // no other thread holds one any more.
                    top.node->children.clear();
                    path.pop_back();
                }
            }
        }
        return true;
    }

    void help() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] {
                return finished_ || control_.stopped() ||
                       (!pending_.empty() && aheadCount_ < control_.readAhead);
            });
            if (finished_ || control_.stopped()) return;
            Node* node = pending_.back();
            pending_.pop_back();
            node->state = Node::State::Running;
            lock.unlock();
            try {
                read(*node);
            } catch (...) {
                // Nothing may leave a helper's thread. The folder goes back
                // untouched; the caller's thread reads it when it comes to it,
                // and meets the failure there if it lasts. This helper stops.
                lock.lock();
                node->state = Node::State::Pending;
                pending_.push_back(node);
                lock.unlock();
                changed_.notify_all();
                return;
            }
            lock.lock();
        }
    }

    // Lists one folder and makes its rows, outside the lock.
    void read(Node& node) {
        std::vector<WalkProblem> problems;
        std::vector<FavoriteItem> rows;
        std::vector<std::unique_ptr<Node>> children;
        auto contents = readFolder(
            fs_, cp_, node.path, [&](const WalkProblem& p) { problems.push_back(p); },
            !control_.listingStamps || control_.listingStamps(node.path));
        const bool listed = contents.has_value();
        if (listed) {
            work_(node.path, node.label, *contents, rows);
            for (auto name = contents->subfolders.rbegin(); name != contents->subfolders.rend();
                 ++name) {
                children.push_back(
                    std::make_unique<Node>(node.path + name->disk + platform::kNativeSeparator,
                                           node.label + name->shown + "\\"));
            }
            contents.reset();  // the folder is closed before the next is opened
        } else {
            problems.push_back({WalkProblem::Kind::Unreadable, node.path});
        }
        {
            const std::lock_guard lock(mutex_);
            // Room first, so that nothing below can fail half done.
            pending_.reserve(pending_.size() + children.size());
            node.listed = listed;
            node.problems = std::move(problems);
            node.rows = std::move(rows);
            node.children = std::move(children);
            node.state = Node::State::Done;
            aheadCount_ += 1 + node.rows.size();
            // The first subfolder in walk order is taken first.
            for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
                pending_.push_back(child->get());
        }
        changed_.notify_all();
    }

    platform::FileSystem& fs_;
    const platform::CodePage& cp_;
    const WalkControl& control_;
    const FolderWork& work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Node*> pending_;  // folders no thread has taken, the next on top
    std::size_t aheadCount_ = 0;  // folders and rows done but not delivered
    bool finished_ = false;
};

}  // namespace

bool walkTreeOrdered(platform::FileSystem& fs, const platform::CodePage& cp,
                     const std::string& favoritesRoot, const std::string& start,
                     const WalkControl& control, const FolderWork& work,
                     const std::function<void(FavoriteItem&&)>& add,
                     const std::function<void(const WalkProblem&)>& problem) {
    Node root(start, FolderLabel(favoritesRoot, start));
    OrderedWalk walk(fs, cp, control, work);
    return walk.run(root, add, problem);
}

}  // namespace brim::core
