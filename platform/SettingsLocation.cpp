#include "platform/SettingsLocation.h"

namespace brim::platform {

std::string chooseSettingsFile(const std::string& programFolder, const std::string& userFolder,
                               const FileTest& isFile) {
    constexpr const char* kName = "Brimmark.ini";
    if (!programFolder.empty() && isFile(programFolder + kName)) return programFolder + kName;
    if (!userFolder.empty()) return userFolder + kName;
    return programFolder.empty() ? std::string() : programFolder + kName;
}

}  // namespace brim::platform
