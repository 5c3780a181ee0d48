#include "core/Export.h"

#include <map>
#include <memory>

#include "core/Opening.h"
#include "core/Paths.h"
#include "core/Settings.h"
#include "text/Utf8.h"

namespace brim::core {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kIdeographicSpace = "\u3000";

// Encodes `text`; a character the code page lacks is replaced by what
// `fallback` makes of its code point.
template <typename Fallback>
std::string encodeEach(const platform::CodePage& cp, std::string_view text, Fallback fallback) {
    if (auto whole = cp.encode(text)) return *whole;
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = utf8::next(text, pos);
        if (auto one = cp.encode(text.substr(start, pos - start))) {
            out += *one;
        } else {
            out += fallback(c);
        }
    }
    return out;
}

// The charset a page in this code page declares.
std::string charsetOf(const platform::CodePage& cp) {
    const std::string name = cp.name();
    for (const char* sjis :
         {"CP932", "cp932", "MS932", "SHIFT_JIS", "Shift_JIS", "SJIS", "WINDOWS-31J"}) {
        if (name == sjis) return "x-sjis";
    }
    return name;
}

// A cell between quotes, quotes doubled. Spreadsheets run a cell that starts
// with =, +, -, @, tab or CR as a formula; a leading "'" keeps it text. The
// test looks at the text as it was, before its controls became blanks.
std::string csvField(std::string_view text, bool address = false) {
    std::string out = "\"";
    if (!text.empty() &&
        std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
        out += '\'';
    }
    for (const char c : address ? EncodeUrlControls(text) : BlankControls(text)) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

StoredHtmlOptions LoadStoredHtmlOptions(const Profile& profile) {
    StoredHtmlOptions s;
    if (const auto v = settings::CheckBoxFromSetting(profile.ReadSetting("HTMLCond", "check1"))) {
        s.check1 = *v;
    }
    if (const auto v = settings::CheckBoxFromSetting(profile.ReadSetting("HTMLCond", "check2"))) {
        s.check2 = *v;
    }
    if (const auto v = settings::CheckBoxFromSetting(profile.ReadSetting("HTMLCond", "check3"))) {
        s.check3 = *v;
    }
    return s;
}

HtmlOptions LoadHtmlOptions(const Profile& profile) {
    return LoadStoredHtmlOptions(profile).options();
}

WriteStatus SaveHtmlOptions(const Profile& profile, const StoredHtmlOptions& stored) {
    WriteStatus first =
        profile.WriteSetting("HTMLCond", "check1", settings::CheckBoxSetting(stored.check1));
    const WriteStatus second =
        profile.WriteSetting("HTMLCond", "check2", settings::CheckBoxSetting(stored.check2));
    const WriteStatus third =
        profile.WriteSetting("HTMLCond", "check3", settings::CheckBoxSetting(stored.check3));
    if (!first) return first;
    return second ? third : second;
}

std::string ExportFileName(std::string_view answer, std::string_view extension) {
    return StripExtension(answer) + std::string(extension);
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string BlankControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        if (utf8::isControl(utf8::next(text, pos))) {
            out += ' ';
        } else {
            out += text.substr(start, pos - start);
        }
    }
    return out;
}

std::string EncodeUrlControls(std::string_view url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (std::size_t pos = 0; pos < url.size();) {
        const std::size_t start = pos;
        const char32_t c = utf8::next(url, pos);
        if (c == '\t' || c == '\n' || c == '\r') continue;  // browsers drop these
        if (utf8::isControl(c)) {
            for (const char byte : url.substr(start, pos - start)) {
                const auto b = static_cast<unsigned char>(byte);
                out += '%';
                out += kHex[b >> 4];
                out += kHex[b & 0xF];
            }
        } else {
            out += url.substr(start, pos - start);
        }
    }
    return out;
}

Exporter::Favorite Exporter::read(const ListRow& row) const {
    Favorite f;
    // The folder label loses its leading "\": "\Links\" and "a.url" give "Links\a.url".
    const std::string joined = row.second + row.text;
    f.relative = joined.empty() ? joined : joined.substr(1);
    const auto [folder, name] = SplitAtLastSeparator(f.relative);
    f.folder = folder.empty() ? std::string() : std::string(folder.substr(0, folder.size() - 1));
    f.title = StripExtension(name);
    f.path = row.path.empty() ? catalog_.locate(f.relative) : row.path;
    ShortcutValues values = catalog_.profile().ReadShortcut(f.path);
    f.url = std::move(values.url);
    f.comment = std::move(values.comment);
    return f;
}

std::string Exporter::HtmlPage(const std::vector<ListRow>& rows, bool pages,
                               HtmlOptions options) const {
    const auto& cp = catalog_.profile().codePage();
    std::string page;
    const auto line = [&](std::string_view text) {
        page += encodeEach(cp, text, [](char32_t c) { return "&#" + std::to_string(c) + ";"; });
        page += kCrLf;
    };
    line("<HTML>");
    line("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html;CHARSET=" + charsetOf(cp) + "\">");
    line("<TITLE>私のお気に入り</TITLE>");
    line("</HEAD>");
    line("<BODY BGCOLOR=\"#ffffff\">");
    line("");
    line("<P>ブックマークのリスト</P>");
    line("<UL>");
    std::string heading;
    for (const auto& row : rows) {
        std::string url, title, comment, rowHeading;
        if (pages) {
            url = row.second;
            title = row.text;
        } else {
            Favorite f = read(row);
            rowHeading = std::move(f.folder);
            title = std::move(f.title);
            url = std::move(f.url);
            comment = std::move(f.comment);
        }
        if (rowHeading != heading) {
            line("</UL>");
            line("<P>" + EscapeHtml(BlankControls(rowHeading)) + "</P>");
            line("<UL>");
            heading = rowHeading;
        }
        // The scheme is judged on the address as written, which is what a
        // browser will read.
        const std::string writtenUrl = EncodeUrlControls(url);
        const std::string shownUrl = EscapeHtml(writtenUrl);
        const std::string shownTitle = EscapeHtml(BlankControls(title));
        std::string text;
        if (IsLinkableAddress(writtenUrl)) {
            text = " <LI><A HREF=\"" + shownUrl + "\">" + shownTitle + "</A>";
            if (options.address) text += std::string(kIdeographicSpace) + shownUrl;
        } else {
            // Any other address (javascript:, data:, a program's path) would
            // run from the page: it is shown, not linked.
            text = " <LI>" + shownTitle + std::string(kIdeographicSpace) + shownUrl;
        }
        if (options.comment) {
            text += std::string(kIdeographicSpace) + EscapeHtml(BlankControls(comment));
        }
        line(text + " ");
    }
    line("</UL>");
    line("</BODY>");
    line("</HTML>");
    return page;
}

std::string Exporter::CsvFile(const std::vector<ListRow>& rows, bool pages, CsvEncoding encoding,
                              std::size_t* replaced) const {
    const auto& cp = catalog_.profile().codePage();
    std::string text = "名称, フォルダ, URL, コメント\r\n";
    for (const auto& row : rows) {
        if (pages) {
            text += csvField(row.text) + ",\"\"," + csvField(row.second, true) + ",\"\"\r\n";
            continue;
        }
        const Favorite f = read(row);
        text += csvField(f.title) + "," + csvField(f.folder) + ",";
        text += csvField(f.url, true) + "," + csvField(f.comment) + "\r\n";
    }
    std::size_t count = 0;
    if (encoding == CsvEncoding::Utf8) {
        text.insert(0, kUtf8Mark);
    } else {
        // A spreadsheet shows "?" where the code page has no character; the
        // caller learns how many so that the user is told.
        text = encodeEach(cp, text, [&count](char32_t) {
            ++count;
            return std::string("?");
        });
    }
    if (replaced) *replaced = count;
    return text;
}

std::string Exporter::NetscapeFile(const std::vector<ListRow>& rows, bool pages,
                                   std::int64_t now) const {
    struct Folder {
        std::string name;
        std::vector<std::string> items;  // finished <DT><A> lines, with their <DD>
        std::vector<std::unique_ptr<Folder>> folders;
        Folder& child(const std::string& n) {
            for (auto& f : folders) {
                if (f->name == n) return *f;
            }
            folders.push_back(std::make_unique<Folder>());
            folders.back()->name = n;
            return *folders.back();
        }
    };
    Folder root;
    for (const auto& row : rows) {
        std::string url, title, comment, date = std::to_string(now);
        Folder* folder = &root;
        if (pages) {
            url = row.second;
            title = row.text;
        } else {
            Favorite f = read(row);
            // The folder label "\A\B\" names the folders A and B.
            std::string_view label = row.second;
            std::size_t start = 1;
            for (std::size_t sep; (sep = label.find('\\', start)) != std::string_view::npos;
                 start = sep + 1) {
                folder = &folder->child(std::string(label.substr(start, sep - start)));
            }
            title = std::move(f.title);
            url = std::move(f.url);
            comment = std::move(f.comment);
            if (const auto mtime = catalog_.fileSystem().modificationTime(f.path)) {
                date = std::to_string(*mtime);
            }
        }
        std::string item = "<DT><A HREF=\"" + EscapeHtml(EncodeUrlControls(url)) +
                           "\" ADD_DATE=\"" + date + "\">" + EscapeHtml(BlankControls(title)) +
                           "</A>";
        if (!comment.empty()) item += "\n<DD>" + EscapeHtml(BlankControls(comment));
        folder->items.push_back(std::move(item));
    }
    std::string out =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<!-- This is an automatically generated file.\n"
        "     It will be read and overwritten.\n"
        "     DO NOT EDIT! -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks</H1>\n";
    const std::string stamp = std::to_string(now);
    const auto write = [&](const auto& self, const Folder& folder,
                           const std::string& indent) -> void {
        out += indent + "<DL><p>\n";
        const std::string inner = indent + "    ";
        for (const auto& item : folder.items) {
            std::size_t start = 0;
            for (std::size_t nl; (nl = item.find('\n', start)) != std::string::npos;
                 start = nl + 1) {
                out += inner + item.substr(start, nl - start) + "\n";
            }
            out += inner + item.substr(start) + "\n";
        }
        for (const auto& sub : folder.folders) {
            out += inner + "<DT><H3 ADD_DATE=\"" + stamp + "\" LAST_MODIFIED=\"" + stamp + "\">" +
                   EscapeHtml(BlankControls(sub->name)) + "</H3>\n";
            self(self, *sub, inner);
        }
        out += indent + "</DL><p>\n";
    };
    write(write, root, "");
    return out;
}

}  // namespace brim::core
