#pragma once
// The list written out: an HTML page to read, a CSV file, and a bookmark
// file that browsers import.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Catalog.h"

namespace brim::core {

// A row of the list as the exports read it: the row text and its second
// cell (a favorite's file name and folder label, or a page's title and
// address), and a favorite's file as on disk (FavoriteItem::path; when empty,
// the file is looked up from the two cells).
struct ListRow {
    std::string text;
    std::string second;
    std::string path = {};
};

struct HtmlOptions {
    bool address = false;  // "インターネットアドレスを表示する"
    bool comment = true;   // "コメントを出力する"
};

// How the CSV file is encoded: in the code page, as the other files, or as
// UTF-8 with a byte order mark, which keeps every character.
enum class CsvEncoding { CodePage, Utf8 };

// The export options as stored (section "HTMLCond", keys check1, check2 and
// check3), laid over the form's starting values; an option is on when its box holds
// exactly 1.
struct StoredHtmlOptions {
    int check1 = 0;
    int check2 = 1;
    int check3 = 0;  // the CSV file in UTF-8
    HtmlOptions options() const { return {check1 == 1, check2 == 1}; }
    CsvEncoding csvEncoding() const {
        return check3 == 1 ? CsvEncoding::Utf8 : CsvEncoding::CodePage;
    }
};
StoredHtmlOptions LoadStoredHtmlOptions(const Profile& profile);
HtmlOptions LoadHtmlOptions(const Profile& profile);
WriteStatus SaveHtmlOptions(const Profile& profile, const StoredHtmlOptions& stored);

// The exported file's name: the answer without a short extension, then `extension`.
std::string ExportFileName(std::string_view answer, std::string_view extension);

class Exporter {
  public:
    explicit Exporter(const Catalog& catalog) : catalog_(catalog) {}

    // Every export writes each control character of a name, folder or
    // comment as one blank, and writes addresses through EncodeUrlControls, so
    // that no line break or escape sequence from a favorite reaches the file.

    // The HTML page in the code page, CRLF lines: a heading at every change
    // of folder, a link per row with the address and comment as the options
    // say. Text is escaped; a character the code page lacks becomes a
    // numeric character reference. Only http, https, ftp, file and mailto
    // addresses become links; any other is written as text after the name.
    // `pages`: the rows are browser pages.
    std::string HtmlPage(const std::vector<ListRow>& rows, bool pages, HtmlOptions options) const;

    // The CSV file, CRLF lines: the header, then name, folder, address and
    // comment of each row, each quoted, quotes doubled. A cell that a
    // spreadsheet would take for a formula (starting with =, +, -, @, tab or
    // CR) gets a leading "'". In the code page a character it lacks becomes
    // "?", and `replaced` (when given) gets how many did; in UTF-8 the file
    // starts with a byte order mark and nothing is replaced.
    std::string CsvFile(const std::vector<ListRow>& rows, bool pages,
                        CsvEncoding encoding = CsvEncoding::CodePage,
                        std::size_t* replaced = nullptr) const;

    // A Netscape bookmark file (UTF-8) with the folder tree of the rows:
    // <H3> and a nested <DL> per folder, <A> per favorite with the file's
    // modification time, the comment as <DD>. `now` dates the folders. Every
    // address stays a link: browsers judge them when they import the file.
    std::string NetscapeFile(const std::vector<ListRow>& rows, bool pages, std::int64_t now) const;

  private:
    struct Favorite {
        std::string relative;  // folder label without its first "\" + file name
        std::string path;      // the system's path of the file
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

// `text` with each control character (C0, DEL, C1) written as one blank.
std::string BlankControls(std::string_view text);

// `url` as browsers store it: tabs and line breaks dropped, each other
// control character percent-encoded (its UTF-8 bytes).
std::string EncodeUrlControls(std::string_view url);

}  // namespace brim::core
