#pragma once
// The list written out: an HTML page to read, a CSV file, and a bookmark
// file that browsers import.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Catalog.h"

namespace brim::core {

// A row of the list as the exports read it: the row text and its second
// cell (a favorite's file name and folder label, or a page's title and
// address).
struct ListRow {
    std::string text;
    std::string second;
};

struct HtmlOptions {
    bool address = false;  // "インターネットアドレスを表示する"
    bool comment = true;   // "コメントを出力する"
};

// The HTML options as stored (section "HTMLCond", keys check1 and check2),
// laid over the design values; an option is on when its box holds exactly 1.
struct StoredHtmlOptions {
    int check1 = 0;
    int check2 = 1;
    HtmlOptions options() const { return {check1 == 1, check2 == 1}; }
};
StoredHtmlOptions LoadStoredHtmlOptions(const Profile& profile);
HtmlOptions LoadHtmlOptions(const Profile& profile);
WriteStatus SaveHtmlOptions(const Profile& profile, const StoredHtmlOptions& stored);

// The exported file's name: the answer without a short extension, then `extension`.
std::string ExportFileName(std::string_view answer, std::string_view extension);

class Exporter {
  public:
    explicit Exporter(const Catalog& catalog) : catalog_(catalog) {}

    // The HTML page in the code page, CRLF lines: a heading at every change
    // of folder, a link per row with the address and comment as the options
    // say. Text is escaped; a character the code page lacks becomes a
    // numeric character reference. `pages`: the rows are browser pages.
    std::string HtmlPage(const std::vector<ListRow>& rows, bool pages, HtmlOptions options) const;

    // The CSV file in the code page, CRLF lines: the header, then name,
    // folder, address and comment of each row, each quoted, quotes doubled.
    std::string CsvFile(const std::vector<ListRow>& rows, bool pages) const;

    // A Netscape bookmark file (UTF-8) with the folder tree of the rows:
    // <H3> and a nested <DL> per folder, <A> per favorite with the file's
    // modification time, the comment as <DD>. `now` dates the folders.
    std::string NetscapeFile(const std::vector<ListRow>& rows, bool pages, std::int64_t now) const;

  private:
    struct Favorite {
        std::string relative;  // folder label without its first "\" + file name
        std::string folder;    // the folder part without separators at either end: "A\B"
        std::string title;     // the file name without its short extension
        std::string url;
        std::string comment;
    };
    Favorite read(const ListRow& row) const;

    const Catalog& catalog_;
};

// `text` escaped for HTML: &, <, > and ".
std::string EscapeHtml(std::string_view text);

}  // namespace brim::core
