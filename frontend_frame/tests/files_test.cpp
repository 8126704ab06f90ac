#include "qor/frontend/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "qor/kernel/kernel.h"
#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::RecordingMessageBox;
using testing::ScratchDir;
using testing::UseCatalog;

class FilesTest : public ::testing::Test {
  protected:
    void SetUp() override { UseCatalog(dir_, ""); }
    void TearDown() override { E_SetString("IniFile", ""); }

    std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    ScratchDir dir_;
    RecordingMessageBox box_;
    Messages messages_{Analyzer::Thermal, box_};
    FileAccess files_{messages_};
};

TEST_F(FilesTest, ProfileReadAndWriteGoToTheHostsProfileFile) {
    const std::string ini = dir_.write("qor32.ini", "[Qor32]\nJobDir=/jobs\n");
    E_SetString("IniFile", ini.c_str());
    EXPECT_EQ(files_.ProfileRead("Qor32", "JobDir", "\\Qor32\\JOB"), "/jobs");
    EXPECT_EQ(files_.ProfileRead("Qor32", "LibDir", "\\Qor32\\LIB"), "\\Qor32\\LIB");
    EXPECT_EQ(files_.currentFileName(), ini) << "every profile access names the profile file";
    EXPECT_EQ(files_.ProfileWrite("Colors", "Color#3", "16711680"), 0);
    EXPECT_EQ(files_.ProfileRead("Colors", "Color#3"), "16711680");
    EXPECT_EQ(files_.ProfileRead("Qor32", "JobDir"), "/jobs") << "other keys are kept";
    EXPECT_TRUE(box_.shown.empty());
}

TEST_F(FilesTest, ProfileWriteFailureIsShownAndLosesNothing) {
    const std::string ini = dir_.write("qor32.ini", "[Qor32]\nJobDir=/jobs\n");
    std::filesystem::permissions(
        dir_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    E_SetString("IniFile", ini.c_str());
    const bool writable = std::ofstream(dir_.file("probe")).good();  // root ignores permissions
    if (!writable) {
        EXPECT_EQ(files_.ProfileWrite("Qor32", "JobDir", "/elsewhere"), 1);
        ASSERT_EQ(box_.shown.size(), 1u);
        EXPECT_EQ(box_.shown[0].text, "Can't create/write to file: " + ini);
        EXPECT_EQ(box_.shown[0].icon, MessageIcon::Warning);
        EXPECT_FALSE(box_.shown[0].title.empty()) << "titled with the error that caused it";
        EXPECT_EQ(read(ini), "[Qor32]\nJobDir=/jobs\n");
    }
    std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_all);

    box_.shown.clear();
    const std::string unreachable = dir_.file("no/such/folder/qor32.ini");
    E_SetString("IniFile", unreachable.c_str());
    EXPECT_EQ(files_.ProfileWrite("Qor32", "JobDir", "/elsewhere"), 1);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text, "Can't create/write to file: " + unreachable);
    EXPECT_FALSE(box_.shown[0].title.empty());
    EXPECT_EQ(FileExists(unreachable), 1);

    box_.shown.clear();
    E_SetString("IniFile", "");
    EXPECT_EQ(files_.ProfileRead("Qor32", "JobDir", "def"), "def")
        << "no profile file: the default";
    EXPECT_EQ(files_.ProfileWrite("Qor32", "JobDir", "x"), 1);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text, "Can't create/write to file: ");
}

TEST_F(FilesTest, FileExists) {
    const std::string present = dir_.write("present.txt", "x");
    EXPECT_EQ(FileExists(present), 0);
    EXPECT_EQ(FileExists(dir_.file("absent.txt")), 1);
    EXPECT_EQ(FileExists(dir_.path().string()), 1) << "a folder is not a file";
    EXPECT_EQ(FileExists(""), 1);
}

TEST_F(FilesTest, ReadLinesUpToTheEndThenReportReadingPastIt) {
    const std::string path = dir_.write("menu.men", "first\r\nsecond\n\nlast");
    LineFile file;
    ASSERT_EQ(files_.OpenForReading(path, file), 0);
    files_.SetCurrentFileName(path);
    std::string line;
    for (const char* expected : {"first", "second", "", "last"}) {
        EXPECT_FALSE(file.atEnd());
        ASSERT_EQ(files_.ReadLine(file, line), 0);
        EXPECT_EQ(line, expected);
    }
    EXPECT_TRUE(file.atEnd());
    EXPECT_TRUE(box_.shown.empty());
    EXPECT_EQ(files_.ReadLine(file, line), 1);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text, "Can't read file: " + path);
    EXPECT_EQ(box_.shown[0].title, "Input past end of file");
    files_.CloseFile(file, false, path);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(FileExists(path), 0);
}

TEST_F(FilesTest, OpenFailuresNameThePath) {
    LineFile file;
    const std::string missing = dir_.file("missing.txt");
    EXPECT_EQ(files_.OpenForReading(missing, file), 1);
    EXPECT_FALSE(file.isOpen());
    const std::string unwritable = dir_.file("no/such/folder/out.txt");
    EXPECT_EQ(files_.OpenForWriting(unwritable, file), 1);
    ASSERT_EQ(box_.shown.size(), 2u);
    EXPECT_EQ(box_.shown[0].text, "Can't read file: " + missing);
    EXPECT_EQ(box_.shown[1].text, "Can't create/write to file: " + unwritable);
    for (const auto& m : box_.shown) {
        EXPECT_EQ(m.icon, MessageIcon::Warning);
        EXPECT_FALSE(m.title.empty());
    }
    std::string line;
    files_.SetCurrentFileName("menu.men");
    EXPECT_EQ(files_.ReadLine(file, line), 1) << "a file that failed to open reads nothing";
    EXPECT_EQ(box_.shown.back().text, "Can't read file: menu.men");
}

TEST_F(FilesTest, WriteTruncatesWritesExactlyAndCloseCanDelete) {
    const std::string path = dir_.write("BOARDNET.MCR", "old content that must go");
    LineFile file;
    ASSERT_EQ(files_.OpenForWriting(path, file), 0);
    files_.SetCurrentFileName(path);
    EXPECT_EQ(files_.WriteLine(file, "time[s]\r\n"), 0);
    EXPECT_EQ(files_.WriteLine(file, "0, 0\r\n"), 0);
    files_.CloseFile(file, false, path);
    EXPECT_EQ(read(path), "time[s]\r\n0, 0\r\n");
    EXPECT_EQ(files_.WriteLine(file, "late"), 1) << "a closed file takes no more lines";
    EXPECT_EQ(box_.shown.back().text, "Can't create/write to file: " + path);

    ASSERT_EQ(files_.OpenForWriting(path, file), 0);
    files_.CloseFile(file, true, path);
    EXPECT_EQ(FileExists(path), 1);
    files_.CloseFile(file, true, path);  // closing again, and deleting what is gone, is harmless
}

TEST_F(FilesTest, FileMessagesAreLocalized) {
    UseCatalog(dir_, "99365=Datei kann nicht gelesen werden:\n");
    LineFile file;
    EXPECT_EQ(files_.OpenForReading("/nonexistent/x", file), 1);
    EXPECT_EQ(box_.shown.back().text, "Datei kann nicht gelesen werden: /nonexistent/x");
}

}  // namespace
}  // namespace qor::frontend
