#pragma once
#include <sys/stat.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Trash.h"

namespace brim::platform {

// The freedesktop.org trash, which file managers restore from: files/NAME
// and info/NAME.trashinfo (the original path, percent-encoded, and the time
// of deletion).
//
// A file on the file system of the home trash ($XDG_DATA_HOME/Trash) goes
// there; a file on another one goes to that file system's own trash
// ($topdir/.Trash/$uid when $topdir/.Trash is a sticky folder, else
// $topdir/.Trash-$uid). Either way it is moved by one rename. Only when no
// trash on its file system can be used is it copied into the home trash:
// then it is first renamed to a hidden name in its own folder, so that no
// save can land in it unseen, and it goes only once the copy is on the disk
// and equal to it; any failure puts it back.
//
// Each move is announced in a small journal in the home trash's info folder
// (a hidden file naming our pid). A move cut short by a kill is finished or
// undone by the next move of any process: the .trashinfo without its file
// and a partial copy are removed, a file left under its hidden name is put
// back.
class FreedesktopTrash final : public Trash {
  public:
    // The trash under $XDG_DATA_HOME (default ~/.local/share).
    FreedesktopTrash();
    // For tests: the trash under `dataHome`.
    explicit FreedesktopTrash(std::string dataHome) : dataHome_(std::move(dataHome)) {}

    IoResult moveToTrash(const std::string& path) override;

    const std::string& dataHome() const { return dataHome_; }

    // The points of a move at which a test may stop it (kill the process) or
    // make it fail as a failing system call would.
    enum class Step {
        Journaled,    // the journal is on the disk, nothing else done
        InfoWritten,  // the .trashinfo exists
        Claimed,      // the file lies under its hidden name (copy only)
        Copied,       // the copy is on the disk (copy only)
        Compared,     // the copy equals the file (copy only)
        Moved,        // the file is in the trash; a failure asked for here is ignored
    };
    // For tests: called at each step; returning false fails the move there.
    void setStepHook(std::function<bool(Step)> hook) { stepHook_ = std::move(hook); }

  private:
    IoResult moveByRename(const std::string& trash, const std::string& original,
                          const std::string& pathValue);
    IoResult moveByCopy(const std::string& original, const struct stat& st);
    bool step(Step s) const { return !stepHook_ || stepHook_(s); }
    std::string homeTrash() const { return dataHome_ + "/Trash"; }

    std::string dataHome_;
    std::function<bool(Step)> stepHook_;
};

// `path` as the Path= key of a .trashinfo file holds it.
std::string percentEncodePath(std::string_view path);

// The other way round; nullopt when `text` is not valid percent-encoding.
std::optional<std::string> percentDecode(std::string_view text);

// Finishes or undoes the moves into the home trash under `dataHome` that a
// killed process left half done (see FreedesktopTrash). moveToTrash runs it
// first.
void recoverInterruptedMoves(const std::string& dataHome);

}  // namespace brim::platform
