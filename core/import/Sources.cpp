#include "core/import/Sources.h"

#include "core/Paths.h"
#include "core/Sessions.h"
#include "core/import/Readers.h"
#include "platform/NativePaths.h"

namespace brim::core::import {
namespace {

constexpr platform::NativePaths kPaths = platform::NativePaths::native();

std::string inFolder(std::string folder) {
    if (folder.empty() || !kPaths.isSeparator(folder.back())) folder += kPaths.separator();
    return folder;
}

std::string storeName(Source source) {
    return source == Source::Firefox ? "places.sqlite" : "Bookmarks";
}

const char* applicationOf(Source source) {
    return source == Source::Chrome ? "Google Chrome" : "Chromium";
}

}  // namespace

std::optional<Source> SourceNamed(std::string_view name) {
    if (name == "firefox") return Source::Firefox;
    if (name == "chromium") return Source::Chromium;
    if (name == "chrome") return Source::Chrome;
    if (name == "netscape") return Source::Netscape;
    return std::nullopt;
}

std::string DefaultFolderName(Source source, const std::string& file) {
    switch (source) {
        case Source::Firefox:
            return "Firefox";
        case Source::Chromium:
        case Source::Chrome:
            return applicationOf(source);
        case Source::Netscape:
            break;
    }
    const std::string_view name = SplitAtLastSeparator(file).second;
    return SafeName(name.substr(0, name.rfind('.')), "Bookmarks");
}

Located LocateBookmarks(Source source, platform::FileSystem& fs,
                        const platform::BrowserProfiles& browsers, const std::string& profile,
                        const std::string& file) {
    if (!file.empty()) return {file, {}};
    if (source == Source::Netscape) return {{}, "a bookmark file must be named"};
    if (!profile.empty()) return {inFolder(profile) + storeName(source), {}};
    for (const auto& browser : browsers.browserFolders()) {
        if (source == Source::Firefox && browser.kind == platform::BrowserKind::Firefox) {
            std::string ini;
            if (!fs.readFile(browser.folder + "profiles.ini", ini)) continue;
            if (const auto p = DefaultFirefoxProfile(ini, browser.folder)) {
                if (fs.attributes(*p + storeName(source))) return {*p + storeName(source), {}};
            }
        }
        if (source != Source::Firefox && browser.kind == platform::BrowserKind::Chromium &&
            browser.application == applicationOf(source)) {
            const std::string path =
                browser.folder + "Default" + kPaths.separator() + storeName(source);
            if (fs.attributes(path)) return {path, {}};
        }
    }
    return {{},
            source == Source::Firefox
                ? "no Firefox profile with bookmarks was found"
                : std::string("no ") + applicationOf(source) + " profile with bookmarks was found"};
}

ReadResult ReadBookmarks(Source source, platform::FileSystem& fs, const std::string& file) {
    if (source == Source::Firefox) return ReadFirefoxPlaces(file);
    std::string bytes;
    if (const auto r = fs.readFile(file, bytes); !r) {
        return {std::nullopt, "cannot read " + file + ": " + describe(r)};
    }
    return source == Source::Netscape ? ReadNetscapeBookmarks(bytes) : ReadChromiumBookmarks(bytes);
}

}  // namespace brim::core::import
