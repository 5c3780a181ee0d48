#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/KeywordLists.h"

namespace brim::core {
namespace {

KeywordList numbered(const std::string& prefix, int n) {
    KeywordList out;
    for (int i = 0; i < n; ++i)
        out.push_back(prefix + std::to_string(i));
    return out;
}

TEST(KeywordLists, RecordDropsTheOldestHistoryEntry) {
    KeywordList fixed = numbered("f", 3);
    KeywordList list = fixed;
    for (const auto& h : numbered("h", 12))
        list.push_back(h);
    ASSERT_TRUE(RecordKeyword(list, fixed.size(), "new"));
    ASSERT_EQ(list.size(), kMaxKeywords);
    EXPECT_EQ(list[2], "f2");
    EXPECT_EQ(list[3], "h1");
    EXPECT_EQ(list.back(), "new");
}

TEST(KeywordLists, RecordKeepsDuplicatesOutAndNeverRecordsFolders) {
    KeywordList list = {"fixed", "old"};
    EXPECT_TRUE(RecordKeyword(list, 1, "old"));
    EXPECT_TRUE(RecordKeyword(list, 1, "fixed"));
    EXPECT_TRUE(RecordKeyword(list, 1, ""));
    EXPECT_EQ(list, (KeywordList{"fixed", "old"}));
    for (const char* folder : {"\\News\\", "\"\\News\\\"", "\"\\A\\\"  ", "C:\\x\\ \" "}) {
        EXPECT_FALSE(RecordKeyword(list, 1, folder)) << folder;
    }
    EXPECT_EQ(list, (KeywordList{"fixed", "old"}));
    EXPECT_TRUE(RecordKeyword(list, 1, "\"news\""));
    EXPECT_EQ(list.back(), "\"news\"");
}

TEST(KeywordLists, RebuildLaysTheFixedKeywordsOverTheList) {
    EXPECT_EQ(RebuildKeywordList({"a", "b", "c"}, {"F"}), (KeywordList{"F", "b", "c"}));
    EXPECT_EQ(RebuildKeywordList({"a"}, {"F", "G"}), (KeywordList{"F", "G"}));
    EXPECT_EQ(RebuildKeywordList({}, numbered("f", 20)).size(), kMaxKeywords);
    EXPECT_EQ(RebuildKeywordList(numbered("h", 20), {}).back(), "h14");
}

TEST(KeywordLists, RegisterMovesAHistoryEntryIntoTheFixedBlock) {
    KeywordList fixed = {"F"};
    KeywordList list = {"F", "a", "b", "c"};
    EXPECT_TRUE(RegisterFixedKeyword(list, fixed, "b"));
    EXPECT_EQ(fixed, (KeywordList{"F", "b"}));
    EXPECT_EQ(list, (KeywordList{"F", "b", "a", "c"}));
    EXPECT_FALSE(RegisterFixedKeyword(list, fixed, "b"));
    EXPECT_FALSE(RegisterFixedKeyword(list, fixed, ""));
    EXPECT_EQ(list, (KeywordList{"F", "b", "a", "c"}));
}

TEST(KeywordLists, RegisterKeepsTheNewestHistoryThatFits) {
    KeywordList fixed = numbered("f", 13);
    KeywordList list = fixed;
    list.push_back("old");
    list.push_back("new");
    ASSERT_TRUE(RegisterFixedKeyword(list, fixed, "f13"));
    EXPECT_EQ(list.size(), kMaxKeywords);
    EXPECT_EQ(list.back(), "new");

    KeywordList full = numbered("g", 15);
    KeywordList fullList = full;
    ASSERT_TRUE(RegisterFixedKeyword(fullList, full, "g15"));
    EXPECT_EQ(full.size(), 16u);
    EXPECT_EQ(fullList, numbered("g", 15));
}

TEST(KeywordLists, DeleteRemovesFromBothLists) {
    KeywordList fixed = {"F", "G"};
    KeywordList list = {"F", "G", "F", "h"};
    DeleteFixedKeyword(list, fixed, "F");
    EXPECT_EQ(fixed, KeywordList{"G"});
    EXPECT_EQ(list, (KeywordList{"G", "h"}));
}

TEST(KeywordLists, StoredKeysSkipEmptyValues) {
    test::TempDir dir;
    test::TestFolders folders{dir};
    test::SystemFileSystem fs;
    test::SystemCodePage cp;
    Profile profile{fs, cp, folders};
    ASSERT_TRUE(WriteKeywordKeys(profile, 'W', {"a", "ニュース"}));
    ASSERT_TRUE(profile.WriteSetting("KeyWords", "W5", "late"));
    EXPECT_EQ(ReadKeywordKeys(profile, 'W'), (KeywordList{"a", "ニュース", "late"}));
    EXPECT_EQ(profile.ReadSetting("KeyWords", "W14"), "");
    EXPECT_NE(test::readFile(folders.settingsFile()).find("W14=\r\n"), std::string::npos);
    EXPECT_EQ(ReadKeywordKeys(profile, 'D'), KeywordList{});
}

}  // namespace
}  // namespace brim::core
