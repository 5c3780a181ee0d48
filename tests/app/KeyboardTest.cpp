// The keyword box's offers, sorting that keeps the selection, the list driven
// by keyboard, and the keyword lists at their limits.

#include <algorithm>
#include <functional>
#include <set>

#include "WindowFixture.h"
#include "core/KeywordLists.h"

namespace brim::test {
namespace {

using app::Id;
using Strings = std::vector<std::string>;

using KeyboardTest = WindowFixture;

TEST_F(KeyboardTest, TypingOffersKeywordsAndEnterSearchesWhatWasTyped) {
    setting("KeyWords", "D0", "Debug");
    // The stored list holds the fixed keywords too, at its top.
    for (const auto& [key, value] : {std::pair{"W0", "Debug"},
                                     {"W1", "Debian"},
                                     {"W2", "old debian"},
                                     {"W3", "Ubuntu"},
                                     {"W4", "ニュース速報"}}) {
        setting("KeyWords", key, value);
    }
    writeShortcut(root + "Debian.url", "http://debian.example/");
    writeShortcut(root + "Debts.url", "http://debts.example/");
    app::Window& w = start();
    ASSERT_EQ(view.keywordItems,
              (Strings{"Debug", "Debian", "old debian", "Ubuntu", "ニュース速報"}));
    // Typed, as the box reports each change.
    const auto typeKeyword = [&](const std::string& text) {
        type(Id::Combo1, text);
        w.Combo1_Change();
    };
    const struct {
        const char* typed;
        Strings offered;
    } cases[] = {
        {"deb", {"Debug", "Debian", "old debian"}},  // beginning first, then inside
        {"Debian", {"old debian"}},                  // never the typed text itself
        {"速報", {"ニュース速報"}},
        {"bunt", {"Ubuntu"}},
        {"x", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        typeKeyword(c.typed);
        EXPECT_EQ(view.offers, c.offered);
        EXPECT_EQ(box(Id::Combo1), c.typed);  // offered, not put into the box
    }
    typeKeyword("Deb");
    w.Command8_Click();
    EXPECT_EQ(w.searchKeys(), Strings{"Deb"});
    EXPECT_EQ(view.column(), (Strings{"Debian.url", "Debts.url"}));
    EXPECT_EQ(view.keywordItems.back(), "Deb");
}

TEST_F(KeyboardTest, SortingKeepsTheSelectedRowAndTheBoxes) {
    writeShortcut(root + "b.url", "http://b/", "zeta");
    writeShortcut(root + "c.url", "http://c/", "");
    writeShortcut(root + "A/a.url", "http://a/", "alpha");
    app::Window& w = start();
    ASSERT_EQ(view.column(), (Strings{"b.url", "c.url", "a.url"}));
    w.ListView1_Click(1);  // c.url
    type(Id::Text5, "edited, not saved");
    const struct {
        int header;
        Strings order;
        int selected;  // where c.url went
    } cases[] = {
        {1, {"a.url", "b.url", "c.url"}, 2},
        {3, {"b.url", "a.url", "c.url"}, 2},  // "zeta", "alpha", none
        {2, {"b.url", "c.url", "a.url"}, 1},  // "\" before "\A\"; ties keep their order
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        w.ListView1_ColumnClick(c.header);
        EXPECT_EQ(view.column(), c.order);
        EXPECT_EQ(view.selected, c.selected);
        EXPECT_EQ(w.currentItem(), c.selected);
        EXPECT_EQ(view.column()[static_cast<std::size_t>(view.selected)], "c.url");
    }
    EXPECT_EQ(box(Id::Text5), "edited, not saved");  // a sort reads no file

    // The page list follows the same way; a fresh fill has nothing selected.
    pages.pages = {{"Zoo", "http://a-zoo/", "Chromium"}, {"Ant", "http://b-ant/", "Chromium"}};
    w.Command6_Click();
    w.ListView1_ColumnClick(1);
    EXPECT_EQ(view.column(), (Strings{"Ant", "Zoo"}));
    EXPECT_EQ(view.selected, -1);
    EXPECT_EQ(w.currentItem(), -1);
    w.ListView1_Click(0);
    w.ListView1_ColumnClick(2);
    EXPECT_EQ(view.column(), (Strings{"Zoo", "Ant"}));
    EXPECT_EQ(view.selected, 1);
}

TEST_F(KeyboardTest, KeyboardMovesFillTheBoxesAndLeaveTheFocusInTheList) {
    writeShortcut(root + "News/n.url", "http://news/", "daily");
    writeShortcut(root + "a.url", "http://a/");
    app::Window& w = start();
    const struct {
        const char* list;
        std::function<void()> fill;
        int row;
        Id box;
        const char* shown;
    } cases[] = {
        {"favorites", [&] { w.allFile(); }, 1, Id::Text5, "daily"},
        {"folders", [&] { w.allFolder(); }, 1, Id::Combo1, "\"\\News\\\""},
        {"pages",
         [&] {
             pages.pages = {{"Page", "http://page/", "Chromium"},
                            {"Other", "http://other/", "Chromium"}};
             w.Command6_Click();
         },
         1, Id::Text2, "[Internet]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        c.fill();
        view.focused.reset();
        for (const int outside : {-1, 99}) {
            w.ListView1_KeyMove(outside);
            EXPECT_EQ(w.currentItem(), -1);
        }
        EXPECT_NE(box(c.box), c.shown);
        w.ListView1_KeyMove(c.row);
        EXPECT_EQ(box(c.box), c.shown);
        EXPECT_EQ(w.currentItem(), c.row);
        EXPECT_FALSE(view.focused.has_value());  // the next key moves on in the list
    }
    // A click on a page still hands the focus to the comment.
    w.ListView1_Click(0);
    EXPECT_EQ(view.focused, Id::Text5);
}

TEST_F(KeyboardTest, EnterOnARowDoesWhatADoubleClickDoes) {
    writeShortcut(root + "News/n.url", "http://news.example/", "daily");
    writeShortcut(root + "a.url", "http://a.example/");
    setting("mmode", "value", " 1");  // compact: the double click shrinks the window back
    app::Window& w = start();
    ASSERT_EQ(view.column(), (Strings{"a.url", "n.url"}));
    w.allFile();
    ASSERT_EQ(view.size, (app::Twips{6285, 3660}));  // enlarged by the fill
    w.ListView1_Enter(1);
    EXPECT_EQ(opener.opened, Strings{"http://news.example/"});
    EXPECT_EQ(box(Id::Text3), "n");
    EXPECT_EQ(view.size, (app::Twips{4140, 1245}));

    w.ListView1_Enter(-1);  // nothing selected: nothing happens
    w.ListView1_Enter(2);
    EXPECT_EQ(opener.opened.size(), 1u);

    w.setWinMode(2);
    w.allFolder();
    w.ListView1_Enter(1);  // a folder: searched for
    EXPECT_EQ(view.column(), Strings{"n.url"});
    EXPECT_EQ(box(Id::Combo1), "\"\\News\\\"");

    pages.pages = {{"Page", "http://page.example/", "Chromium"},
                   {"Other", "http://other.example/", "Chromium"}};
    w.Command6_Click();
    view.focused.reset();
    w.ListView1_Enter(0);  // a page: taken, ready for a comment, not opened
    EXPECT_EQ(box(Id::Text3), view.rows[0][0]);
    EXPECT_EQ(box(Id::Text2), "[Internet]");
    EXPECT_EQ(view.focused, Id::Text5);
    EXPECT_EQ(opener.opened.size(), 1u);
}

Strings numbered(const std::string& prefix, int from, int to) {
    Strings out;
    for (int i = from; i < to; ++i)
        out.push_back(prefix + std::to_string(i));
    return out;
}

Strings storedKeys(const core::Profile& profile, char letter) {
    Strings out;
    for (std::size_t i = 0; i < core::kMaxKeywords; ++i)
        out.push_back(profile.ReadSetting("KeyWords", letter + std::to_string(i)));
    return out;
}

TEST_F(KeyboardTest, FixedKeywordsPastTheCapacity) {
    app::Window& w = start();
    app::KeywordBox& k = w.keywords();
    search("history");
    for (const auto& f : numbered("f", 0, 16))
        k.registerFixed(f);
    EXPECT_EQ(k.fixedKeywords(), numbered("f", 0, 16));  // the dialog lists all sixteen
    EXPECT_EQ(view.keywordItems, numbered("f", 0, 15));  // the box holds fifteen
    EXPECT_EQ(storedKeys(profile, 'D'), numbered("f", 0, 15));
    // No room for history: a search leaves the box as it is, however often.
    for (const char* typed : {"one", "two", "f15"}) {
        SCOPED_TRACE(typed);
        search(typed);
        EXPECT_EQ(view.keywordItems, numbered("f", 0, 15));
        EXPECT_EQ(storedKeys(profile, 'W'), numbered("f", 0, 15));
    }
    // Deleting one of the fifteen brings the sixteenth into the box.
    k.deleteFixed("f3");
    Strings expected = numbered("f", 0, 16);
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(view.keywordItems, expected);
    EXPECT_EQ(storedKeys(profile, 'D'), expected);
    start();
    EXPECT_EQ(view.keywordItems, expected);
}

TEST_F(KeyboardTest, KeywordsTheSettingsCannotHoldLeaveNoDuplicate) {
    app::Window& w = start();
    for (const auto& h : numbered("h", 0, 15))
        search(h);
    ASSERT_EQ(view.keywordItems, numbered("h", 0, 15));
    search("한국");  // no form in CP932
    Strings shown = numbered("h", 1, 15);
    shown.push_back("한국");
    EXPECT_EQ(view.keywordItems, shown);  // kept for this run
    EXPECT_NE(lastShown().find("「한」"), std::string::npos);
    search("h3");  // the next store fails the same way: not told again
    EXPECT_EQ(
        std::count_if(prompts.shown.begin(), prompts.shown.end(),
                      [](const std::string& m) { return m.find("「한」") != std::string::npos; }),
        1);

    app::KeywordBox& k = w.keywords();
    k.registerFixed("fix");
    k.registerFixed("고정");
    k.deleteFixed("fix");  // 고정 moves up to D0, where "fix" stood

    // A fresh window: `w` went with the old one.
    app::Window& again = start();
    const std::set<std::string> unique(view.keywordItems.begin(), view.keywordItems.end());
    EXPECT_EQ(unique.size(), view.keywordItems.size());
    EXPECT_EQ(again.keywords().fixedKeywords(), Strings{});
    EXPECT_EQ(view.keywordItems, numbered("h", 1, 15));
}

}  // namespace
}  // namespace brim::test
