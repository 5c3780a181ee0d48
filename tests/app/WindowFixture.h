#pragma once
// One window's rules over a fake screen, scripted prompts and a temporary
// Favorites folder, settings file and Desktop.

#include <gtest/gtest.h>

#include <memory>

#include "FakeView.h"
#include "FlakyFileSystem.h"
#include "TestSupport.h"
#include "app/Prompts.h"
#include "app/Window.h"
#include "core/Profile.h"
#ifdef _WIN32
#include "platform/win32/ShellLinkShortcuts.h"
#else
#include "platform/posix/DesktopEntryShortcuts.h"
#include "platform/posix/FreedesktopTrash.h"
#endif

namespace brim::test {

// Records what the rules ask the desktop to open; opens nothing.
struct RecordingOpener final : platform::Opener {
    std::vector<std::string> opened;
    std::string failure;
    std::string open(const std::string& target) override {
        opened.push_back(target);
        return failure;
    }
};

// Pages a test says are open.
struct FakePages final : platform::PageSource {
    std::vector<platform::BrowserPage> pages;
    std::vector<platform::BrowserPage> openPages() override { return pages; }
};

// A trash that refuses everything, as a full or unmounted one would.
struct RefusingTrash final : platform::Trash {
    int asked = 0;
    platform::IoResult moveToTrash(const std::string&) override {
        ++asked;
        return {platform::IoError::Denied, 13};
    }
};

class WindowFixture : public ::testing::Test {
  protected:
    TempDir dir;
    TestFolders folders{dir};
    FlakyFileSystem fs;
    SystemCodePage cp;
    SystemCaseMapper caseMapper;
    RecordingOpener opener;
    FakePages pages;
#ifdef _WIN32
    // The recycle bin is the user's own: the tests keep theirs in a folder.
    FolderTrash trash{dir / "Recycled\\"};
    platform::ShellLinkShortcuts shortcuts{folders.programFolder()};
#else
    platform::FreedesktopTrash trash{dir / "home/.local/share"};
    platform::DesktopEntryShortcuts shortcuts{fs, folders.programFolder()};
#endif
    NoBrowsers browsers;
    app::ScriptedPrompts prompts;
    core::Profile profile{fs, cp, folders};
    FakeView view;
    std::string root = folders.favorites();
    std::unique_ptr<app::Window> window;

    WindowFixture() {
        makeFolders(root);
    }

    // A fresh window, as the program starts; the screen starts blank again.
    app::Window& start(const std::string& argument = {}, platform::Trash* otherTrash = nullptr) {
        window.reset();
        view = FakeView{};
        window = std::make_unique<app::Window>(
            app::Services{fs, cp, folders, caseMapper, opener, pages,
                          otherTrash ? *otherTrash : trash, shortcuts, browsers},
            view, prompts);
        window->startUp(argument);
        return *window;
    }
    void setting(std::string_view section, std::string_view key, std::string_view value) {
        ASSERT_TRUE(profile.WriteSetting(section, key, value));
    }
    std::string setting(std::string_view section, std::string_view key) const {
        return profile.ReadSetting(section, key);
    }
    std::string box(app::Id b) const {
        return view.text(b);
    }
    void type(app::Id b, const std::string& text) {
        view.setText(b, text);
    }
    // Types into the keyword box and presses Enter.
    void search(const std::string& text) {
        type(app::Id::Combo1, text);
        window->Command8_Click();
    }
    // Where the trash put a file of this name.
    std::string trashed(const std::string& name) const {
#ifdef _WIN32
        return dir / ("Recycled\\" + name);
#else
        return dir / ("home/.local/share/Trash/files/" + name);
#endif
    }
    const std::string& lastShown() const {
        static const std::string none;
        return prompts.shown.empty() ? none : prompts.shown.back();
    }
};

}  // namespace brim::test
