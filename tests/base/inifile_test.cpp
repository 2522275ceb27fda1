// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/inifile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/encoding.h"

namespace qd {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("qd_ini_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "set.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Raw() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void WriteRaw(const std::string& bytes) const {
        std::ofstream out(path_, std::ios::binary);
        out << bytes;
    }
    size_t FilesInDir() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++n;
        return n;
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndIsNotCreatedByReading) {
    CIniFile ini;
    ASSERT_TRUE(ini.Open(path_));
    EXPECT_EQ(ini.ReadString("minggao", "fname", "宋体"), "宋体");
    EXPECT_EQ(ini.ReadInteger("set", "iYueJiang", 1), 1);
    EXPECT_TRUE(ini.ReadBool("window", "skined", true));
    EXPECT_FALSE(ini.ReadBool("window", "skined", false));
    EXPECT_TRUE(ini.Keys("set").empty());
    EXPECT_TRUE(ini.DeleteKey("set", "idate"));
    EXPECT_TRUE(ini.Save());
    EXPECT_FALSE(fs::exists(path_));
}

TEST_F(IniFileTest, FirstWriteCreatesGbkFileWithCrLf) {
    {
        CIniFile ini(path_);
        ASSERT_TRUE(ini.WriteString("minggao", "fname", "宋体"));
        ASSERT_TRUE(ini.WriteInteger("minggao", "fsize", 12));
        ASSERT_TRUE(ini.WriteBool("window", "skined", true));
        ASSERT_TRUE(ini.WriteBool("window", "other", false));
    }
    EXPECT_EQ(Raw(),
              "[minggao]\r\nfname=\xCB\xCE\xCC\xE5\r\nfsize=12\r\n\r\n"
              "[window]\r\nskined=1\r\nother=0\r\n");
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind

    CIniFile again(path_);
    EXPECT_EQ(again.ReadString("minggao", "fname", ""), "宋体");
    EXPECT_EQ(again.ReadInteger("minggao", "fsize", 0), 12);
    EXPECT_TRUE(again.ReadBool("window", "skined", false));
    EXPECT_FALSE(again.ReadBool("window", "other", true));
}

TEST_F(IniFileTest, WriteIntoMissingFolderFailsWithoutCreatingIt) {
    std::string path = (dir_ / "dat" / "qdlinit.ini").string();
    CIniFile ini(path);
    EXPECT_FALSE(ini.WriteInteger("winpos", "left", 10));
    EXPECT_FALSE(ini.ErrorText().empty());
    EXPECT_FALSE(fs::exists(dir_ / "dat"));
}

TEST_F(IniFileTest, ReadsKeysInFileOrderWithWindowsConventions) {
    // GBK on disk; 乚 has 0x5D (']') as its second byte.
    WriteRaw(
        Utf8ToGbk("; 地理数据\n"
                  "[福建省]\n"
                  "福州市=119:18*26:5\n"
                  "  厦门市 = 118:6*24:27  \n"
                  "福州市=0:0*0:0\n"
                  "[乚区]\n"
                  "甲=1\n"
                  "[tree]\n"
                  "showStyle = 0\n"
                  "sort=\"3\"\n"
                  "t1=true\n"
                  "t2=-7\n"
                  "f1=No\n"
                  "hex=$C0CCD0\n"
                  "bad=12x\n"
                  "empty=\n"));
    CIniFile ini(path_);
    EXPECT_EQ(ini.Keys("福建省"), (std::vector<std::string>{"福州市", "厦门市"}));
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"福建省", "乚区", "tree"}));
    EXPECT_EQ(ini.ReadString("福建省", "福州市", ""), "119:18*26:5");  // first of duplicates
    EXPECT_EQ(ini.ReadString("福建省", "厦门市", ""), "118:6*24:27");
    EXPECT_EQ(ini.ReadInteger("乚区", "甲", 0), 1);
    EXPECT_EQ(ini.ReadInteger("TREE", "ShowStyle", 1), 0);
    EXPECT_EQ(ini.ReadInteger("tree", "sort", 0), 3);
    EXPECT_TRUE(ini.ReadBool("tree", "t1", false));
    EXPECT_TRUE(ini.ReadBool("tree", "t2", false));
    EXPECT_FALSE(ini.ReadBool("tree", "f1", true));
    EXPECT_EQ(ini.ReadInteger("tree", "hex", 0), 0xC0CCD0);
    EXPECT_EQ(ini.ReadInteger("tree", "bad", -1), -1);
    EXPECT_TRUE(ini.ReadBool("tree", "bad", true));
    EXPECT_EQ(ini.ReadInteger("tree", "empty", 5), 5);
    EXPECT_EQ(ini.ReadString("tree", "empty", "x"), "");
    EXPECT_TRUE(ini.KeyExists("tree", "empty"));
    EXPECT_FALSE(ini.KeyExists("福建省", "甲"));
    EXPECT_EQ(ini.ReadString("nosuch", "sort", "d"), "d");
}

TEST_F(IniFileTest, RewriteKeepsOtherLinesAndTheirBytes) {
    const std::string before =
        "; comment\n"
        "[set]\n"
        "idate=0\n"
        "leftpos=0\n"
        "\n"
        "; tree settings\n"
        "[tree]\n"
        "sort=1\n";
    WriteRaw(before);
    CIniFile ini(path_);
    ASSERT_TRUE(ini.WriteInteger("set", "leftpos", 40));
    ASSERT_TRUE(ini.WriteInteger("set", "iGui", 1));
    ASSERT_TRUE(ini.WriteString("winpos", "sheng", "福建省"));
    EXPECT_EQ(Raw(),
              "; comment\n"
              "[set]\n"
              "idate=0\n"
              "leftpos=40\n"
              "iGui=1\n"
              "\n"
              "; tree settings\n"
              "[tree]\n"
              "sort=1\n"
              "\n"
              "[winpos]\n"
              "sheng=" +
                  Utf8ToGbk("福建省") + "\n");
}

// Untouched lines keep their bytes even where the file mixes its line
// breaks, holds a stray carriage return or lacks its final break.
TEST_F(IniFileTest, RewriteKeepsMixedLineBreaksByteForByte) {
    const std::string before =
        "[set]\r\n"
        "idate=0\n"
        "stray=1\r\r\n"
        "; c\rmid\r\n"
        "leftpos=0\r\n"
        "[tree]\n"
        "sort=1";
    WriteRaw(before);
    CIniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("set", "stray", 5), 1);
    ASSERT_TRUE(ini.WriteInteger("set", "idate", 0));  // unchanged: nothing written
    ASSERT_TRUE(ini.WriteInteger("set", "leftpos", 40));
    EXPECT_EQ(Raw(),
              "[set]\r\n"
              "idate=0\n"
              "stray=1\r\r\n"
              "; c\rmid\r\n"
              "leftpos=40\r\n"
              "[tree]\n"
              "sort=1");
    // A new key after a last line without its break gives that line one.
    ASSERT_TRUE(ini.WriteInteger("tree", "showStyle", 0));
    const std::string tail = "[tree]\nsort=1\r\nshowStyle=0\r\n";
    EXPECT_EQ(Raw().substr(Raw().size() - tail.size()), tail);
}

// A key whose name is no GBK text keeps its name bytes when its value is
// rewritten, so that it can be found again.
TEST_F(IniFileTest, RewriteKeepsANameTheCodePageCannotCarry) {
    WriteRaw("[set]\r\nk\x90*ey = 1\r\n");
    CIniFile ini(path_);
    const std::string name = ini.Keys("set").at(0);
    ASSERT_TRUE(ini.WriteString("set", name, "2"));
    EXPECT_EQ(Raw(), "[set]\r\nk\x90*ey =2\r\n");
    EXPECT_EQ(CIniFile(path_).ReadString("set", name, ""), "2");
}

TEST_F(IniFileTest, DeleteKeyAndEraseSection) {
    WriteRaw(Utf8ToGbk("[福建省]\r\n福州市=119:18*26:5\r\n厦门市=118:6*24:27\r\n[set]\r\nidate=1\r\n"));
    CIniFile ini(path_);
    ASSERT_TRUE(ini.DeleteKey("福建省", "福州市"));
    EXPECT_EQ(ini.Keys("福建省"), std::vector<std::string>{"厦门市"});
    EXPECT_EQ(Raw(), Utf8ToGbk("[福建省]\r\n厦门市=118:6*24:27\r\n[set]\r\nidate=1\r\n"));
    ASSERT_TRUE(ini.EraseSection("福建省"));
    EXPECT_EQ(Raw(), "[set]\r\nidate=1\r\n");
    EXPECT_FALSE(ini.SectionExists("福建省"));
}

TEST_F(IniFileTest, BatchedWritesReachTheFileOnlyOnSave) {
    CIniFile ini(path_);
    ini.SetAutoSave(false);
    ASSERT_TRUE(ini.WriteString("set", "line", "a\r\nb"));  // stays one line
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_TRUE(ini.Modified());
    ASSERT_TRUE(ini.Save());
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(Raw(), "[set]\r\nline=a  b\r\n");
    ASSERT_TRUE(ini.WriteString("set", "line", "changed"));
    ASSERT_TRUE(ini.Reload());
    EXPECT_EQ(ini.ReadString("set", "line", ""), "a  b");
}

}  // namespace
}  // namespace qd
