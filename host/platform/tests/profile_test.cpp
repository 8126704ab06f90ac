#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "qor/platform/profile.h"

namespace fs = std::filesystem;
using namespace qor::profile;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("qor_profile_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = (dir_ / "qor32.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }
    void write(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }
    std::string contents() const {
        std::ifstream in(file_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir_;
    std::string file_;
};

TEST_F(ProfileTest, ReadsWithoutRegardToCaseAndTrimsValues) {
    write("; comment\r\n[Qor32]\r\nLibDir =  /opt/qor/lib  \r\nQuoted=\" spaced \"\r\n"
          "[library]\r\nNumber=3\r\n1=STD\r\n[Qor32]\r\nLibDir=second section is ignored\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Qor32", "LibDir", "/opt/qor/lib"},
        {"QOR32", "libdir", "/opt/qor/lib"},
        {"Qor32", "Quoted", " spaced "},
        {"LIBRARY", "1", "STD"},
        {"Qor32", "Missing", "default"},
        {"Nowhere", "LibDir", "default"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readString(file_, c.section, c.key, "default"), c.expected) << c.section << "/" << c.key;
}

TEST_F(ProfileTest, IntegerReads) {
    write("[S]\nplain=42\nsigned=-7\nspaced= 12 \ntrailing=15abc\nletters=abc\nempty=\nhuge=99999999999\n");
    struct Case {
        const char* key;
        int expected;
    } cases[] = {{"plain", 42},   {"signed", -7}, {"spaced", 12},         {"trailing", 15},
                 {"letters", 0},  {"empty", 0},   {"huge", 2147483647},   {"absent", 99}};
    for (const auto& c : cases) EXPECT_EQ(readInt(file_, "S", c.key, 99), c.expected) << c.key;
    EXPECT_EQ(readInt(dir_.string() + "/none.ini", "S", "plain", 5), 5);
}

TEST_F(ProfileTest, WritingCreatesTheFileAndSection) {
    ASSERT_TRUE(writeString(file_, "Colors", "Color0", "255"));
    ASSERT_TRUE(writeString(file_, "Colors", "Color1", "65280"));
    ASSERT_TRUE(writeString(file_, "Qor32", "LibDir", "/lib"));
    EXPECT_EQ(readString(file_, "colors", "color1"), "65280");
    EXPECT_EQ(contents(), "[Colors]\r\nColor0=255\r\nColor1=65280\r\n\r\n[Qor32]\r\nLibDir=/lib\r\n");
}

TEST_F(ProfileTest, WritingReplacesInPlaceAndKeepsEverythingElse) {
    write("; keep me\n[A]\nx=1\n\n[B]\nY=2\nz=3\n\n[C]\nw=4\n");
    ASSERT_TRUE(writeString(file_, "b", "y", "20"));
    ASSERT_TRUE(writeString(file_, "B", "new", "5"));
    EXPECT_EQ(contents(), "; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=20\r\nz=3\r\nnew=5\r\n\r\n[C]\r\nw=4\r\n");
}

TEST_F(ProfileTest, DeletingKeysAndSections) {
    write("[A]\nx=1\ny=2\n[B]\nz=3\n");
    EXPECT_TRUE(deleteKey(file_, "a", "X"));
    EXPECT_EQ(readString(file_, "A", "x", "gone"), "gone");
    EXPECT_EQ(readString(file_, "A", "y"), "2");
    EXPECT_TRUE(deleteKey(file_, "A", "absent"));
    EXPECT_TRUE(deleteKey(file_, "Absent", "x"));
    EXPECT_TRUE(deleteSection(file_, "B"));
    EXPECT_EQ(keys(file_, "B"), std::vector<std::string>{});
    EXPECT_EQ(keys(file_, "A"), std::vector<std::string>{"y"});
}

TEST_F(ProfileTest, KeysListInFileOrder) {
    write("[DEVLIBS]\n1=STD\n2=POWER\n3=\n[Other]\n1=x\n");
    EXPECT_EQ(keys(file_, "devlibs"), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(ProfileTest, FailedWriteLeavesTheFileIntact) {
    write("[A]\nx=1\n");
    // A folder where the temporary file would go makes the write fail before the file is touched.
    fs::create_directory(file_ + ".tmp" + std::to_string(::getpid()));
    EXPECT_FALSE(writeString(file_, "A", "x", "2"));
    EXPECT_FALSE(deleteKey(file_, "A", "x"));
    EXPECT_EQ(contents(), "[A]\nx=1\n");
}

TEST_F(ProfileTest, WriteIntoMissingFolderFails) {
    EXPECT_FALSE(writeString((dir_ / "no" / "such.ini").string(), "A", "x", "1"));
}

}  // namespace
