#pragma once
// Names as they lie on disk and as the program shows them.
//
// A name on disk is bytes. A tree copied from Windows, or unpacked from a zip
// made there, holds names in the code page; a broken copy may hold bytes that
// fit no encoding. Each is shown as text the user can read, and every
// operation goes back to the bytes. Windows finds a name whatever its letter
// case, so a favorite typed as "index" is the file "Index.URL".

#include <optional>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace brim::core {

enum class NameForm {
    Utf8,         // the name is UTF-8 and shown as it is
    CodePage,     // not UTF-8 but valid in the code page: shown decoded from it
    Undecodable,  // valid in neither: shown with U+FFFD for each stray byte
};

struct ShownName {
    std::string text;  // UTF-8
    NameForm form = NameForm::Utf8;
};

// How the name `disk` is shown.
ShownName ShowName(std::string_view disk, const platform::CodePage& cp);

// How the last name of the system's path `path` is shown.
std::string ShownFileName(std::string_view path, const platform::CodePage& cp);

// "desktop.ini" and "Thumbs.db" in any case: Windows keeps them in folders
// for itself; they are no favorites.
bool isSystemFileName(std::string_view name);

// `name` with each letter that has a simple upper-case partner in the cased
// scripts of the Japanese code page (ASCII, Latin-1, Greek, Cyrillic,
// full-width Latin) upper-cased, as Windows compares names. Anything else,
// malformed bytes included, stays as it is.
std::string FoldNameCase(std::string_view name);

// True when Windows would take `a` and `b` for the same name.
bool sameNameUpToCase(std::string_view a, std::string_view b);

// The name on disk of the entry of `folder` (a system path ending in a
// separator) that `name` designates: the same bytes, else the entry shown as
// `name`, else the first in listing order shown so up to case. nullopt when
// there is none, or the folder cannot be listed.
std::optional<std::string> FindEntry(platform::FileSystem& fs, const platform::CodePage& cp,
                                     const std::string& folder, std::string_view name);

// The system's path of the file or folder `p` designates: `p` is in the
// program's notation (a folder label and name, or an absolute path). On
// POSIX a path that exists as given is taken as it is; otherwise (and always
// on Windows, whose names match in any case) each segment that
// FindEntry finds is spelled as on disk. From the first segment not found on,
// the rest is kept as given, so the result is the path a new file or folder
// would take.
std::string LocateOnDisk(platform::FileSystem& fs, const platform::CodePage& cp,
                         std::string_view favoritesRoot, std::string_view p);

}  // namespace brim::core
