#pragma once
// "ブラウザからインポート": the rules of the dialog that brings a browser's
// bookmarks, or a bookmark file, into the Favorites tree. The screen is
// reached through ImportView, so that every front end shares these rules.

#include <cstddef>
#include <string>
#include <vector>

#include "app/Prompts.h"
#include "core/Catalog.h"
#include "core/import/Sources.h"
#include "platform/BrowserProfiles.h"

namespace brim::app {

// The dialog's controls, as the rules see them.
class ImportView {
  public:
    virtual ~ImportView() = default;
    // The chosen line of the source list (Combo1), 0-based.
    virtual int sourceIndex() const = 0;
    // Text1: a bookmark file, or a browser profile folder, to read instead of
    // the browser's default profile; empty for that.
    virtual std::string fileText() const = 0;
    virtual void setFileText(const std::string& text) = 0;
    // Text2: the folder to import into.
    virtual std::string folderText() const = 0;
    virtual void setFolderText(const std::string& text) = 0;
    // The progress bar; a front end may let its screen repaint here.
    virtual void setProgress(std::size_t done, std::size_t total) = 0;
    // Label4.
    virtual void setSummary(const std::string& text) = 0;
    // While an import runs the buttons are off and the cursor shows it.
    virtual void setBusy(bool busy) = 0;
};

class ImportDialog {
  public:
    ImportDialog(const core::Catalog& catalog, const platform::BrowserProfiles& browsers,
                 Prompts& prompts, ImportView& view);

    // The lines of the source list, in the order sourceIndex counts them.
    static std::vector<std::string> SourceCaptions();

    // The source or the file changed: the target folder follows, unless the
    // user has typed one of their own.
    void proposeFolder();
    // "参照…" gave a file.
    void fileChosen(const std::string& file);
    // "インポート".
    void Command1_Click();

    // The summary of an import, as Label4 shows it.
    static std::string summaryText(const core::import::ImportSummary& s);

  private:
    core::import::Source source() const;

    const core::Catalog& catalog_;
    const platform::BrowserProfiles& browsers_;
    Prompts& prompts_;
    ImportView& view_;
    std::string proposed_;
};

}  // namespace brim::app
