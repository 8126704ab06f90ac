// Device library files: selecting, editing, searching and writing back, with every result code.
#include <sys/resource.h>

#include <csignal>
#include <cstring>

#include "test_support.h"

namespace qor::thm::test {
namespace {

using LibraryTest = EngineTest;

const DeviceRecord kLm7805 = device("LM7805", THM_PKG_FMP, 0.03, 1.5, 5.0, 60.0);
const DeviceRecord kNe555 = device("NE555", THM_PKG_DIPP, 0.015, 0.15, 41.0, 44.0);

// Library files that select must refuse, and the code each gets.
struct BadFile {
    const char* what;
    Bytes bytes;
    std::int32_t code;
};

Bytes withByte(Bytes bytes, std::size_t at, unsigned char value) {
    bytes.at(at) = value;
    return bytes;
}

Bytes withVersion(double version) {
    Bytes bytes = libraryBytes({kLm7805});
    std::memcpy(bytes.data() + kLibraryVersionOffset, &version, sizeof version);
    return bytes;
}

Bytes truncated(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

TEST_F(LibraryTest, SelectRefusesWhatIsNoLibrary) {
    const Bytes good = libraryBytes({kLm7805, kNe555});
    const std::vector<BadFile> cases = {
        {"empty file", {}, THM_LIB_NOT_A_LIBRARY},
        {"header cut short", truncated(good, 55), THM_LIB_NOT_A_LIBRARY},
        {"header text differs in one character", withByte(good, 0, 't'), THM_LIB_NOT_A_LIBRARY},
        {"header text without its end", withByte(good, 42, 'X'), THM_LIB_NOT_A_LIBRARY},
        {"version 1.2", withVersion(1.2), THM_LIB_BAD_VERSION},
        {"version 1.1 as a float", withVersion(static_cast<float>(1.1)), THM_LIB_BAD_VERSION},
        {"count larger than the file", libraryBytes({kLm7805, kNe555}, 3), THM_LIB_NOT_A_LIBRARY},
        {"last record cut short", truncated(good, good.size() - 1), THM_LIB_NOT_A_LIBRARY},
        {"2000 devices", libraryBytes(std::vector<DeviceRecord>(2000, kLm7805)),
         THM_LIB_NOT_A_LIBRARY},
        {"count 2^31 - 1", libraryBytes({kLm7805}, 0x7fffffff), THM_LIB_NOT_A_LIBRARY},
        {"negative count", libraryBytes({kLm7805}, 0xffffffff), THM_LIB_NOT_A_LIBRARY},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(path("BAD.TAL"), c.bytes);
        EXPECT_EQ(THM_L_LibrarySelect(pathText("BAD.TAL").c_str()), c.code);
        // Nothing stays selected: a good library selects next.
        const std::string goodPath = makeLibrary("GOOD.TAL", {kLm7805});
        ASSERT_EQ(THM_L_LibrarySelect(goodPath.c_str()), 0);
        THM_L_LibraryFree();
    }
}

TEST_F(LibraryTest, SelectCodesForPathsAndState) {
    EXPECT_EQ(THM_L_LibrarySelect(nullptr), THM_LIB_NO_FILE);
    EXPECT_EQ(THM_L_LibrarySelect(""), THM_LIB_NO_FILE);
    EXPECT_EQ(THM_L_LibrarySelect(pathText("MISSING.TAL").c_str()), THM_LIB_NO_FILE);
    EXPECT_EQ(THM_L_LibrarySelect(dir_.c_str()), THM_LIB_RUNTIME_ERROR + EISDIR);

    const std::string a = makeLibrary("A.TAL", {kLm7805});
    const std::string b = makeLibrary("B.TAL", {kNe555});
    ASSERT_EQ(THM_L_LibrarySelect(a.c_str()), 0);
    EXPECT_EQ(THM_L_LibrarySelect(b.c_str()), THM_LIB_ALREADY_SELECTED);
    EXPECT_EQ(selectedNames(), std::vector<std::string>{"LM7805"});
    // Free drops edits; close with nothing selected does nothing.
    DeviceRecord r = kNe555;
    ASSERT_EQ(THM_L_DeviceCreate("NE555", &r), 0);
    THM_L_LibraryFree();
    EXPECT_EQ(THM_L_LibraryClose(), 0);
    EXPECT_EQ(readBytes(a), libraryBytes({kLm7805}));
}

TEST_F(LibraryTest, CreateWritesAnEmptyLibraryOverAnExistingFile) {
    EXPECT_EQ(THM_L_LibraryCreate(nullptr), THM_LIB_NO_FILE);
    EXPECT_EQ(THM_L_LibraryCreate(""), THM_LIB_NO_FILE);
    EXPECT_EQ(THM_L_LibraryCreate(pathText("NEW.TAL").c_str()), THM_LIB_NO_FILE);
    EXPECT_FALSE(fs::exists(path("NEW.TAL")));

    writeText(path("OLD.TAL"), "some earlier content that is no library");
    ASSERT_EQ(THM_L_LibraryCreate(pathText("OLD.TAL").c_str()), 0);
    const Bytes bytes = readBytes(path("OLD.TAL"));
    ASSERT_EQ(bytes.size(), 56u);
    EXPECT_EQ(std::memcmp(bytes.data(), "ThermalAnalyzer's Library by KORVALDINEXIA\0\0", 44), 0);
    double version;
    std::memcpy(&version, bytes.data() + 44, 8);
    EXPECT_EQ(version, 1.1);
    EXPECT_EQ(bytes[52] | bytes[53] | bytes[54] | bytes[55], 0);
    // Create does not select.
    EXPECT_EQ(THM_L_DeviceGetFirst(std::array<char, 17>{}.data()), 0);
    EXPECT_EQ(THM_L_LibrarySelect(pathText("OLD.TAL").c_str()), 0);
}

TEST_F(LibraryTest, CloseWritesTheSortedTableByteExact) {
    writeText(path("LIB.TAL"), "");
    ASSERT_EQ(THM_L_LibraryCreate(pathText("LIB.TAL").c_str()), 0);
    ASSERT_EQ(THM_L_LibrarySelect(pathText("LIB.TAL").c_str()), 0);
    for (DeviceRecord r : {kNe555, kLm7805, device("1N4007", THM_PKG_CYP, 0.01, 0.8, 20, 30)}) {
        const std::string name = nameOf(r);
        ASSERT_EQ(THM_L_DeviceCreate(name.c_str(), &r), 0);
    }
    ASSERT_EQ(THM_L_LibraryClose(), 0);

    const Bytes bytes = readBytes(path("LIB.TAL"));
    const DeviceRecord first = device("1N4007", THM_PKG_CYP, 0.01, 0.8, 20, 30);
    EXPECT_EQ(bytes, libraryBytes({first, kLm7805, kNe555}));
    // The record layout seen from the file: LM7805 is the second record.
    const unsigned char* rec = bytes.data() + 56 + 48;
    EXPECT_EQ(std::memcmp(rec, "LM7805\0\0\0\0\0\0\0\0\0", 15), 0);
    EXPECT_EQ(rec[15], THM_PKG_FMP);
    double values[4];
    std::memcpy(values, rec + 16, sizeof values);
    EXPECT_EQ(values[0], 0.03);
    EXPECT_EQ(values[1], 1.5);
    EXPECT_EQ(values[2], 5.0);
    EXPECT_EQ(values[3], 60.0);
    // The library is released after a close.
    EXPECT_EQ(THM_L_LibrarySelect(pathText("LIB.TAL").c_str()), 0);
}

TEST_F(LibraryTest, InsertKeepsOrderAndRefusesDuplicatesAndEmptyNames) {
    const std::string lib = makeLibrary("LIB.TAL", {});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    struct Step {
        const char* name;
        std::int32_t code;
    };
    const std::vector<Step> steps = {
        {"AC", 0},
        {"AA", 0},
        {"AB", 0},
        {"AB", THM_LIB_BAD_DEVICE_NAME},
        {"", THM_LIB_BAD_DEVICE_NAME},
        {nullptr, THM_LIB_BAD_DEVICE_NAME},
        {"Ab", 0},
        {"A", 0},
        {"B", 0},
        {"AA", THM_LIB_BAD_DEVICE_NAME},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name ? step.name : "(null)");
        DeviceRecord r = kNe555;
        EXPECT_EQ(THM_L_DeviceCreate(step.name, &r), step.code);
    }
    EXPECT_EQ(selectedNames(), (std::vector<std::string>{"A", "AA", "AB", "AC", "Ab", "B"}));
    DeviceRecord r = kNe555;
    EXPECT_EQ(THM_L_DeviceCreate("X", nullptr), THM_LIB_BAD_DEVICE_NAME);
    EXPECT_EQ(THM_L_DeviceCreate("X", &r), 0);
    EXPECT_EQ(nameOf(r), "X");  // the name is written into the caller's record
}

TEST_F(LibraryTest, AFullLibraryHolds1999Devices) {
    const std::string lib = makeLibrary("FULL.TAL", {});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    // Descending names: every insert goes to the front and moves the whole table.
    for (int i = 1999; i >= 1; --i) {
        const std::string name = "D" + std::to_string(10000 + i);
        DeviceRecord r = device("", THM_PKG_SOP, i, i, i, i);
        ASSERT_EQ(THM_L_DeviceCreate(name.c_str(), &r), 0) << name;
    }
    DeviceRecord extra = kNe555;
    EXPECT_EQ(THM_L_DeviceCreate("D00000", &extra), THM_LIB_FULL);
    EXPECT_EQ(THM_L_DeviceCreate("D99999", &extra), THM_LIB_FULL);
    EXPECT_EQ(THM_L_DeviceCreate("D10005", &extra), THM_LIB_BAD_DEVICE_NAME);
    ASSERT_EQ(THM_L_LibraryClose(), 0);
    EXPECT_EQ(readBytes(lib).size(), 56u + 1999u * 48u);

    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    const auto names = selectedNames();
    ASSERT_EQ(names.size(), 1999u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    for (int i : {1, 1000, 1999}) {
        DeviceRecord found{};
        ASSERT_EQ(THM_L_DeviceSearch(("d" + std::to_string(10000 + i)).c_str(), &found), 1);
        EXPECT_EQ(found.maxPowerW, i);
    }
    THM_L_DeviceDelete("D11000");
    DeviceRecord again = kNe555;
    EXPECT_EQ(THM_L_DeviceCreate("D00000", &again), 0);
}

TEST_F(LibraryTest, SearchIgnoresCaseWhileChangeAndDeleteDoNot) {
    const std::string lib = makeLibrary("LIB.TAL", {kLm7805, kNe555});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);

    struct SearchCase {
        const char* name;
        const char* found;  // the device found, or nullptr
    };
    for (const SearchCase& c : std::vector<SearchCase>{{"LM7805", "LM7805"},
                                                       {"lm7805", "LM7805"},
                                                       {"Ne555", "NE555"},
                                                       {"NE556", nullptr},
                                                       {"LM780", nullptr},
                                                       {"", nullptr},
                                                       {nullptr, nullptr}}) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        DeviceRecord out = device("untouched", 0, 0, 0, 0, 0);
        EXPECT_EQ(THM_L_DeviceSearch(c.name, &out), c.found ? 1 : 0);
        EXPECT_EQ(nameOf(out), c.found ? c.found : "untouched");
    }

    DeviceRecord changed = device("LM7805", THM_PKG_SOP, 1, 2, 3, 4);
    EXPECT_EQ(THM_L_DeviceChange("lm7805", &changed), 0);
    THM_L_DeviceDelete("lm7805");
    EXPECT_EQ(selectedNames(), (std::vector<std::string>{"LM7805", "NE555"}));
    EXPECT_EQ(THM_L_DeviceChange("LM7805", &changed), 1);
    EXPECT_EQ(THM_L_DeviceChange("", &changed), THM_LIB_NO_FILE);
    EXPECT_EQ(THM_L_DeviceChange(nullptr, &changed), THM_LIB_NO_FILE);
    DeviceRecord out{};
    ASSERT_EQ(THM_L_DeviceSearch("LM7805", &out), 1);
    EXPECT_EQ(out.packageType, THM_PKG_SOP);
    EXPECT_EQ(out.caseAirCPerW, 4.0);
    THM_L_DeviceDelete("LM7805");
    EXPECT_EQ(selectedNames(), std::vector<std::string>{"NE555"});
}

TEST_F(LibraryTest, CaseInsensitiveSearchFollowsTheCaseSensitiveOrder) {
    // "AZ" < "A_" case-sensitively, but "a_" < "az" without case: the bisection misses "A_".
    const std::string lib =
        makeLibrary("LIB.TAL", {device("AZ", 0, 0, 0, 0, 0), device("A_", 0, 0, 0, 0, 0)});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    DeviceRecord out{};
    EXPECT_EQ(THM_L_DeviceSearch("AZ", &out), 1);
    EXPECT_EQ(THM_L_DeviceSearch("A_", &out), 0);
}

TEST_F(LibraryTest, ChangeKeepsTheNameOfTheEntry) {
    const std::string lib = makeLibrary("LIB.TAL", {kLm7805, kNe555});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    DeviceRecord renamed = device("ZZZ", THM_PKG_SSP, 9, 9, 9, 9);
    ASSERT_EQ(THM_L_DeviceChange("LM7805", &renamed), 1);
    EXPECT_EQ(selectedNames(), (std::vector<std::string>{"LM7805", "NE555"}));
    DeviceRecord out{};
    ASSERT_EQ(THM_L_DeviceSearch("NE555", &out), 1);
    ASSERT_EQ(THM_L_DeviceSearch("LM7805", &out), 1);
    EXPECT_EQ(out.packageType, THM_PKG_SSP);
}

TEST_F(LibraryTest, NamesAreTheirFirst15Characters) {
    const std::string lib = makeLibrary("LIB.TAL", {});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    DeviceRecord r = device("", THM_PKG_DIPP, 1.25, 2.5, 5.0, 10.0);
    ASSERT_EQ(THM_L_DeviceCreate("ABCDEFGHIJKLMNOPQRSTUVWXYZ", &r), 0);
    // The long name fills the name field only.
    EXPECT_EQ(std::memcmp(r.name, "ABCDEFGHIJKLMNO", 15), 0);
    EXPECT_EQ(r.packageType, THM_PKG_DIPP);
    EXPECT_EQ(r.minPowerW, 1.25);

    DeviceRecord other = kNe555;
    EXPECT_EQ(THM_L_DeviceCreate("ABCDEFGHIJKLMNO-other", &other), THM_LIB_BAD_DEVICE_NAME);
    EXPECT_EQ(THM_L_DeviceCreate("ABCDEFGHIJKLMNO", &other), THM_LIB_BAD_DEVICE_NAME);
    DeviceRecord out{};
    ASSERT_EQ(THM_L_DeviceSearch("abcdefghijklmnoXYZ", &out), 1);
    EXPECT_EQ(out.packageType, THM_PKG_DIPP);
    EXPECT_EQ(out.maxPowerW, 2.5);

    std::array<char, 18> buffer;
    buffer.fill('#');
    ASSERT_EQ(THM_L_DeviceGetFirst(buffer.data()), 1);
    EXPECT_EQ(std::string(buffer.data()), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(buffer[15], '\0');
    EXPECT_EQ(buffer[16], '\0');
    EXPECT_EQ(buffer[17], '#');
    EXPECT_EQ(THM_L_DeviceGetNext(buffer.data()), 0);
}

TEST_F(LibraryTest, DeletingEveryDeviceLeavesNothingToFind) {
    const std::string lib = makeLibrary("LIB.TAL", {kLm7805});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    THM_L_DeviceDelete("LM7805");
    THM_L_DeviceDelete("LM7805");
    THM_L_DeviceDelete("");
    DeviceRecord out{};
    EXPECT_EQ(THM_L_DeviceSearch("LM7805", &out), 0);
    EXPECT_EQ(THM_L_DeviceChange("LM7805", &kNe555), 0);
    EXPECT_EQ(THM_L_DeviceGetFirst(std::array<char, 17>{}.data()), 0);
    ASSERT_EQ(THM_L_LibraryClose(), 0);
    EXPECT_EQ(readBytes(lib), libraryBytes({}));
}

TEST_F(LibraryTest, CallsWithoutASelectedLibrary) {
    DeviceRecord r = kNe555;
    EXPECT_EQ(THM_L_DeviceCreate("NE555", &r), THM_LIB_NO_FILE);
    EXPECT_EQ(THM_L_DeviceChange("NE555", &r), 0);
    EXPECT_EQ(THM_L_DeviceSearch("NE555", &r), 0);
    THM_L_DeviceDelete("NE555");
    EXPECT_EQ(THM_L_DeviceGetFirst(std::array<char, 17>{}.data()), 0);
    EXPECT_EQ(THM_L_DeviceGetNext(std::array<char, 17>{}.data()), 0);
    EXPECT_EQ(THM_L_LibraryClose(), 0);
    THM_L_LibraryFree();
}

// Runs `f` with files limited to `bytes`: writes beyond it fail as on a full disk.
template <class F>
void withFileSizeLimit(rlim_t bytes, F f) {
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = bytes;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    f();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

TEST_F(LibraryTest, AFailedWriteKeepsTheOldLibraryAndTheSelection) {
    std::vector<DeviceRecord> records;
    for (int i = 0; i < 100; ++i)
        records.push_back(
            device(("DEV" + std::to_string(100 + i)).c_str(), THM_PKG_SOP, 0, 1, 2, 3));
    const std::string lib = makeLibrary("LIB.TAL", records);
    const Bytes before = readBytes(lib);
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    DeviceRecord added = kNe555;
    ASSERT_EQ(THM_L_DeviceCreate("NE555", &added), 0);

    withFileSizeLimit(1000, [] { EXPECT_EQ(THM_L_LibraryClose(), THM_LIB_SHORT_WRITE); });
    EXPECT_EQ(readBytes(lib), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
    DeviceRecord out{};
    EXPECT_EQ(THM_L_DeviceSearch("NE555", &out), 1) << "the library stays selected";

    withFileSizeLimit(40, [] { EXPECT_EQ(THM_L_LibraryClose(), THM_LIB_SHORT_WRITE); });
    EXPECT_EQ(readBytes(lib), before);

    ASSERT_EQ(THM_L_LibraryClose(), 0);
    EXPECT_EQ(readBytes(lib).size(), before.size() + 48);
}

TEST_F(LibraryTest, CreateThatFailsToWriteKeepsTheOldFile) {
    const std::string lib = makeLibrary("LIB.TAL", {kLm7805, kNe555});
    const Bytes before = readBytes(lib);
    withFileSizeLimit(20,
                      [&] { EXPECT_EQ(THM_L_LibraryCreate(lib.c_str()), THM_LIB_SHORT_WRITE); });
    EXPECT_EQ(readBytes(lib), before);
}

TEST_F(LibraryTest, CloseOfALibraryWhoseFileVanishedKeepsItSelected) {
    const std::string lib = makeLibrary("LIB.TAL", {kLm7805});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    fs::remove(lib);
    EXPECT_EQ(THM_L_LibraryClose(), THM_LIB_NO_FILE);
    EXPECT_EQ(selectedNames(), std::vector<std::string>{"LM7805"});
    writeText(lib, "");
    EXPECT_EQ(THM_L_LibraryClose(), 0);
    EXPECT_EQ(readBytes(lib), libraryBytes({kLm7805}));
}

TEST_F(LibraryTest, LookupInOneLibrary) {
    const std::string a = makeLibrary("A.TAL", {kLm7805});
    DeviceRecord out{};
    EXPECT_EQ(THM_G_GetDeviceParametersLib("lm7805", a.c_str(), &out), 1);
    EXPECT_EQ(out.junctionCaseCPerW, 5.0);
    EXPECT_EQ(THM_G_GetDeviceParametersLib("NE555", a.c_str(), &out), 0);
    EXPECT_EQ(THM_G_GetDeviceParametersLib("LM7805", pathText("NONE.TAL").c_str(), &out), 0);
    EXPECT_EQ(THM_G_GetDeviceParametersLib(nullptr, a.c_str(), &out), 0);
    // Nothing stays selected after a lookup.
    EXPECT_EQ(THM_L_LibrarySelect(a.c_str()), 0);

    // A library selected by someone else (an unfinished edit) is neither searched nor released.
    DeviceRecord added = kNe555;
    ASSERT_EQ(THM_L_DeviceCreate("NE555", &added), 0);
    EXPECT_EQ(THM_G_GetDeviceParametersLib("LM7805", a.c_str(), &out), 0);
    EXPECT_EQ(selectedNames(), (std::vector<std::string>{"LM7805", "NE555"}));
    ASSERT_EQ(THM_L_LibraryClose(), 0);
    EXPECT_EQ(THM_G_GetDeviceParametersLib("NE555", a.c_str(), &out), 1);
}

}  // namespace
}  // namespace qor::thm::test
