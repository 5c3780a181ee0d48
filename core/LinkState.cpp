#include "core/LinkState.h"

#include <nlohmann/json.hpp>

#include "platform/NativePaths.h"

namespace brim::core {
namespace {

using Json = nlohmann::json;

void makeFolders(platform::FileSystem& fs, const std::string& file) {
    constexpr platform::NativePaths paths = platform::NativePaths::native();
    for (std::size_t at = paths.rootLength(file); at < file.size(); ++at) {
        // Folders that exist answer success; the write below reports the rest.
        if (paths.isSeparator(file[at])) static_cast<void>(fs.createFolder(file.substr(0, at)));
    }
}

}  // namespace

LinkState LinkState::read(platform::FileSystem& fs, const std::string& file) {
    LinkState state;
    std::string bytes;
    if (!fs.readFile(file, bytes)) return state;
    const Json doc = Json::parse(bytes, nullptr, false);
    if (!doc.is_object() || !doc.contains("links") || !doc["links"].is_object()) return state;
    for (const auto& [url, entry] : doc["links"].items()) {
        if (!entry.is_object()) continue;
        const auto status = linkStatusFromName(entry.value("status", ""));
        if (!status) continue;
        CheckedLink link;
        link.result.status = *status;
        link.result.code = entry.value("code", 0L);
        link.result.location = entry.value("location", "");
        link.checked = entry.value("checked", std::int64_t{0});
        state.links.emplace(url, std::move(link));
    }
    return state;
}

platform::IoResult LinkState::save(platform::FileSystem& fs, const std::string& file) const {
    makeFolders(fs, file);
    const auto lock = fs.lockForUpdate(file);
    if (lock.status.error == platform::IoError::Busy) return lock.status;
    LinkState merged = read(fs, file);
    for (const auto& url : forgotten)
        merged.links.erase(url);
    for (const auto& [url, link] : links)
        merged.links[url] = link;
    Json all = Json::object();
    for (const auto& [url, link] : merged.links) {
        all[url] = {{"status", linkStatusName(link.result.status)},
                    {"code", link.result.code},
                    {"location", link.result.location},
                    {"checked", link.checked}};
    }
    // Addresses that are not UTF-8 are kept with U+FFFD rather than failing.
    return fs.replaceFile(
        file, Json{{"links", all}}.dump(1, '\t', false, Json::error_handler_t::replace) + "\n");
}

bool LinkState::checkedWithin(const std::string& url, std::int64_t now, double days) const {
    const auto it = links.find(url);
    return it != links.end() && static_cast<double>(now - it->second.checked) < days * 86400.0;
}

}  // namespace brim::core
