#pragma once
// Follows the changes made in a folder tree, by this program or any other,
// so that what is shown of the tree can be kept true without reading it all
// again.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace brim::platform {

// Why a watch lost changes: what it reported can no longer be taken as the
// whole story, and the whole tree must be read again.
enum class WatchLoss {
    Overflow,    // the system dropped changes it had no room for; the watch goes on
    Incomplete,  // a folder could not be watched (the system's limit of watches):
                 // changes in it are not seen; the watch goes on for the rest
    Ended,       // the root was removed or moved away: the watch reports nothing more
};

// Told of the changes on the watch's own thread, one call at a time, never
// after the watch is destroyed.
class TreeListener {
  public:
    virtual ~TreeListener() = default;
    // The folders whose entries were added, removed or renamed, or whose
    // files were written or had their attributes changed: absolute system
    // paths that start with the root as given and end in one separator, each
    // once, sorted by bytes. A folder that appeared (created or moved in) is
    // among them with every folder below it.
    virtual void foldersChanged(const std::vector<std::string>& folders) = 0;
    virtual void changesLost(WatchLoss why) = 0;
};

// A running watch. Destroying it stops its thread and waits for it, at once,
// even while changes are held; never destroy it from the listener's calls.
class TreeWatch {
  public:
    virtual ~TreeWatch() = default;
};

// How long a burst of changes is gathered into one report.
struct WatchPace {
    std::chrono::milliseconds quiet{150};    // reported once nothing changed for this long
    std::chrono::milliseconds longest{500};  // but no change is held longer than this
};

struct [[nodiscard]] WatchStart {
    std::unique_ptr<TreeWatch> watch;  // nullptr when the tree cannot be watched
    IoResult status;                   // then why: NotFound, NotAFile, Denied, Other
};

class TreeWatcher {
  public:
    virtual ~TreeWatcher() = default;

    // Watches the folder `root` (an absolute system path) and every folder
    // below it that is not a link, reporting to `listener`, which must
    // outlive the watch.
    virtual WatchStart watch(const std::string& root, TreeListener& listener, WatchPace pace) = 0;
    WatchStart watch(const std::string& root, TreeListener& listener) {
        return watch(root, listener, WatchPace{});
    }
};

}  // namespace brim::platform
