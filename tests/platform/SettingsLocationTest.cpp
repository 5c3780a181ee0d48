#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/SettingsLocation.h"

namespace brim::platform {
namespace {

TEST(SettingsLocation, PortableCopyOrTheUsersFolder) {
    struct Case {
        const char* what;
        std::string programFolder, userFolder;
        std::set<std::string> files;  // the regular files that exist
        std::string expected;
    };
    const Case cases[] = {
        {"nothing beside the program", "P\\", "U\\", {}, "U\\Brimmark.ini"},
        {"portable copy", "P\\", "U\\", {"P\\Brimmark.ini"}, "P\\Brimmark.ini"},
        {"portable copy wins over the user's file",
         "P\\",
         "U\\",
         {"P\\Brimmark.ini", "U\\Brimmark.ini"},
         "P\\Brimmark.ini"},
        {"another file beside the program",
         "P\\",
         "U\\",
         {"P\\Brimmark.ini.bak"},
         "U\\Brimmark.ini"},
        {"program folder unknown: not the working folder",
         "",
         "U\\",
         {"Brimmark.ini"},
         "U\\Brimmark.ini"},
        {"user folder unknown", "P\\", "", {}, "P\\Brimmark.ini"},
        {"both unknown", "", "", {"Brimmark.ini"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> asked;
        const auto isFile = [&](const std::string& path) {
            asked.push_back(path);
            return c.files.count(path) > 0;
        };
        EXPECT_EQ(chooseSettingsFile(c.programFolder, c.userFolder, isFile), c.expected);
        // Only the program's own folder is looked at, and only there.
        for (const std::string& path : asked)
            EXPECT_EQ(path, c.programFolder + "Brimmark.ini");
        EXPECT_LE(asked.size(), 1u);
    }
}

}  // namespace
}  // namespace brim::platform
