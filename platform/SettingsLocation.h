#pragma once
#include <functional>
#include <string>

namespace brim::platform {

// Whether a regular file lies at `path`; a folder or nothing there is no file.
using FileTest = std::function<bool(const std::string& path)>;

// Full path of the settings file "Brimmark.ini". A portable copy keeps it
// beside the program, so it is used there when it already exists; otherwise
// it lives in the user's own settings folder, since an installed program's
// folder is not the user's to write. Both folders end in one separator, and
// an empty one is unknown: an unknown program folder is never taken for the
// working folder, and without a user folder only the program's is left.
std::string chooseSettingsFile(const std::string& programFolder, const std::string& userFolder,
                               const FileTest& isFile);

}  // namespace brim::platform
