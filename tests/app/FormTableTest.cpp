// The forms' tables, which both front ends draw: each control's caption,
// place and command, the tab order of each window mode, and the menus'
// commands, each bound to what it runs.

#include <set>
#include <string>
#include <vector>

#include "WindowFixture.h"
#include "app/Commands.h"
#include "app/DialogForms.h"
#include "app/Messages.h"

namespace brim::test {
namespace {

using app::Command;
using app::Id;
using app::Rect;

std::vector<std::string> names(const std::vector<const app::Control*>& controls) {
    std::vector<std::string> out;
    for (const app::Control* c : controls)
        out.push_back(c->name);
    return out;
}

TEST(MainFormTable, EachControlHasItsCaptionPlaceAndCommand) {
    const struct {
        Id id;
        const char* name;
        app::Kind kind;
        const char* caption;
        Rect place;
        app::Follow follow;
        Command command;
    } cases[] = {
        {Id::Combo1,
         "Combo1",
         app::Kind::KeywordBox,
         "",
         {600, 120, 2295, 300},
         app::Follow::Stays,
         Command::Search},
        {Id::Command11,
         "Command11",
         app::Kind::Button,
         "Go",
         {3120, 150, 375, 260},
         app::Follow::Stays,
         Command::Search},
        {Id::Command10,
         "Command10",
         app::Kind::PictureButton,
         "",
         {3600, 120, 300, 300},
         app::Follow::Stays,
         Command::NextMode},
        {Id::ListView1,
         "ListView1",
         app::Kind::ResultList,
         "",
         {120, 600, 5895, 2175},
         app::Follow::Grows,
         Command::None},
        {Id::Command6,
         "Command6",
         app::Kind::PictureButton,
         "Get",
         {120, 3000, 700, 560},
         app::Follow::MovesDown,
         Command::Pages},
        {Id::Command1,
         "Command1",
         app::Kind::PictureButton,
         "Folder",
         {1560, 3000, 700, 560},
         app::Follow::MovesDown,
         Command::Folders},
        {Id::Command4,
         "Command4",
         app::Kind::PictureButton,
         "開く",
         {3120, 3000, 700, 560},
         app::Follow::MovesDown,
         Command::Open},
        {Id::Command5,
         "Command5",
         app::Kind::PictureButton,
         "削除",
         {3840, 3000, 700, 560},
         app::Follow::MovesDown,
         Command::Trash},
        {Id::Command3,
         "Command3",
         app::Kind::PictureButton,
         "終了",
         {5280, 3000, 700, 560},
         app::Follow::MovesDown,
         Command::Quit},
        {Id::Command7,
         "Command7",
         app::Kind::PictureButton,
         "保存",
         {5280, 3720, 700, 560},
         app::Follow::MovesDownRight,
         Command::Save},
        {Id::Text4,
         "Text4",
         app::Kind::Edit,
         "https://www.example.com/",
         {840, 4440, 5175, 270},
         app::Follow::MovesDownWidens,
         Command::None},
        {Id::Text5,
         "Text5",
         app::Kind::MultiLineEdit,
         "",
         {840, 4800, 5175, 615},
         app::Follow::MovesDownWidens,
         Command::None},
        {Id::Label6,
         "Label6",
         app::Kind::SmallLabel,
         "保存先\nフォルダ",
         {120, 5520, 735, 375},
         app::Follow::MovesDown,
         Command::None},
        {Id::Label7,
         "Label7",
         app::Kind::SmallLabel,
         "個数",
         {4080, 150, 1455, 255},
         app::Follow::Stays,
         Command::None},
    };
    const app::Form& form = app::mainForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const app::Control* control = app::findControl(form, +c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(app::findControl(form, c.name), control);
        EXPECT_EQ(control->kind, c.kind);
        EXPECT_STREQ(control->caption, c.caption);
        EXPECT_EQ(control->place, c.place);
        EXPECT_EQ(control->follow, c.follow);
        EXPECT_EQ(control->command, c.command);
    }
    EXPECT_EQ(app::findControl(form, +Id::savemenu), nullptr);
    EXPECT_EQ(app::findControl(form, "Command12"), nullptr);
    // The keyword box's width follows the mode; its place is the form's.
    EXPECT_EQ(app::keywordBoxPlace(2295), app::findControl(form, +Id::Combo1)->place);
}

TEST(MainFormTable, IdsAndNamesAreEachOnce) {
    std::set<int> ids;
    std::set<std::string> seen;
    const app::Form& form = app::mainForm();
    for (const app::Control& c : form.controls) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.name;
        EXPECT_TRUE(seen.insert(c.name).second) << c.name;
    }
    for (const app::Menu& m : form.menus) {
        EXPECT_TRUE(seen.insert(m.name).second) << m.name;
        for (const app::MenuItem& i : m.items) {
            EXPECT_TRUE(ids.insert(i.id).second) << i.name;
            EXPECT_TRUE(seen.insert(i.name).second) << i.name;
        }
    }
}

TEST(MainFormTable, EachModeTabsInTheTablesOrder) {
    const std::vector<std::string> boxes = {"Text2", "Command7", "Text3",
                                            "Text4", "Text5",    "Text6"};
    const std::vector<std::string> list = {"Combo1",   "Command11", "Command10", "ListView1",
                                           "Command6", "Command2",  "Command1",  "Command8",
                                           "Command4", "Command5",  "Command9",  "Command3"};
    std::vector<std::string> full = list;
    full.insert(full.end(), boxes.begin(), boxes.end());
    const struct {
        const char* mode;
        app::WindowLayout layout;
        std::vector<std::string> order;
    } cases[] = {
        // "Go" shows in the strip only; the front ends pass over it elsewhere.
        {"compact", app::kCompactLayout, {"Combo1", "Command11", "Command10"}},
        {"list", app::kListLayout, list},
        {"full", app::kFullLayout, full},
    };
    // The client area is the outer size less the title bar, the menu and
    // the border: 50 to 60 pixels, whatever the system draws.
    for (const auto& c : cases) {
        for (const int frame : {750, 825, 900}) {
            SCOPED_TRACE(testing::Message() << c.mode << ", frame " << frame);
            EXPECT_EQ(names(app::tabOrder(app::mainForm(), c.layout.height - frame)), c.order);
        }
    }
}

TEST(FormTable, TabOrderSortsByTabIndexAndPassesOverWhatIsCutOff) {
    const app::Control controls[] = {
        {1, "c", app::Kind::Button, "", {0, 500, 10, 10}, app::Follow::Stays, 2},
        {2, "label", app::Kind::Label, "", {0, 0, 10, 10}},
        {3, "a", app::Kind::Edit, "", {0, 0, 10, 10}, app::Follow::Stays, 0},
        {4, "b", app::Kind::Edit, "", {0, 100, 10, 10}, app::Follow::Stays, 1},
    };
    const app::Form form{"Test", "", {}, controls};
    EXPECT_EQ(names(app::tabOrder(form, 1000)), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(names(app::tabOrder(form, 500)), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(names(app::tabOrder(form, 100)), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(app::tabOrder(form, 0).empty());
}

TEST(FormTable, WhatFollowsAnEnlargedWindow) {
    const Rect r{10, 20, 30, 40};
    const struct {
        app::Follow follow;
        Rect to;
    } cases[] = {
        {app::Follow::Stays, {10, 20, 30, 40}},
        {app::Follow::Grows, {10, 20, 35, 47}},
        {app::Follow::MovesDown, {10, 27, 30, 40}},
        {app::Follow::MovesDownWidens, {10, 27, 35, 40}},
        {app::Follow::MovesDownRight, {15, 27, 30, 40}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.follow));
        EXPECT_EQ(app::followed(r, c.follow, 5, 7), c.to);
        EXPECT_EQ(app::followed(r, c.follow, 0, 0), r);
    }
}

TEST(MainFormTable, MenusHaveTheirAccessKeysAndGreyWhatNeedsTheBoxes) {
    const app::Form& form = app::mainForm();
    std::set<char> menuKeys;
    std::set<std::string> greyed;
    for (const app::Menu& m : form.menus) {
        SCOPED_TRACE(m.name);
        const std::string caption = m.caption;
        ASSERT_GE(caption.size(), 4u);
        // "(&F)" at the end, each menu's key its own.
        EXPECT_EQ(caption.substr(caption.size() - 4, 2), "(&");
        EXPECT_TRUE(menuKeys.insert(caption[caption.size() - 2]).second);
        std::set<char> itemKeys;
        for (const app::MenuItem& i : m.items) {
            if (!i.caption) continue;
            const std::string item = i.caption;
            ASSERT_GE(item.size(), 4u) << i.name;
            EXPECT_EQ(item.substr(item.size() - 4, 2), "(&") << i.name;
            EXPECT_EQ(item.back(), ')') << i.name;
            EXPECT_TRUE(itemKeys.insert(item[item.size() - 2]).second) << i.name;
            if (i.greyedInStrip) greyed.insert(i.name);
        }
    }
    EXPECT_EQ(greyed, (std::set<std::string>{"savemenu", "Mdelete", "autoCP"}));
    // The message about names in the code page names the menu item as it reads.
    EXPECT_TRUE(std::string(app::findMenuItem(form, +Id::fixNames)->caption)
                    .starts_with(app::kFixNamesCaption));
    EXPECT_EQ(app::findMenuItem(form, +Id::savemenu)->ctrlKey, 'S');
    EXPECT_TRUE(app::findMenuItem(form, +Id::everfront)->checkMark);
    // A separator is no item to run.
    EXPECT_EQ(app::findMenuItem(form, +Id::line01), nullptr);
}

struct RecordingHost final : app::CommandHost {
    std::vector<app::Dialog> dialogs;
    int quits = 0;
    void showDialog(app::Dialog d) override { dialogs.push_back(d); }
    void quit() override { ++quits; }
};

using CommandTest = WindowFixture;

TEST_F(CommandTest, EveryMenuItemAndButtonIsBound) {
    const app::Form& form = app::mainForm();
    std::vector<int> ids;
    for (const app::Menu& m : form.menus)
        for (const app::MenuItem& i : m.items)
            if (i.caption) ids.push_back(i.id);
    for (const app::Control& c : form.controls)
        if (c.kind == app::Kind::Button || c.kind == app::Kind::PictureButton) ids.push_back(c.id);
    ASSERT_EQ(ids.size(), 26u + 11u);
    for (const int id : ids) {
        SCOPED_TRACE(id);
        app::Window& w = start();
        RecordingHost host;
        EXPECT_TRUE(app::runCommand(id, w, host));
        EXPECT_LE(host.dialogs.size() + static_cast<std::size_t>(host.quits), 1u);
    }
    // The boxes, the list and the labels run nothing by a click.
    app::Window& w = start();
    RecordingHost host;
    for (const Id id : {Id::Combo1, Id::ListView1, Id::Text5, Id::Label7, Id::line02})
        EXPECT_FALSE(app::runCommand(+id, w, host)) << +id;
    EXPECT_FALSE(app::run(Command::None, w, host));
    EXPECT_TRUE(host.dialogs.empty());
}

TEST_F(CommandTest, EachDialogCommandOpensItsDialog) {
    const struct {
        Id item;
        app::Dialog dialog;
    } cases[] = {
        {Id::PKEYS, app::Dialog::Form2},      {Id::setKEYWORD, app::Dialog::Form3},
        {Id::setHTML, app::Dialog::Form4},    {Id::mkstcut, app::Dialog::Form5},
        {Id::showV, app::Dialog::Form6},      {Id::autoCP, app::Dialog::Form7},
        {Id::importmenu, app::Dialog::Form8}, {Id::checkLinks, app::Dialog::Form9},
    };
    app::Window& w = start();
    for (const auto& c : cases) {
        RecordingHost host;
        ASSERT_TRUE(app::runCommand(+c.item, w, host));
        EXPECT_EQ(host.dialogs, std::vector{c.dialog}) << +c.item;
        EXPECT_EQ(host.quits, 0);
    }
    for (const Id quit : {Id::Command3, Id::exitprogram}) {
        RecordingHost host;
        ASSERT_TRUE(app::runCommand(+quit, w, host));
        EXPECT_EQ(host.quits, 1);
    }
}

}  // namespace
}  // namespace brim::test

namespace brim::test {
namespace {

TEST(DialogTables, EachDialogHasItsCaptionSizeAndTabOrder) {
    const struct {
        const app::Form& form;
        const char* name;
        const char* caption;
        int width, height;
        std::vector<std::string> order;
        const char* focus;  // when it opens; null: the first in the tab order
    } cases[] = {
        {app::fixedKeywordsForm(),
         "Form2",
         "固定キーワード登録",
         5070,
         3525,
         {"List1", "Text1", "Command1", "Command2", "Command3"},
         "Text1"},
        {app::searchOptionsForm(),
         "Form3",
         "キーワード検索のオプション",
         5610,
         3150,
         {"Command1", "Check2", "Check3", "Check4", "Check5", "Check1", "Option1"},
         nullptr},
        {app::exportOptionsForm(),
         "Form4",
         "検索結果のファイルへの出力",
         3900,
         2610,
         {"Check1", "Check2", "Check3", "Command1"},
         nullptr},
        {app::shortcutsForm(),
         "Form5",
         "ショートカットの作成",
         3120,
         2160,
         {"Check1", "Check2", "Command1", "Command2"},
         nullptr},
        {app::aboutForm(),
         "Form6",
         "Brimmark - 私のお気に入り",
         5400,
         2400,
         {"Label2", "Command1"},
         "Command1"},
        {app::autoCopyForm(),
         "Form7",
         "Auto Copyの設定",
         3705,
         2205,
         {"Check1", "Check2", "Command1"},
         nullptr},
        {app::importForm(),
         "Form8",
         "ブラウザからインポート",
         5400,
         3900,
         {"Combo1", "Text1", "Command3", "Text2", "Command1", "Command2"},
         "Combo1"},
        // "中止" has the focus, so that Enter or Space stops a running check.
        {app::linkCheckForm(),
         "Form9",
         "リンクの確認",
         5400,
         3120,
         {"Check1", "Text1", "Command3", "Command1", "Command2"},
         "Command1"},
        // Its caption is each question's own; the typed line has the focus,
        // and Tab goes from it to the buttons.
        {app::inputBoxForm(),
         "InputBox",
         "",
         6120,
         2400,
         {"Text1", "Command1", "Command2"},
         "Text1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.form.name, c.name);
        EXPECT_STREQ(c.form.caption, c.caption);
        EXPECT_EQ(c.form.client.width, c.width);
        EXPECT_EQ(c.form.client.height, c.height);
        EXPECT_EQ(names(app::tabOrder(c.form, c.height)), c.order);
        if (c.focus) {
            EXPECT_EQ(c.form.focus, app::findControl(c.form, c.focus)->id);
        } else {
            EXPECT_EQ(c.form.focus, 0);
        }
        std::set<int> ids;
        for (const app::Control& control : c.form.controls) {
            SCOPED_TRACE(control.name);
            EXPECT_TRUE(ids.insert(control.id).second);
            // Every control lies within the dialog, and nothing runs a window command.
            EXPECT_GE(control.place.left, 0);
            EXPECT_LE(control.place.left + control.place.width, c.width);
            EXPECT_LE(control.place.top + control.place.height, c.height);
            EXPECT_EQ(control.command, Command::None);
        }
    }
}

TEST(DialogTables, ControlsHaveTheirCaptionsAndPlaces) {
    const struct {
        const app::Form& form;
        int id;
        app::Kind kind;
        const char* caption;
        Rect place;
    } cases[] = {
        {app::fixedKeywordsForm(),
         app::form2::Label1,
         app::Kind::Label,
         "キーワード",
         {240, 2040, 975, 375}},
        {app::fixedKeywordsForm(),
         app::form2::Command3,
         app::Kind::Button,
         "削除",
         {2640, 2640, 800, 500}},
        {app::searchOptionsForm(),
         app::form3::Check1,
         app::Kind::CheckBox,
         "大文字と小文字を区別しない",
         {360, 1320, 2655, 375}},
        // The choice stands inside its frame, in the form's own twips.
        {app::searchOptionsForm(),
         app::form3::Option1,
         app::Kind::Option,
         "OR検索",
         {960, 2280, 975, 255}},
        {app::searchOptionsForm(),
         app::form3::Option2,
         app::Kind::Option,
         "AND検索",
         {2040, 2280, 1095, 255}},
        {app::searchOptionsForm(),
         app::form3::Picture2,
         app::Kind::Frame,
         "",
         {360, 1800, 3255, 975}},
        {app::exportOptionsForm(),
         app::form4::Check3,
         app::Kind::CheckBox,
         "CSVファイルを UTF-8 で出力する",
         {480, 1200, 3135, 255}},
        {app::shortcutsForm(),
         app::form5::Command2,
         app::Kind::Button,
         "中止",
         {1800, 1320, 855, 495}},
        {app::aboutForm(),
         app::form6::Label1,
         app::Kind::Label,
         app::kWindowTitle,
         {1080, 240, 4080, 375}},
        {app::aboutForm(),
         app::form6::Label2,
         app::Kind::Link,
         app::kHomePage,
         {1080, 1140, 4080, 375}},
        {app::autoCopyForm(),
         app::form7::Check2,
         app::Kind::LongCheckBox,
         "適合するブックマークがひとつしかない場合、自動的に取り込む",
         {240, 780, 3255, 555}},
        {app::importForm(),
         app::form8::Combo1,
         app::Kind::DropDownList,
         "",
         {1440, 200, 3600, 300}},
        {app::importForm(),
         app::form8::Label3,
         app::Kind::WrappedLabel,
         "取り込み先 フォルダ：",
         {240, 1160, 1200, 375}},
        {app::importForm(),
         app::form8::ProgressBar1,
         app::Kind::ProgressBar,
         "",
         {240, 1680, 4800, 300}},
        {app::importForm(),
         app::form8::Command3,
         app::Kind::Button,
         "参照…",
         {4380, 660, 660, 340}},
        {app::linkCheckForm(),
         app::form9::ProgressBar1,
         app::Kind::ProgressBar,
         "",
         {240, 720, 4920, 300}},
        {app::linkCheckForm(),
         app::form9::Label2,
         app::Kind::WrappedLabel,
         "",
         {240, 1140, 4920, 615}},
        {app::linkCheckForm(),
         app::form9::Command1,
         app::Kind::Button,
         "中止",
         {2640, 2400, 1200, 495}},
        {app::linkCheckForm(),
         app::form9::Command2,
         app::Kind::Button,
         "閉じる",
         {3960, 2400, 1200, 495}},
        {app::linkCheckForm(),
         app::form9::Check1,
         app::Kind::CheckBox,
         "前回の確認から",
         {240, 1860, 1575, 300}},
        {app::linkCheckForm(), app::form9::Text1, app::Kind::Edit, "", {1860, 1860, 615, 300}},
        {app::linkCheckForm(),
         app::form9::Label3,
         app::Kind::Label,
         "日以上たったものだけ",
         {2580, 1890, 2580, 255}},
        {app::linkCheckForm(),
         app::form9::Command3,
         app::Kind::Button,
         "再確認",
         {1320, 2400, 1200, 495}},
        {app::inputBoxForm(),
         app::inputBox::Command2,
         app::Kind::Button,
         "キャンセル",
         {4800, 600, 1095, 375}},
        {app::inputBoxForm(), app::inputBox::Text1, app::Kind::Edit, "", {120, 1440, 5775, 315}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.form.name << " " << c.id);
        const app::Control* control = app::findControl(c.form, c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->kind, c.kind);
        EXPECT_STREQ(control->caption, c.caption);
        EXPECT_EQ(control->place, c.place);
    }
    // Only the file or profile box has a hint.
    for (const app::Control& c : app::importForm().controls)
        EXPECT_EQ(c.hint != nullptr, c.id == app::form8::Text1) << c.name;
    EXPECT_STREQ(app::findControl(app::importForm(), app::form8::Text1)->hint,
                 "空欄ならブラウザの既定のプロファイル");
    // The mail address the About box shows is the one the program knows.
    EXPECT_TRUE(std::string(app::findControl(app::aboutForm(), app::form6::Label3)->caption)
                    .ends_with(app::kMail));
}

}  // namespace
}  // namespace brim::test
