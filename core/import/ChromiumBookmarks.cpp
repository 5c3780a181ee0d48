#include <nlohmann/json.hpp>

#include "core/import/Readers.h"

namespace brim::core::import {
namespace {

using nlohmann::json;

constexpr int kMaxDepth = 200;

// Fills `folder` from a Chromium folder node; false when a node is not what
// the format says.
bool readFolder(const json& node, BookmarkFolder& folder, int depth, std::string& error) {
    if (depth > kMaxDepth) {
        error = "folders nested too deeply";
        return false;
    }
    const auto children = node.find("children");
    if (children == node.end()) return true;
    if (!children->is_array()) {
        error = "a folder's children are not a list";
        return false;
    }
    for (const auto& child : *children) {
        if (!child.is_object()) {
            error = "a bookmark is not an object";
            return false;
        }
        const std::string type = child.value("type", "");
        const std::string name = child.value("name", "");
        if (type == "url") {
            folder.bookmarks.push_back({name, child.value("url", ""), {}});
        } else if (type == "folder") {
            BookmarkFolder sub;
            sub.name = name;
            if (!readFolder(child, sub, depth + 1, error)) return false;
            folder.folders.push_back(std::move(sub));
        }
    }
    return true;
}

}  // namespace

ReadResult ReadChromiumBookmarks(std::string_view text) {
    ReadResult result;
    try {
        const json doc = json::parse(text.begin(), text.end());
        const auto roots = doc.is_object() ? doc.find("roots") : doc.end();
        if (roots == doc.end() || !roots->is_object()) {
            result.error = "not a Chromium bookmark file (no \"roots\")";
            return result;
        }
        BookmarkFolder tree;
        // The permanent folders, as the browser shows them in Japanese.
        for (const auto& [key, name] : {std::pair{"bookmark_bar", "ブックマーク バー"},
                                        {"other", "その他のブックマーク"},
                                        {"synced", "モバイルのブックマーク"}}) {
            const auto root = roots->find(key);
            if (root == roots->end()) continue;
            if (!root->is_object()) {
                result.error = std::string("the folder \"") + key + "\" is damaged";
                return result;
            }
            BookmarkFolder folder;
            folder.name = name;
            if (!readFolder(*root, folder, 0, result.error)) return result;
            tree.folders.push_back(std::move(folder));
        }
        result.tree = std::move(tree);
    } catch (const json::exception& e) {
        result.error = std::string("not a Chromium bookmark file: ") + e.what();
    } catch (const std::bad_alloc&) {
        result.error = "not enough memory to read the bookmark file";
    }
    return result;
}

}  // namespace brim::core::import
