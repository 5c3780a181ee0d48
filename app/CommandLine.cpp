#include "app/CommandLine.h"

#include "platform/NativePaths.h"

namespace brim::app {

std::string ArgumentPath(const std::string& argument, const std::string& currentFolder) {
    constexpr platform::NativePaths paths = platform::NativePaths::native();
    if (argument.empty() || paths.isAbsolute(argument) || argument.front() == '\\') {
        return argument;
    }
    if (currentFolder.empty()) return argument;
    std::string path = currentFolder;
    if (!paths.isSeparator(path.back())) path += paths.separator();
    return path + argument;
}

}  // namespace brim::app
