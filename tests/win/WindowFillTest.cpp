// The Windows window while its list fills: the walk runs on threads of its
// own and the rows come back through the message loop, so the window keeps
// answering, Esc stops a fill, a new fill replaces a running one and closing
// the window mid-fill is clean. Slowness comes from a file held at a gate,
// never from a clock; every wait has a generous limit.

#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "../GatedFileSystem.h"
#include "../app/FakeView.h"
#include "WinMessageLoop.h"
#include "WinTestTree.h"
#include "app/Commands.h"
#include "app/Prompts.h"
#include "core/Profile.h"
#include "core/Settings.h"
#include "win/Form1Window.h"
#include "win/WindowScheduler.h"

namespace brim::test {
namespace {

using app::Id;

// Opens the gate by itself once the limit has passed, so that a window
// that waits for the held read on its own thread fails its test, not hangs.
class GateWatchdog {
  public:
    explicit GateWatchdog(GatedFileSystem& gate)
        : thread_([this, &gate] {
              std::unique_lock lock(mutex_);
              changed_.wait_for(lock, kGenerousWait, [this] { return done_; });
              gate.open();
          }) {}
    ~GateWatchdog() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    GateWatchdog(const GateWatchdog&) = delete;
    GateWatchdog& operator=(const GateWatchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
    std::thread thread_;  // last: it uses the members above
};

class WindowFillTest : public ::testing::Test, public TestTree {
  protected:
    std::unique_ptr<GatedFileSystem> gate;
    std::unique_ptr<GateWatchdog> watchdog;
    app::ScriptedPrompts referencePrompts;
    std::unique_ptr<win::Form1Window> form;
    HWND hwnd = nullptr;
    std::string heldFile = "\\D15\\n030.url";

    // Favorites: ten files on top, then 30 folders of 60 files and a
    // subfolder of 20; every tenth file has the same address, every
    // seventh a comment. 2,410 favorites in all.
    void SetUp() override {
        // Wine makes no window without a display; scripts/test-windows runs
        // these again in its virtual one.
        HWND probe = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        if (!probe) GTEST_SKIP() << "no window can be made here (no display)";
        DestroyWindow(probe);
        makeTree();
        pages.pages.clear();  // so that the window starts with every favorite
        const fs::path favorites = dir / "Favorites";
        fs::remove(favorites / "a.url");
        const auto write = [](const fs::path& file, int i) {
            std::ofstream out(file, std::ios::binary);
            out << "[InternetShortcut]\r\nURL="
                << (i % 10 == 0
                        ? std::string("http://same.example/")
                        : "http://site" + std::to_string(i % 50) + ".example/" + std::to_string(i))
                << "\r\n";
            if (i % 7 == 0) out << "[CommentKey]\r\nWords=note " << i << "\r\n";
        };
        int i = 0;
        for (int t = 0; t < 10; ++t)
            write(favorites / ("t" + std::to_string(t) + ".url"), i++);
        for (int d = 0; d < 30; ++d) {
            char folder[8];
            std::snprintf(folder, sizeof folder, "D%02d", d);
            fs::create_directories(favorites / folder / "Sub");
            for (int n = 0; n < 80; ++n) {
                char name[16];
                std::snprintf(name, sizeof name, "n%03d.url", n);
                write(n < 60 ? favorites / folder / name : favorites / folder / "Sub" / name, i++);
            }
        }
        gate = std::make_unique<GatedFileSystem>(files);
    }
    void TearDown() override {
        if (!gate) return;  // skipped
        gate->open();
        form.reset();  // waits for the walks, which the open gate lets end
        watchdog.reset();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        removeTree();
    }
    app::Services gatedServices() {
        return {*gate, codePage, folders, caseMapper, opener, pages, trash, shortcuts, browsers};
    }
    // The window as the program starts it, its fill held at `heldFile`.
    // Callers return at once when it fails.
    void startHeld() {
        // What is typed during a fill stays in the keyword box and searches
        // nothing: these tests hold the fill, and the search as typed has its own.
        const core::Profile profile(files, codePage, folders);
        ASSERT_TRUE(profile.WriteSetting(core::settings::kTypeSearch, core::settings::kSwitchValue,
                                         core::settings::CheckBoxSetting(0)));
        gate->close(heldFile);
        watchdog = std::make_unique<GateWatchdog>(*gate);
        form = std::make_unique<win::Form1Window>(gatedServices());
        ASSERT_TRUE(form->create());
        form->startUp({});
        hwnd = form->hwnd();
    }
    // The same rules on one thread over a fake screen: what the list must
    // show once a fill has ended, after `command`.
    // It leaves no settings behind (searched keywords would be offered).
    FakeView reference(const std::function<void(app::Window&, FakeView&)>& command = {}) {
        FakeView view;
        {
            app::Window rules(services(), view, referencePrompts);
            rules.startUp({});
            if (command) command(rules, view);
        }
        fs::remove(dir / "Brimmark.ini");
        return view;
    }

    bool pump(const std::function<bool()>& done) { return pumpUntil(*form, done); }
    bool filling() { return form->rules().isFilling(); }
    HWND control(Id id) const { return GetDlgItem(hwnd, +id); }
    void command(Id id) { SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(+id, BN_CLICKED), 0); }
    int rowCount() const { return ListView_GetItemCount(control(Id::ListView1)); }
    std::vector<app::Row> shownRows() const {
        std::vector<app::Row> rows(static_cast<std::size_t>(rowCount()));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < 3; ++c) {
                wchar_t buffer[512] = {};
                ListView_GetItemText(control(Id::ListView1), static_cast<int>(r),
                                     static_cast<int>(c), buffer, 512);
                rows[r][c] = win::utf8(buffer);
            }
        }
        return rows;
    }
    std::string count() const { return win::windowText(control(Id::Label7)); }
    // The pointer the window shows over its list now.
    HCURSOR pointer() const {
        HWND list = control(Id::ListView1);
        SendMessageW(list, WM_SETCURSOR, reinterpret_cast<WPARAM>(list),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }
    static HCURSOR busyPointer() { return LoadCursorW(nullptr, IDC_APPSTARTING); }
    // A key as the keyboard sends it to the control with the focus.
    void key(WPARAM vk) {
        HWND focused = GetFocus();
        PostMessageW(focused, WM_KEYDOWN, vk, 1);
        PostMessageW(focused, WM_KEYUP, vk, 0xC0000001);
    }
    void type(const std::wstring& text) {
        for (const wchar_t ch : text)
            PostMessageW(GetFocus(), WM_CHAR, ch, 1);
    }
    static std::vector<app::Row> prefix(const std::vector<app::Row>& rows, std::size_t n) {
        return {rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(std::min(n, rows.size()))};
    }
};

TEST_F(WindowFillTest, TheWindowKeepsAnsweringWhileRowsArriveInWalkOrder) {
    const FakeView expected = reference();
    ASSERT_EQ(expected.rows.size(), 2410u);
    startHeld();
    if (HasFatalFailure()) return;
    // The start-up came back while its walk waits in a read.
    ASSERT_TRUE(filling());
    ASSERT_TRUE(IsWindowVisible(hwnd));
    // Rows found before the held file come while it is held.
    ASSERT_TRUE(pump([&] { return rowCount() > 0; }));
    EXPECT_TRUE(filling());
    EXPECT_EQ(pointer(), busyPointer());

    // Another thread's message is answered, and typing reaches the keyword box.
    std::atomic<bool> answered = false;
    std::thread other([&] {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
    });
    struct Join {
        std::thread& t;
        ~Join() { t.join(); }
    } joinOther{other};
    SetFocus(control(Id::Combo1));
    type(L"abc");
    ASSERT_TRUE(pump([&] { return answered && win::windowText(control(Id::Combo1)) == "abc"; }));
    EXPECT_TRUE(filling());
    const std::vector<app::Row> early = shownRows();
    EXPECT_LT(early.size(), expected.rows.size());
    EXPECT_EQ(early, prefix(expected.rows, early.size()));

    gate->open();
    ASSERT_TRUE(pump([&] { return !filling(); }));
    EXPECT_EQ(shownRows(), expected.rows);
    EXPECT_EQ(count(), expected.count);
    EXPECT_NE(pointer(), busyPointer());
    EXPECT_EQ(win::windowText(control(Id::Combo1)), "abc");  // what was typed stays
}

TEST_F(WindowFillTest, EscStopsTheFillKeepingWhatItFound) {
    const FakeView everything = reference();
    startHeld();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(pump([&] { return rowCount() > 0; }));
    SetFocus(control(Id::Combo1));
    key(VK_ESCAPE);
    ASSERT_TRUE(pump([&] { return !filling(); }));
    const std::vector<app::Row> kept = shownRows();
    EXPECT_FALSE(kept.empty());
    EXPECT_LT(kept.size(), everything.rows.size());
    EXPECT_EQ(kept, prefix(everything.rows, kept.size()));
    EXPECT_EQ(count(), "ファイル数: " + std::to_string(kept.size()));
    EXPECT_NE(pointer(), busyPointer());

    // The stopped walk ends once its read returns; none of its rows come.
    gate->open();
    command(Id::Command1);  // Folder
    ASSERT_TRUE(pump([&] { return !filling(); }));
    EXPECT_EQ(shownRows(), reference([](app::Window& w, FakeView&) { w.Command1_Click(); }).rows);
}

TEST_F(WindowFillTest, ANewFillReplacesTheRunningOne) {
    const struct {
        const char* name;
        std::function<void()> onWindow;
        std::function<void(app::Window&, FakeView&)> onReference;
    } cases[] = {
        {"Enter in the keyword box",
         [this] {
             SetFocus(control(Id::Combo1));
             type(L"note 7");
             key(VK_RETURN);
         },
         [](app::Window& w, FakeView& v) {
             v.boxes[app::Id::Combo1] = "note 7";
             w.Command8_Click();
         }},
        {"Folder", [this] { command(Id::Command1); },
         [](app::Window& w, FakeView&) { w.Command1_Click(); }},
        {"same",
         [this] {
             win::setWindowText(control(Id::Text4), "http://same.example/");
             command(Id::Command2);
         },
         [](app::Window& w, FakeView& v) {
             v.boxes[app::Id::Text4] = "http://same.example/";
             w.Command2_Click();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FakeView expected = reference(c.onReference);
        ASSERT_FALSE(expected.rows.empty());
        startHeld();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(pump([&] { return rowCount() > 0; }));
        c.onWindow();
        gate->open();
        ASSERT_TRUE(pump([&] { return !filling() && count() == expected.count; }));
        EXPECT_EQ(shownRows(), expected.rows);
        EXPECT_NE(pointer(), busyPointer());
        gate->open();
        form.reset();
    }
}

TEST_F(WindowFillTest, ClosingTheWindowDuringAFillIsClean) {
    const struct {
        const char* name;
        bool closeBox;       // closed as the user does, through the message loop
        bool openGateFirst;  // the walk runs on, posting rows, as the window goes
    } cases[] = {
        {"close box, walk held", true, false},
        {"close box, walk running", true, true},
        {"window destroyed, walk held", false, false},
        {"window destroyed, walk running", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startHeld();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(pump([&] { return rowCount() > 0; }));
        if (c.openGateFirst) gate->open();
        if (c.closeBox) {
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            ASSERT_TRUE(pump([&] { return !IsWindow(hwnd); }));
        }
        // The walk's thread ends and is joined while the object goes.
        std::thread opening([&] { gate->open(); });
        form.reset();
        opening.join();
        EXPECT_FALSE(IsWindow(hwnd));
        // A wake-up posted just before the window went finds none.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

TEST_F(WindowFillTest, FillsReplacedStoppedAndClosedAtRandomMomentsAllEnd) {
    struct Command {
        const char* name;
        std::function<void()> onWindow;
        std::function<void(app::Window&, FakeView&)> onReference;
        std::string count;  // once its fill has run to its end
    };
    std::vector<Command> commands{
        {"Enter in the keyword box",
         [this] {
             SetFocus(control(Id::Combo1));
             win::setWindowText(control(Id::Combo1), "note 7");
             key(VK_RETURN);
         },
         [](app::Window& w, FakeView& v) {
             v.boxes[app::Id::Combo1] = "note 7";
             w.Command8_Click();
         },
         {}},
        {"Folder",
         [this] { command(Id::Command1); },
         [](app::Window& w, FakeView&) { w.Command1_Click(); },
         {}},
        {"same",
         [this] {
             win::setWindowText(control(Id::Text4), "http://same.example/");
             command(Id::Command2);
         },
         [](app::Window& w, FakeView& v) {
             v.boxes[app::Id::Text4] = "http://same.example/";
             w.Command2_Click();
         },
         {}},
    };
    for (Command& c : commands)
        c.count = reference(c.onReference).count;
    const std::string heldFiles[] = {"\\D03\\n010.url", "\\D15\\n030.url", "\\D27\\Sub\\n070.url"};

    std::mt19937 random(1208);
    const auto chance = [&](unsigned in) { return random() % in == 0; };
    int fills = 0, finishedWhole = 0;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("window " + std::to_string(round));
        heldFile = heldFiles[random() % 3];
        startHeld();
        if (HasFatalFailure()) return;
        ++fills;
        const Command* last = nullptr;  // the start-up's fill lists every favorite
        for (unsigned steps = 4 + random() % 16; steps > 0; --steps) {
            switch (random() % 5) {
                case 0:
                    SetFocus(control(Id::Combo1));
                    key(VK_ESCAPE);
                    break;
                case 1:
                    gate->open();
                    break;
                default:
                    last = &commands[random() % commands.size()];
                    last->onWindow();
                    ++fills;
            }
            const auto until =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(random() % 30);
            pump([&] { return std::chrono::steady_clock::now() > until; });
        }
        if (chance(2)) {
            // Closed while a fill may run, the walk held or not.
            std::thread opening([this, wait = std::chrono::milliseconds(random() % 20)] {
                std::this_thread::sleep_for(wait);
                gate->open();
            });
            if (chance(2)) {
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
                ASSERT_TRUE(pump([&] { return !IsWindow(hwnd); }));
            }
            form.reset();
            opening.join();
        } else {
            gate->open();
            ASSERT_TRUE(pump([&] { return !filling(); }));
            // A fill stopped by Esc keeps what it found; one left alone is whole.
            if (last && count() != last->count) {
                EXPECT_LT(rowCount(), std::stoi(last->count.substr(last->count.find(' ') + 1)))
                    << last->name;
            } else if (last) {
                ++finishedWhole;
            }
            form.reset();
        }
        EXPECT_FALSE(IsWindow(hwnd));
        watchdog.reset();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    EXPECT_GT(fills, 80);
    EXPECT_GT(finishedWhole, 0);
}

}  // namespace
}  // namespace brim::test
