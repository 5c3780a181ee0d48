// The shared text of the list's cells: what a cell reads once what it was
// made from is gone, and what the cells of one row's block keep alive.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Cell.h"
#include "app/View.h"

namespace brim::test {
namespace {

// Texts a short string keeps inside itself, long ones, and bytes past a NUL.
const std::vector<std::string> kTexts = {"a", std::string(15, 's'), std::string(16, 'l'),
                                         std::string(300, 'x'), std::string("名前\0後", 10)};

TEST(Cell, OwnsACopyOfWhatItWasMadeFrom) {
    for (const auto& text : kTexts) {
        SCOPED_TRACE(text.size());
        auto source = std::make_unique<std::string>(text);
        app::Cell fromString(*source);
        app::Cell fromView{std::string_view(*source)};
        source->assign(source->size(), '#');
        source.reset();
        EXPECT_EQ(fromString, text);
        EXPECT_EQ(fromView, text);
        // A copy keeps the text when the cell it came from is gone.
        const app::Cell copy = fromString;
        fromString = {};
        EXPECT_EQ(copy, text);
        EXPECT_TRUE(fromString.empty());
    }
}

TEST(Cell, ARowsCellsKeepTheirSharedBlock) {
    std::vector<app::Row> rows;
    std::vector<app::Cell> files;
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        // Moved in: a long string's bytes are not copied but kept.
        std::string name = kTexts[i];
        const char* bytes = name.data();
        auto cells = app::sharedCells<4>(
            {std::move(name), kTexts[(i + 1) % kTexts.size()], "", "/f/" + kTexts[i]});
        if (kTexts[i].size() > 15) {
            EXPECT_EQ(cells[0].view().data(), bytes) << i;
        }
        EXPECT_TRUE(cells[2].empty());
        rows.push_back({cells[0], cells[1], cells[2], {}});
        files.push_back(std::move(cells[3]));
    }
    // Only the row's cells hold the blocks now; each reads what it was given.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0], kTexts[i]);
        EXPECT_EQ(rows[i][1], kTexts[(i + 1) % kTexts.size()]);
        EXPECT_EQ(rows[i][2], "");
        EXPECT_EQ(files[i], "/f/" + kTexts[i]);
    }
    // A row copied, then the original and the files let go: the copy reads on.
    const app::Row copy = rows.back();
    rows.clear();
    files.clear();
    EXPECT_EQ(copy[0], kTexts.back());
    EXPECT_EQ(copy[1], kTexts.front());
}

}  // namespace
}  // namespace brim::test
