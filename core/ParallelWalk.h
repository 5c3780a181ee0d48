#pragma once
// The tree walk spread over several threads. Folders are listed and their
// files read on any thread, but rows and problems reach the caller on its own
// thread, folder by folder, in exactly the order of the one-thread walk.

#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/Stop.h"
#include "core/Walk.h"

namespace brim::core {

struct FavoriteItem;

// How a walk runs.
struct WalkControl {
    // Threads that list folders and read files, the caller's included.
    unsigned threads = 1;
    // Once stop is requested the walk ends soon, after a whole row. None:
    // the walk runs to its end.
    const StopSource* stop = nullptr;
    // Folders and rows read ahead of what the caller has taken, at most (the
    // threads' current folders aside), so that memory stays bounded whatever
    // the tree's size.
    std::size_t readAhead = 8192;
    // Starts one helper thread; empty: a plain std::thread. When one cannot
    // be started (a process or thread limit), the walk goes on with those it
    // has, the caller's at least.
    std::function<std::thread(std::function<void()>)> startThread = {};
    // Whether the files of `folder` (a system path) are listed with their
    // stamps; false where every one of them is read anyway. Empty: all are.
    std::function<bool(const std::string& folder)> listingStamps = {};

    bool stopped() const noexcept { return stop && stop->requested(); }
};

// The processors the process may run on.
unsigned machineThreads();

// Makes one folder's rows; called for several folders at once, on any of the
// walk's threads.
using FolderWork =
    std::function<void(const std::string& path, const std::string& label,
                       const FolderContents& contents, std::vector<FavoriteItem>& rows)>;

// Walks the tree below `start` (at or under `favoritesRoot`, both ending in
// the separator) as walkTree does, passing each folder to `work` and its rows
// to `add` in walk order; a folder's problems come before its rows. False
// when `start` itself could not be listed; true otherwise, also when stopped.
bool walkTreeOrdered(platform::FileSystem& fs, const platform::CodePage& cp,
                     const std::string& favoritesRoot, const std::string& start,
                     const WalkControl& control, const FolderWork& work,
                     const std::function<void(FavoriteItem&&)>& add,
                     const std::function<void(const WalkProblem&)>& problem);

}  // namespace brim::core
