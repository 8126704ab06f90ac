// The set of active libraries and the device lookup over it.
#include <clocale>

#include "qor/platform/profile.h"
#include "test_support.h"

namespace qor::thm::test {
namespace {

using SetTest = EngineTest;

TEST_F(SetTest, BeginAddDeleteSaveRoundTrip) {
    const std::string ini = makeProfile({"POWER", "ICS", "PASSIVE"});
    profile::writeString(ini, "Library", "Other", "kept");
    ASSERT_EQ(THM_S_Begin(), 0);
    EXPECT_EQ(THM_S_Begin(), THM_SET_ALREADY_BEGUN);
    EXPECT_EQ(setNames(), (std::vector<std::string>{"ICS", "PASSIVE", "POWER"}));

    EXPECT_EQ(THM_S_Add("EXTRA"), 0);
    EXPECT_EQ(THM_S_Add("ICS"), THM_SET_NAME_PRESENT);
    EXPECT_EQ(THM_S_Add(""), THM_SET_BAD_NAME_OR_FULL);
    EXPECT_EQ(THM_S_Add(nullptr), THM_SET_BAD_NAME_OR_FULL);
    char middle[] = "PASSIVE";
    THM_S_Delete(middle);
    char absent[] = "NOTHERE";
    THM_S_Delete(absent);
    EXPECT_EQ(setNames(), (std::vector<std::string>{"EXTRA", "ICS", "POWER"}));

    // Changes reach the profile only through a save.
    EXPECT_EQ(profile::readInt(ini, "Library", "Number", -1), 3);
    ASSERT_EQ(THM_S_Save(), 0);
    THM_S_End();
    EXPECT_EQ(profile::readInt(ini, "Library", "Number", -1), 3);
    EXPECT_EQ(profile::readString(ini, "Library", "Library#1"), "EXTRA");
    EXPECT_EQ(profile::readString(ini, "Library", "Library#3"), "POWER");
    EXPECT_EQ(profile::readString(ini, "Library", "Other"), "kept");
    EXPECT_EQ(profile::readString(ini, "Qor32", "LibDir"), dir_.string());

    // A smaller set removes the keys it no longer uses.
    ASSERT_EQ(THM_S_Begin(), 0);
    char ics[] = "ICS";
    THM_S_Delete(ics);
    char power[] = "POWER";
    THM_S_Delete(power);
    ASSERT_EQ(THM_S_Save(), 0);
    THM_S_End();
    EXPECT_EQ(profile::readInt(ini, "Library", "Number", -1), 1);
    EXPECT_EQ(profile::keys(ini, "Library"),
              (std::vector<std::string>{"Number", "Other", "Library#1"}));
    ASSERT_EQ(THM_S_Begin(), 0);
    EXPECT_EQ(setNames(), std::vector<std::string>{"EXTRA"});
}

TEST_F(SetTest, EndWithoutSaveLeavesTheProfile) {
    const std::string ini = makeProfile({"A", "B"});
    const Bytes before = readBytes(ini);
    ASSERT_EQ(THM_S_Begin(), 0);
    EXPECT_EQ(THM_S_Add("C"), 0);
    THM_S_End();
    EXPECT_EQ(readBytes(ini), before);
    ASSERT_EQ(THM_S_Begin(), 0);
    EXPECT_EQ(setNames(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(SetTest, NumberIsLimitedTo100) {
    struct Case {
        const char* number;
        std::size_t names;
    };
    for (const Case& c :
         std::vector<Case>{{"150", 100}, {"100", 100}, {"3", 3}, {"-1", 100}, {"x", 0}, {"0", 0}}) {
        SCOPED_TRACE(c.number);
        const std::string ini = makeProfile({"A", "B", "C"});
        profile::writeString(ini, "Library", "Number", c.number);
        ASSERT_EQ(THM_S_Begin(), 0);
        EXPECT_EQ(setNames().size(), c.names);
        THM_S_End();
    }
}

TEST_F(SetTest, AddHolds100NamesOf15Characters) {
    makeProfile({});
    ASSERT_EQ(THM_S_Begin(), 0);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(THM_S_Add(("LIB" + std::to_string(1000 + i)).c_str()), 0) << i;
    EXPECT_EQ(THM_S_Add("LIB9999"), THM_SET_BAD_NAME_OR_FULL);
    EXPECT_EQ(THM_S_Add("LIB1000"), THM_SET_BAD_NAME_OR_FULL) << "full is checked first";
    char first[] = "LIB1000";
    THM_S_Delete(first);
    EXPECT_EQ(THM_S_Add("ABCDEFGHIJKLMNOPQRS"), 0);
    THM_S_End();

    ASSERT_EQ(THM_S_Begin(), 0);
    ASSERT_EQ(THM_S_Add("ABCDEFGHIJKLMNOPQRS"), 0);
    EXPECT_EQ(THM_S_Add("ABCDEFGHIJKLMNO"), THM_SET_NAME_PRESENT);
    EXPECT_EQ(THM_S_Add("ABCDEFGHIJKLMNO-2"), THM_SET_NAME_PRESENT);
    std::array<char, 17> buffer;
    buffer.fill('#');
    ASSERT_EQ(THM_S_GetFirst(buffer.data()), 1);
    EXPECT_EQ(std::string(buffer.data()), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(buffer[16], '#') << "16 bytes are written";
    EXPECT_EQ(THM_S_GetNext(buffer.data()), 0);
}

TEST_F(SetTest, DeleteCutsTheNameInsideItsBuffer) {
    makeProfile({"AB", "CD", "LONGNAME1234567"});
    ASSERT_EQ(THM_S_Begin(), 0);
    // A short buffer: nothing is written past its end (the sanitizer build checks).
    char* shortName = new char[6]{'C', 'D', ' ', 'x', 'y', '\0'};
    THM_S_Delete(shortName);
    EXPECT_STREQ(shortName, "CD");
    delete[] shortName;
    char longName[] = "LONGNAME1234567EXTRA";
    THM_S_Delete(longName);
    EXPECT_STREQ(longName, "LONGNAME1234567");
    EXPECT_EQ(setNames(), std::vector<std::string>{"AB"});
    char empty[] = "";
    THM_S_Delete(empty);
    THM_S_Delete(nullptr);
    EXPECT_EQ(setNames(), std::vector<std::string>{"AB"});
}

TEST_F(SetTest, CallsWithoutABegunSet) {
    const std::string ini = makeProfile({"A"});
    const Bytes before = readBytes(ini);
    EXPECT_EQ(THM_S_Add("B"), THM_SET_NOT_BEGUN);
    EXPECT_EQ(THM_S_Save(), THM_SET_NOT_BEGUN);
    char name[] = "A";
    THM_S_Delete(name);
    EXPECT_EQ(THM_S_GetFirst(std::array<char, 16>{}.data()), 0);
    EXPECT_EQ(THM_S_GetNext(std::array<char, 16>{}.data()), 0);
    THM_S_End();
    EXPECT_EQ(readBytes(ini), before);
}

TEST_F(SetTest, ASaveThatCannotWriteReportsIt) {
    makeProfile({"A"});
    ASSERT_EQ(THM_S_Begin(), 0);
    setProfileFile(engine(), pathText("missing-folder/qor32.ini").c_str());
    EXPECT_EQ(THM_S_Save(), THM_SET_PROFILE_WRITE);
    setProfileFile(engine(), "");
    EXPECT_EQ(THM_S_Save(), THM_SET_PROFILE_WRITE);
    EXPECT_EQ(setNames(), std::vector<std::string>{"A"});
}

TEST_F(SetTest, NoProfileGivesAnEmptySet) {
    ASSERT_EQ(THM_S_Begin(), 0);
    EXPECT_TRUE(setNames().empty());
}

TEST_F(SetTest, TheLookupTakesTheFirstLibraryInSortedOrder) {
    makeLibrary("BETA.TAL", {device("LM7805", THM_PKG_FMP, 0, 1, 5, 60),
                             device("NE555", THM_PKG_DIPP, 0, 1, 41, 44)});
    makeLibrary("ALPHA.TAL", {device("LM7805", THM_PKG_SOP, 0, 1, 3, 30)});
    writeText(path("BROKEN.TAL"), "not a library");
    makeProfile({"BROKEN", "MISSING", "BETA", "ALPHA"});

    struct Case {
        const char* name;
        std::int32_t found;
        double junctionCase;
    };
    for (const Case& c : std::vector<Case>{{"LM7805", 1, 3.0},
                                           {"lm7805", 1, 3.0},
                                           {"NE555", 1, 41.0},
                                           {"LM317", 0, -1.0},
                                           {"", 0, -1.0},
                                           {nullptr, 0, -1.0}}) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        DeviceRecord r = device("untouched", 0, 0, 0, -1.0, 0);
        EXPECT_EQ(THM_G_GetDeviceParameters(c.name, &r), c.found);
        EXPECT_EQ(r.junctionCaseCPerW, c.junctionCase);
    }
    // The lookup leaves no library selected and no set begun.
    EXPECT_EQ(THM_L_LibrarySelect(pathText("ALPHA.TAL").c_str()), 0);
    THM_L_LibraryFree();
    EXPECT_EQ(THM_S_Begin(), 0);
}

TEST_F(SetTest, TheLookupLeavesASetBegunByItsCaller) {
    makeLibrary("ALPHA.TAL", {device("LM7805", THM_PKG_SOP, 0, 1, 3, 30)});
    makeProfile({"ALPHA"});
    ASSERT_EQ(THM_S_Begin(), 0);
    ASSERT_EQ(THM_S_Add("BETA"), 0);
    DeviceRecord r{};
    EXPECT_EQ(THM_G_GetDeviceParameters("LM7805", &r), 0) << "the set is in use";
    EXPECT_EQ(setNames(), (std::vector<std::string>{"ALPHA", "BETA"}));
    EXPECT_EQ(THM_S_Save(), 0);
    THM_S_End();
    EXPECT_EQ(THM_G_GetDeviceParameters("LM7805", &r), 1);
}

}  // namespace
}  // namespace qor::thm::test
