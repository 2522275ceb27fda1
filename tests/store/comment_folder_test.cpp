// SPDX-License-Identifier: GPL-3.0-or-later
// Comment file names from other programs never lead out of Quadrelle_f/.
#include <filesystem>

#include "store/comment_folder.h"
#include "store/store_files.h"
#include "store_helpers.h"

namespace qd::test {

TEST(CommentFolder, WhatIsASafeName) {
    const struct {
        const char* base;
        bool safe;
    } cases[] = {
        {"张三_200603070905", true},
        {"张三_200603070905_0", true},
        {" ", true},  // what an empty remarkFile reads as
        {"a.b", true},
        {"", false},
        {"../../escaped/deep/evil", false},
        {"..", false},
        {"a..b", false},
        {"a.", false},  // a..rtf
        {"sub/name", false},
        {"sub\\name", false},
        {"C:name", false},
        {"name:stream", false},
        {"tab\there", false},
        {"del\x7f", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSafeCommentName(c.base), c.safe) << c.base;
    EXPECT_FALSE(IsSafeCommentName(std::string(201, 'a')));
}

TEST(CommentFolder, TheOneJudgeOfInside) {
    const std::string app = "/home/u/app/";
    EXPECT_TRUE(IsInsideCommentFolder(app, "/home/u/app/Quadrelle_f/a.rtf"));
    EXPECT_TRUE(IsInsideCommentFolder("/home/u/app", "/home/u/app/Quadrelle_f/a.rtf"));
    EXPECT_FALSE(IsInsideCommentFolder(app, "/home/u/app/Quadrelle_f/../a.rtf"));
    EXPECT_FALSE(IsInsideCommentFolder(app, "/home/u/app/Quadrelle_f/sub/a.rtf"));
    EXPECT_FALSE(IsInsideCommentFolder(app, "/home/u/app/Quadrelle_f/"));
    EXPECT_FALSE(IsInsideCommentFolder(app, "/home/u/app/dat/Quadrelle.db"));
    EXPECT_FALSE(IsInsideCommentFolder(app, "/home/u/app/Quadrelle_fx/a.rtf"));
    EXPECT_EQ(CommentNameStem("../坏/名:*?\"<>|\t"), ".坏名");
}

using CommentFolderTest = StoreTest;

// A row written by another program names a comment file outside the folder:
// reading it gives the case a name made as for a new case, and no file
// operation of the folder reaches outside.
TEST_F(CommentFolderTest, RowsNamingFilesOutsideAreReadWithANewName) {
    MRecordBase s;
    OpenStore(s);
    TRecordData r = Record("张三");
    ASSERT_EQ(s.AddCase(r), 1);
    RawExec(DbPath(), "update case_data set remarkFile='../victim';");
    WriteFile(Home() + "victim.rtf", "{\\rtf1 keep}");
    ASSERT_TRUE(s.ReadCase(1, r));
    EXPECT_EQ(r.commentFile, "张三_200603070905");
    EXPECT_EQ(s.CommentFilePath("../victim"), "");

    const CCommentFolder folder = s.Comments();
    EXPECT_FALSE(folder.Remove(Comments() + "../victim.rtf"));
    EXPECT_FALSE(folder.Write(Comments() + "../victim.rtf", "x"));
    EXPECT_FALSE(folder.Rename(Comments() + "a.rtf", Comments() + "../victim.rtf"));
    EXPECT_TRUE(PathExists(Home() + "victim.rtf"));

    // Writes replace a link in the folder instead of writing through it.
    std::filesystem::create_symlink(Home() + "victim.rtf", Comments() + "link.rtf");
    EXPECT_TRUE(folder.WriteComment(Comments() + "link.rtf", "新"));
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(Home() + "victim.rtf", kept));
    EXPECT_EQ(kept, "{\\rtf1 keep}");
    EXPECT_FALSE(std::filesystem::is_symlink(Comments() + "link.rtf"));
}

}  // namespace qd::test
