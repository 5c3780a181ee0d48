#pragma once
// A Favorites tree, Desktop, send-to and program folder in a temporary
// folder, with the real Windows file system, code page and case mapping,
// and fakes that record what the window asks of the rest of the system.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "NoBrowsers.h"
#include "app/Window.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Services.h"

namespace brim::test {

namespace fs = std::filesystem;

struct TempFolders final : platform::KnownFolders {
    std::string base;
    std::string favorites() const override { return base + "Favorites\\"; }
    std::string desktop() const override { return base + "Desktop\\"; }
    std::string sendTo() const override { return base + "SendTo\\"; }
    std::string programFolder() const override { return base + "Program\\"; }
    std::string settingsFile() const override { return base + "Brimmark.ini"; }
    // Nowhere unless a test keeps the link check's results.
    std::string state;
    std::string stateFolder() const override { return state; }
};

struct RecordingOpener final : platform::Opener {
    std::vector<std::string> opened;
    std::string open(const std::string& target) override {
        opened.push_back(target);
        return {};
    }
};

// One page is open unless a test says otherwise.
struct FakePages final : platform::PageSource {
    std::vector<platform::BrowserPage> pages{
        {"Example", "http://page.example/", "Mozilla Firefox"}};
    std::vector<platform::BrowserPage> openPages() override { return pages; }
};

struct RecordingTrash final : platform::Trash {
    std::vector<std::string> moved;
    platform::IoResult moveToTrash(const std::string& path) override {
        moved.push_back(path);
        return {};
    }
};

struct RecordingShortcuts final : platform::ProgramShortcuts {
    std::vector<std::string> folders;
    platform::IoResult create(const std::string& folder) override {
        folders.push_back(folder);
        return {};
    }
};

class TestTree {
  public:
    fs::path dir;
    TempFolders folders;
    platform::Win32FileSystem files;
    platform::Win32CodePage codePage;
    platform::Win32CaseMapper caseMapper;
    RecordingOpener opener;
    FakePages pages;
    RecordingTrash trash;
    RecordingShortcuts shortcuts;
    NoBrowsers browsers;

    // Favorites\a.url and an empty folder Favorites\Empty; the records cleared.
    void makeTree() {
        opener = {};
        pages = {};
        trash = {};
        shortcuts = {};
        dir = fs::temp_directory_path() / ("brimmark-win-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(dir);
        for (const char* sub : {"Favorites/Empty", "Desktop", "SendTo", "Program"})
            fs::create_directories(dir / sub);
        const std::u8string base = dir.u8string();
        folders.base = std::string(base.begin(), base.end()) + "\\";
        std::ofstream(dir / "Favorites" / "a.url", std::ios::binary)
            << "[InternetShortcut]\r\nURL=http://a.example/\r\n";
    }
    void removeTree() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    app::Services services() {
        return {files, codePage, folders, caseMapper, opener, pages, trash, shortcuts, browsers};
    }
};

}  // namespace brim::test
