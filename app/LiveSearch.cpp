#include "app/LiveSearch.h"

namespace brim::app {

LiveSearch::LiveSearch(const FavoriteIndex& index, Scheduler& scheduler)
    : index_(index), scheduler_(scheduler) {}

LiveSearch::~LiveSearch() {
    shared_->alive = false;
    std::shared_ptr<core::StopSource> stop;
    {
        const std::lock_guard lock(shared_->mutex);
        stop = shared_->stop;
    }
    if (stop) stop->request();
    std::unique_lock lock(shared_->mutex);
    shared_->ended.wait(lock, [&] { return shared_->running == 0; });
}

void LiveSearch::drop() {
    ++shared_->generation;
    std::shared_ptr<core::StopSource> stop;
    {
        const std::lock_guard lock(shared_->mutex);
        stop.swap(shared_->stop);
    }
    if (stop) stop->request();
}

void LiveSearch::Shared::keep(FavoriteIndex::Found& rows) {
    const std::lock_guard lock(mutex);
    if (rows.rows.capacity() > room.rows.capacity()) std::swap(rows, room);
}

void LiveSearch::recycle(FavoriteIndex::Found rows, bool sharedText) {
    if (sharedText) {
        shared_->keep(rows);
        return;
    }
    auto owned = std::make_shared<FavoriteIndex::Found>(std::move(rows));
    try {
        scheduler_.runInBackground([shared = shared_, owned = std::move(owned)] {
            owned->rows.clear();
            owned->files.clear();
            shared->keep(*owned);
        });
    } catch (...) {
        // No thread for it: they go here.
    }
}

void LiveSearch::start(const std::string& text, const core::SearchOptions& options, Show show) {
    drop();
    const std::uint64_t generation = shared_->generation;
    auto stop = std::make_shared<core::StopSource>();
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->stop = stop;
        ++shared_->running;
    }
    const auto shared = shared_;
    auto work = [this, shared, stop, generation, keys = core::SplitKeywords(text), options,
                 show = std::move(show)]() mutable {
        // The rows go to the window's thread, which shows them only when
        // nothing newer was typed meanwhile.
        try {
            FavoriteIndex::Found room;
            {
                const std::lock_guard lock(shared->mutex);
                std::swap(room, shared->room);
            }
            auto found = keys.empty() ? index_.all(stop.get(), std::move(room))
                                      : index_.search(keys, options, stop.get(), std::move(room));
            if (!stop->requested()) {
                scheduler_.post(
                    [shared, generation, show = std::move(show),
                     found = std::make_shared<FavoriteIndex::Found>(std::move(found))]() mutable {
                        if (shared->alive && shared->generation == generation) {
                            show(std::move(*found));
                        } else {
                            shared->keep(*found);  // what nobody saw makes room too
                        }
                    });
            }
        } catch (...) {
            // No memory for the rows: the list stays as it is until the next keystroke.
        }
        {
            const std::lock_guard lock(shared->mutex);
            --shared->running;
        }
        shared->ended.notify_all();
    };
    try {
        scheduler_.runInBackground(std::move(work));
    } catch (...) {
        // No thread for it: this keystroke shows nothing.
        const std::lock_guard lock(shared_->mutex);
        --shared_->running;
    }
}

}  // namespace brim::app
