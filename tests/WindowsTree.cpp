#include "WindowsTree.h"

#include <algorithm>
#include <filesystem>

#include "TestSupport.h"
#include "text/Utf8.h"

namespace brim::test {
namespace {

std::string shortcutText(const TreeFavorite& f) {
    std::string text = "[DEFAULT]\r\nBASEURL=" + f.url + "\r\n[InternetShortcut]\r\nURL=" + f.url +
                       "\r\nIconIndex=0\r\n";
    if (!f.comment.empty()) text += "[CommentKey]\r\nWords=" + f.comment + "\r\n";
    return text;
}

std::string utf16Le(const std::string& text) {
    std::string out;
    const auto unit = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = brim::utf8::next(text, pos);
        if (c < 0x10000) {
            unit(c);
        } else {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

}  // namespace

std::string inFileEncoding(const TreeFavorite& f, const std::string& utf8) {
    switch (f.encoding) {
        case TreeEncoding::Utf16Le:
            return utf16Le(utf8);
        case TreeEncoding::Utf8:
            return utf8;
        case TreeEncoding::CodePage:
            break;
    }
    return cp932(utf8);
}

std::vector<TreeFavorite> makeWindowsTree(const std::string& root) {
    using enum TreeEncoding;
    std::vector<TreeFavorite> favorites = {
        {"\\", "Index.URL", "Index.URL", "http://index.example/", "トップ", CodePage},
        {"\\Links\\", "News.Url", "Links/News.Url", "http://news.example/", "", CodePage},
        {"\\Links\\", "Wide.url", "Links/Wide.url", "http://wide.example/", "ワイド", Utf16Le},
        // Not valid in the code page, so read and written as UTF-8.
        {"\\Links\\", "Plain.url", "Links/Plain.url", "http://plain.example/", "コメント", Utf8},
#ifndef _WIN32
        {"\\Links\\", "bad\uFFFD.url", "Links/bad\xFF.url", "http://bad.example/", "", CodePage},
        // 表 ends in the byte of "\": the name must be decoded, not split.
        {"\\日本語\\", "表示.url", cp932("日本語/表示.url"), "http://hyoji.example/", "表",
         CodePage},
#endif
    };
    for (auto& f : favorites) {
        f.file = native(f.file);
        const std::string mark = f.encoding == Utf16Le ? "\xFF\xFE" : "";
        writeFile(root + f.file, mark + inFileEncoding(f, shortcutText(f)));
    }
    const std::string shellInfo = "[.ShellClassInfo]\r\nIconResource=C:\\icon.dll,0\r\n";
    writeFile(root + "desktop.ini", shellInfo);
    writeFile(root + native("Links/Desktop.ini"), shellInfo);
    writeFile(root + native(kByteNames ? cp932("日本語") : "Links") + kSep + "Thumbs.db",
              std::string("\xD0\xCF\x11\xE0\0\0", 6));
    // A folder that holds nothing but its desktop.ini is no empty folder.
    writeFile(root + native("Empty/DESKTOP.INI"), shellInfo);
    std::sort(favorites.begin(), favorites.end(),
              [](const auto& a, const auto& b) { return a.file < b.file; });
    return favorites;
}

std::vector<std::string> filesBelow(const std::string& root, bool withSystemFiles) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(fsPath(root))) {
        if (!e.is_regular_file()) continue;
        const std::string name = utf8(e.path().filename());
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
        if (!withSystemFiles && (lower == "desktop.ini" || lower == "thumbs.db")) continue;
        files.push_back(utf8(e.path()).substr(root.size()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> filesOf(const std::vector<TreeFavorite>& favorites) {
    std::vector<std::string> files;
    for (const auto& f : favorites)
        files.push_back(f.file);
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace brim::test
