// The window's commands that write, move or open: save, delete, empty-folder
// removal, the exports, opening addresses and documents.

#include <algorithm>

#include "app/Messages.h"
#include "app/MoveToTrash.h"
#include "app/Window.h"
#include "core/DiskNames.h"
#include "core/Editing.h"
#include "core/Opening.h"
#include "core/Paths.h"
#include "core/Search.h"
#include "platform/NativePaths.h"
#include "text/Utf8.h"

namespace brim::app {

void Window::openIE() {
    const std::string url = view_.text(Id::Text4);
    // Nothing longer than a bare "http://" is no address worth opening.
    if (utf8::length(url) <= 7) return;
    // Other schemes can run a program or a script: the user sees the address first.
    if (!core::OpensWithoutAsking(url) &&
        !prompts_.confirm("次のアドレスは http、https、ftp、mailto のいずれでもありません。\n"
                          "開いてもよろしいですか？\n\n" +
                          utf8::visible(url))) {
        return;
    }
    const std::string failure = services_.opener.open(url);
    if (!failure.empty()) prompts_.message("ブラウザを開けませんでした。\n" + failure);
}

void Window::Command4_Click() {
    openIE();
}

void Window::Savefiles() {
    core::SaveRequest request{view_.text(Id::Text3), view_.text(Id::Text4), view_.text(Id::Text5),
                              view_.text(Id::Text6)};
    request.file = selectedFile(request.folder, request.name);
    const core::SaveResult result = core::Savefiles(*catalog_, request);
    view_.setText(Id::Text3, core::NameAfterSave(result, request));
    switch (result.kind) {
        case core::SaveResult::Kind::Saved:
            showSavedComment(result.path);
            refreshFileFolder(result.path);
            break;
        case core::SaveResult::Kind::NoName:
            prompts_.message("登録名かURLを入力してください。");
            break;
        case core::SaveResult::Kind::BadName:
            prompts_.message(
                "「" + result.fileName +
                "」は登録名に使えません。\n「\\」や「/」を含まない名前にしてください。");
            break;
        case core::SaveResult::Kind::HiddenName:
            prompts_.message("「" + result.fileName +
                             "」は「.」で始まるため、保存しても一覧に表示されません。\n"
                             "別の名前にしてください。");
            break;
        case core::SaveResult::Kind::NotWritten:
            prompts_.message("「" + result.fileName + "」を保存できませんでした。\n" +
                             reasonText(result.status));
            break;
    }
}

void Window::showSavedComment(const std::string& path) {
    if (ListMode != core::kListFavorites) return;
    // What the file now holds, as a fill would show it. The save wrote the
    // file as on disk, found as the rows found it: the rows of that file show it.
    const std::string comment = profile_.ReadShortcut(path).comment;
    for (int i = 0; i < list_.size(); ++i) {
        if (list_.file(i) != path) continue;
        Row r = *list_.row(i);
        r[2] = comment;
        list_.setRow(i, r);
        view_.setRow(i, r);
    }
}

std::string Window::selectedFile(const std::string& folder, const std::string& name) const {
    if (ListMode != core::kListFavorites) return {};
    const Row* r = list_.row(CurrentItem);
    if (!r || (*r)[1] != folder || core::StripExtension((*r)[0]) != name) return {};
    return list_.file(CurrentItem).str();
}

void Window::Movetrash() {
    const std::string folder = view_.text(Id::Text2);
    const std::string typed = view_.text(Id::Text3);
    std::string path = selectedFile(folder, typed);
    if (path.empty()) path = core::FavoritePath(*catalog_, folder, typed);
    // The file is named as the list shows it, in its own spelling.
    std::string name = typed + ".url";
    if (services_.fs.attributes(path)) name = core::ShownFileName(path, services_.codePage);
    const TrashOutcome r = MoveToTrash(services_.fs, services_.trash, path, [&] {
        return prompts_.confirm("「" + name + "」をごみ箱に移動しますか？");
    });
    switch (r.kind) {
        case TrashOutcome::Kind::Moved:
            refreshFileFolder(path);
            break;
        case TrashOutcome::Kind::Kept:
            break;
        case TrashOutcome::Kind::NotFound:
            prompts_.message("ファイルが見つかりません。\n" + path);
            break;
        case TrashOutcome::Kind::Failed:
            prompts_.message("「" + name + "」をごみ箱に移動できませんでした。\n" +
                             reasonText(r.io));
            break;
    }
}

void Window::delfolder_Click() {
    std::vector<Row> rows;
    std::vector<core::PruneProblem> problems;
    core::RemoveEmptyFolders(
        *catalog_, false,
        [&](const std::string& path) {
            rows.push_back({path, {}, {}});
        },
        problems);
    ItemCount = 0;
    FolderCount = 0;
    ListMode = core::kListFolders;
    fillList({"Deleted Folders"}, {5}, std::move(rows));
    if (problems.empty()) return;
    // Ten lines say enough; a message box taller than the screen says nothing.
    std::string text = "削除できなかったフォルダがあります。";
    for (std::size_t i = 0; i < problems.size() && i < 10; ++i) {
        text += "\n" + problems[i].path + "（" + reasonText(problems[i].io) + "）";
    }
    if (problems.size() > 10) text += "\nほか " + std::to_string(problems.size() - 10) + " 件";
    prompts_.message(text);
}

namespace {

std::size_t renamedCount(const std::vector<core::NameFix>& fixes) {
    return static_cast<std::size_t>(std::count_if(
        fixes.begin(), fixes.end(),
        [](const core::NameFix& f) { return f.kind == core::NameFix::Kind::Renamed; }));
}

// The names left as they were, ten at most, each with its reason.
std::string namesLeftText(const std::vector<core::NameFix>& fixes) {
    using Kind = core::NameFix::Kind;
    std::string text;
    std::size_t left = 0;
    for (const auto& f : fixes) {
        if (f.kind == Kind::Renamed || ++left > 10) continue;
        const std::string why = f.kind == Kind::Clash ? "同じ名前がすでにあります。"
                                : f.kind == Kind::Undecodable ? "どの文字コードでも読めません。"
                                                              : reasonText(f.io);
        text += "\n" + f.shown + "（" + why + "）";
    }
    if (left == 0) return {};
    if (left > 10) text += "\nほか " + std::to_string(left - 10) + " 件";
    return "\n変換しなかった名前があります。" + text;
}

}  // namespace

void Window::fixNames_Click() {
    const auto plan = core::FixNames(*catalog_, true);
    const std::size_t planned = renamedCount(plan);
    if (planned == 0) {
        prompts_.message("UTF-8 に変換できる名前はありません。" + namesLeftText(plan));
        return;
    }
    if (!prompts_.confirm(services_.codePage.name() + " の名前 " + std::to_string(planned) +
                          " 件を UTF-8 の名前に変換しますか？")) {
        return;
    }
    // A walk still running would read files as they are being renamed.
    cancelFill();
    const auto fixes = core::FixNames(*catalog_, false);
    prompts_.message(std::to_string(renamedCount(fixes)) + " 件の名前を UTF-8 に変換しました。" +
                     namesLeftText(fixes));
    allFile();
}

std::vector<core::ListRow> Window::exportRows() const {
    std::vector<core::ListRow> rows;
    for (int r = 0; r < ItemCount && r < list_.size(); ++r) {
        const Row& row = *list_.row(r);
        rows.push_back({row[0].str(), row[1].str(), list_.file(r).str()});
    }
    return rows;
}

void Window::exportList(ExportFormat format) {
    // The file holds the whole list, never the part a running fill has shown.
    finishFill();
    if (ItemCount == 0) {
        prompts_.message(exportKind(format).emptyList);
        return;
    }
    exportToFolder(format, prompts_, services_.fs, DesktopDir, [&] {
        return renderExport(format, core::Exporter(*catalog_), exportRows(),
                            ListMode == core::kListPages, {html_.options(), html_.csvEncoding()});
    });
}

void Window::mkHTML_Click() {
    exportList(ExportFormat::Html);
}

void Window::toCSV_Click() {
    exportList(ExportFormat::Csv);
}

void Window::toBookmarks_Click() {
    exportList(ExportFormat::Netscape);
}

void Window::ophelp_Click() {
    OpenDocument(services_.folders.helpFile());
}

void Window::OpenDocument(const std::string& file) {
    const std::string folder =
        file.substr(0, platform::NativePaths::native().lastSeparator(file) + 1);
    std::string failure;
    if (!services_.fs.attributes(folder)) {
        failure = "ファイルのパスが見つかりません。";
    } else if (!services_.fs.attributes(file)) {
        failure = "ファイルが見つかりません。";
    } else if (const std::string why = services_.opener.open(file); !why.empty()) {
        failure = "その他のエラー（" + why + "）";
    }
    if (!failure.empty()) prompts_.message(failure);
}

void Window::openHomePage() {
    const std::string failure = services_.opener.open(kHomePage);
    if (!failure.empty()) prompts_.message("ブラウザを開けませんでした。\n" + failure);
}

void Window::createShortcuts(bool sendTo, bool desktop) {
    if (const std::string refusal = services_.shortcuts.refusal(); !refusal.empty()) {
        // Nothing can be written for either folder: said once, not per folder.
        if (sendTo || desktop) {
            prompts_.message("ショートカットを作成できませんでした。\n" + utf8::visible(refusal));
        }
        return;
    }
    const std::pair<bool, const std::string*> targets[] = {{sendTo, &SendToDir},
                                                           {desktop, &DesktopDir}};
    for (const auto& [wanted, folder] : targets) {
        if (!wanted) continue;
        if (const auto r = services_.shortcuts.create(*folder); !r) {
            prompts_.message("ショートカットを作成できませんでした。\n" + *folder + "\n" +
                             reasonText(r));
        }
    }
}

}  // namespace brim::app
