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
#include "platform/posix/DesktopEntryShortcuts.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/LocaleCaseMapper.h"

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
    platform::IconvCodePage cp{"CP932"};
    platform::LocaleCaseMapper caseMapper;
    RecordingOpener opener;
    FakePages pages;
    platform::FreedesktopTrash trash{dir / "home/.local/share"};
    platform::DesktopEntryShortcuts shortcuts{fs, folders.programFolder()};
    app::ScriptedPrompts prompts;
    core::Profile profile{fs, cp, folders};
    FakeView view;
    std::string root = folders.favorites();
    std::unique_ptr<app::Window> window;

    WindowFixture() { makeFolders(root); }

    // A fresh window, as the program starts; the screen starts blank again.
    app::Window& start(const std::string& argument = {}, platform::Trash* otherTrash = nullptr) {
        window.reset();
        view = FakeView{};
        window = std::make_unique<app::Window>(
            app::Services{fs, cp, folders, caseMapper, opener, pages,
                          otherTrash ? *otherTrash : trash, shortcuts},
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
    std::string box(app::Box b) const { return view.text(b); }
    void type(app::Box b, const std::string& text) { view.setText(b, text); }
    // Types into the keyword box and presses Enter.
    void search(const std::string& text) {
        type(app::Box::Combo1, text);
        window->Command8_Click();
    }
    const std::string& lastShown() const {
        static const std::string none;
        return prompts.shown.empty() ? none : prompts.shown.back();
    }
};

}  // namespace brim::test
