#include "app/ImportDialog.h"

#include <algorithm>

#include "core/import/Bookmarks.h"
#include "text/Utf8.h"

namespace brim::app {
namespace {

using core::import::Source;

constexpr Source kSources[] = {Source::Firefox, Source::Chromium, Source::Chrome, Source::Netscape};

// Redrawing the bar for every bookmark would cost more than writing it.
constexpr std::size_t kProgressStep = 100;

// The refusals the summary names one by one; the rest are counted.
constexpr std::size_t kRefusalsListed = 5;

}  // namespace

ImportDialog::ImportDialog(const core::Catalog& catalog, const platform::BrowserProfiles& browsers,
                           Prompts& prompts, ImportView& view)
    : catalog_(catalog), browsers_(browsers), prompts_(prompts), view_(view) {
    proposeFolder();
}

std::vector<std::string> ImportDialog::SourceCaptions() {
    return {"Firefox", "Chromium", "Google Chrome", "ブックマークファイル (HTML)"};
}

Source ImportDialog::source() const {
    return kSources[std::clamp(view_.sourceIndex(), 0, static_cast<int>(std::size(kSources)) - 1)];
}

void ImportDialog::proposeFolder() {
    const std::string next =
        "\\" + core::import::DefaultFolderName(source(), view_.fileText()) + "\\";
    const std::string typed = view_.folderText();
    if (typed.empty() || typed == proposed_) view_.setFolderText(next);
    proposed_ = next;
}

void ImportDialog::fileChosen(const std::string& file) {
    if (file.empty()) return;
    view_.setFileText(file);
    proposeFolder();
}

std::string ImportDialog::summaryText(const core::import::ImportSummary& s) {
    std::string text = "取り込み: " + std::to_string(s.imported) +
                       " 件　重複のため省略: " + std::to_string(s.duplicates) +
                       " 件　取り込めなかったもの: " + std::to_string(s.refused.size()) + " 件";
    for (std::size_t i = 0; i < s.refused.size() && i < kRefusalsListed; ++i) {
        text += "\n" + utf8::visible(s.refused[i].path) + "（" +
                utf8::visible(s.refused[i].reason) + "）";
    }
    if (s.refused.size() > kRefusalsListed) {
        text += "\nほか " + std::to_string(s.refused.size() - kRefusalsListed) + " 件";
    }
    return text;
}

void ImportDialog::Command1_Click() {
    namespace imp = core::import;
    // Text1 names a bookmark store, or the profile folder that holds one.
    const std::string given = view_.fileText();
    const auto attributes = given.empty() ? std::nullopt : catalog_.fileSystem().attributes(given);
    const bool isProfile = attributes && (*attributes & platform::kDirectory);
    const imp::Located located = imp::LocateBookmarks(
        source(), catalog_.fileSystem(), browsers_, isProfile ? given : "", isProfile ? "" : given);
    if (located.file.empty()) {
        prompts_.message("ブックマークが見つかりませんでした。\n" + utf8::visible(located.error));
        return;
    }
    const imp::ReadResult read = imp::ReadBookmarks(source(), catalog_.fileSystem(), located.file);
    if (!read.tree) {
        prompts_.message("ブックマークを読み込めませんでした。何も取り込んでいません。\n" +
                         utf8::visible(read.error));
        return;
    }
    std::string into = view_.folderText();
    if (into.empty()) into = proposed_;
    const std::size_t total = read.tree->count();
    view_.setSummary({});
    view_.setProgress(0, total);
    view_.setBusy(true);
    const imp::ImportSummary s =
        imp::ImportBookmarks(catalog_, *read.tree, into, false, [&](std::size_t done) {
            if (done % kProgressStep == 0 || done == total) view_.setProgress(done, total);
        });
    view_.setBusy(false);
    view_.setSummary(summaryText(s));
}

}  // namespace brim::app
