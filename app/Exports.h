#pragma once
// The list written out as a file, the same way from the window and from the
// command line: each format's proposed name, its texts, and its rendering;
// and the window's questions for a free name on the Desktop.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Prompts.h"
#include "core/Export.h"
#include "platform/FileSystem.h"

namespace brim::app {

enum class ExportFormat { Html, Csv, Netscape };

struct ExportKind {
    const char* word;       // as the command line names it: "html", "csv", "netscape"
    const char* proposed;   // the file's proposed name, without its extension
    const char* extension;  // ".html", ".csv"
    const char* emptyList;  // what the window says when the list has no rows
    const char* prompt;     // the window's question for the name
    const char* title;      // the question's caption
};
const ExportKind& exportKind(ExportFormat format);
// The format the command line names `word`, or nullopt.
std::optional<ExportFormat> exportFormatNamed(std::string_view word);
// The file's name when none is given: the proposed name and the extension.
std::string proposedFileName(ExportFormat format);

// What an export takes from the settings.
struct ExportSettings {
    core::HtmlOptions html;
    core::CsvEncoding csvEncoding = core::CsvEncoding::CodePage;
};

struct RenderedExport {
    std::string bytes;
    std::size_t replaced = 0;  // characters of a CSV file the code page lacks, written as "?"
};
// The rows as the format writes them; a bookmark file is dated now.
// `pages`: the rows are browser pages.
RenderedExport renderExport(ExportFormat format, const core::Exporter& exporter,
                            const std::vector<core::ListRow>& rows, bool pages,
                            const ExportSettings& settings);

// The window's export: asks for a name until none of the answer's faults
// remain and the file is free in `folder` (ending in the separator), then
// creates it with what `render` gives, rendered once however often a name
// is asked again; says what went wrong. True when the file was written.
bool exportToFolder(ExportFormat format, Prompts& prompts, platform::FileSystem& fs,
                    const std::string& folder, const std::function<RenderedExport()>& render);

}  // namespace brim::app
