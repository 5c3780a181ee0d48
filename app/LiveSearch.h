#pragma once
// The searches the keyword box starts as the user types: each runs on the
// index away from the window's thread, and only the newest one's rows come
// back. A keystroke that comes while an older search runs stops it; what an
// older one found is never shown.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "app/FavoriteIndex.h"
#include "app/Scheduler.h"
#include "core/Search.h"
#include "core/Stop.h"

namespace brim::app {

class LiveSearch {
  public:
    LiveSearch(const FavoriteIndex& index, Scheduler& scheduler);
    // Stops what runs and waits for it: the searches read the index.
    ~LiveSearch();
    LiveSearch(const LiveSearch&) = delete;
    LiveSearch& operator=(const LiveSearch&) = delete;

    using Show = std::function<void(FavoriteIndex::Found&&)>;
    // Searches for the typed `text` (every favorite when it holds no
    // keyword); `show` gets the rows on the window's thread unless a newer
    // start or a drop came first.
    void start(const std::string& text, const core::SearchOptions& options, Show show);
    // No search started so far shows its rows.
    void drop();
    // Rows the window no longer shows: a later search writes its rows into
    // their memory, which already has its pages. Rows whose cells share the
    // index's text are let go by the next search; others, whose cells own
    // their text and take long to free, first on a thread of their own.
    void recycle(FavoriteIndex::Found rows, bool sharedText);
    // How many searches were started; the rows of the last one are the only
    // ones that may still come.
    std::uint64_t generation() const { return shared_->generation; }

  private:
    struct Shared {
        std::uint64_t generation = 0;  // read and changed on the window's thread only
        bool alive = true;
        std::mutex mutex;  // guards running, stop and room
        std::condition_variable ended;
        int running = 0;
        std::shared_ptr<core::StopSource> stop;
        FavoriteIndex::Found room;
        // Keeps the larger of `rows` and the room; the other goes on return.
        void keep(FavoriteIndex::Found& rows);
    };
    const FavoriteIndex& index_;
    Scheduler& scheduler_;
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

}  // namespace brim::app
