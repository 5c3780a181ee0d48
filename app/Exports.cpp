#include "app/Exports.h"

#include "app/Messages.h"
#include "core/Numbers.h"

namespace brim::app {
namespace {

constexpr ExportKind kKinds[] = {
    {"html", "お気に入り一覧", ".html", "リストが空です",
     "保存するHTMLファイルの名前を入力してください", "Input HTML-file name"},
    {"csv", "お気に入り一覧", ".csv", "リストがありません",
     "保存するCSVファイルの名前を入力してください", "Input CSV-file name"},
    {"netscape", "ブックマーク", ".html", "リストがありません",
     "保存するブックマークファイルの名前を入力してください", "Input bookmark-file name"},
};

}  // namespace

const ExportKind& exportKind(ExportFormat format) {
    return kKinds[static_cast<int>(format)];
}

std::optional<ExportFormat> exportFormatNamed(std::string_view word) {
    for (const auto f : {ExportFormat::Html, ExportFormat::Csv, ExportFormat::Netscape})
        if (word == exportKind(f).word) return f;
    return std::nullopt;
}

std::string proposedFileName(ExportFormat format) {
    const ExportKind& k = exportKind(format);
    return std::string(k.proposed) + k.extension;
}

RenderedExport renderExport(ExportFormat format, const core::Exporter& exporter,
                            const std::vector<core::ListRow>& rows, bool pages,
                            const ExportSettings& settings) {
    RenderedExport out;
    switch (format) {
        case ExportFormat::Html:
            out.bytes = exporter.HtmlPage(rows, pages, settings.html);
            break;
        case ExportFormat::Csv:
            out.bytes = exporter.CsvFile(rows, pages, settings.csvEncoding, &out.replaced);
            break;
        case ExportFormat::Netscape: {
            out.bytes = exporter.NetscapeFile(rows, pages, core::SecondsNow());
            break;
        }
    }
    return out;
}

bool exportToFolder(ExportFormat format, Prompts& prompts, platform::FileSystem& fs,
                    const std::string& folder, const std::function<RenderedExport()>& render) {
    const ExportKind& kind = exportKind(format);
    std::optional<RenderedExport> rendered;
    for (;;) {
        const auto answer = prompts.input(kind.title, kind.prompt, kind.proposed);
        if (!answer || answer->empty()) return false;
        if (answer->find_first_of("/\\") != std::string::npos) {
            prompts.message("ファイル名に「\\」や「/」は使えません。");
            continue;
        }
        const std::string path = folder + core::ExportFileName(*answer, kind.extension);
        if (!rendered) rendered = render();
        const auto r = fs.createNewFile(path, rendered->bytes);
        if (r.error == platform::IoError::Exists) {
            prompts.message("そのファイルはすでに存在します ");
            continue;
        }
        if (!r) {
            prompts.message("「" + path + "」を作成できませんでした。\n" + reasonText(r));
            return false;
        }
        if (rendered->replaced > 0) {
            prompts.message("コードページにない " + std::to_string(rendered->replaced) +
                            " 文字を「?」に置き換えて出力しました。\n"
                            "すべての文字を残すには「HTML出力内容」で「CSVファイルを UTF-8 "
                            "で出力する」を選んでください。");
        }
        return true;
    }
}

}  // namespace brim::app
