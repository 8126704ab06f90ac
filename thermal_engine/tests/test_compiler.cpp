// The library compiler: source lines into a library, one line per call.
#include <cstring>

#include "library_compiler.h"
#include "test_support.h"

namespace qor::thm::test {
namespace {

class CompilerTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        makeProfile({});
    }

    // Compiles `text` as source "SRC.DAT" into library "SRC": the result of every call.
    std::vector<std::int32_t> compile(const std::string& text) {
        writeText(path("SRC.DAT"), text);
        writeText(path("SRC.TAL"), "");
        std::vector<std::int32_t> results;
        results.push_back(THM_C_DataCreate(pathText("SRC.DAT").c_str(), "SRC"));
        if (results.back() != 0) return results;
        do {
            results.push_back(THM_C_DataCompile());
        } while (results.back() == 0 && results.size() < 10000);
        return results;
    }

    // The devices of library "SRC" after the compiler and the library are closed.
    std::vector<DeviceRecord> compiled() {
        EXPECT_EQ(THM_C_DataClose(), 0);
        std::vector<DeviceRecord> records;
        if (THM_L_LibrarySelect(pathText("SRC.TAL").c_str()) != 0) return records;
        for (const std::string& name : selectedNames()) {
            DeviceRecord r{};
            THM_L_DeviceSearch(name.c_str(), &r);
            records.push_back(r);
        }
        THM_L_LibraryFree();
        return records;
    }
};

TEST_F(CompilerTest, TheR1LineMakesOneDevice) {
    EXPECT_EQ(compile("R1 SOP 0.1 0.25 50 120\n"),
              (std::vector<std::int32_t>{0, THM_COMPILE_LINE_DONE, THM_COMPILE_END}));
    const auto records = compiled();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(nameOf(records[0]), "R1");
    EXPECT_EQ(records[0].packageType, 51);
    EXPECT_EQ(records[0].minPowerW, 0.1);
    EXPECT_EQ(records[0].maxPowerW, 0.25);
    EXPECT_EQ(records[0].junctionCaseCPerW, 50.0);
    EXPECT_EQ(records[0].caseAirCPerW, 120.0);
    // The end of the source wrote the library: it is the file, byte for byte.
    EXPECT_EQ(readBytes(path("SRC.TAL")), libraryBytes({records[0]}));
}

struct SourceCase {
    const char* what;
    std::string text;
    std::vector<std::int32_t> results;  // of THM_C_DataCreate, then of each THM_C_DataCompile
    std::vector<std::string> devices;   // in the library afterwards
};

TEST_F(CompilerTest, SourceLines) {
    const std::string name49(49, 'N');
    const std::string name50(50, 'N');
    const std::vector<SourceCase> cases = {
        {"last line without a line feed",
         "A SOP 1 2 3 4\nB SOP 1 2 3 4",
         {0, 0, 0, 2002},
         {"A", "B"}},
        {"carriage returns before line feeds",
         "A SOP 1 2 3 4\r\nB SOP 1 2 3 4\r\n",
         {0, 0, 0, 2002},
         {"A", "B"}},
        {"empty source", "", {0, 2002}, {}},
        {"six fields missing the last", "A SOP 1 2 3\nB SOP 1 2 3 4\n", {0, 1}, {}},
        {"a name only", "A\n", {0, 1}, {}},
        {"devices before a short line stay",
         "A SOP 1 2 3 4\nB SOP\nC SOP 1 2 3 4\n",
         {0, 0, 1},
         {"A"}},
        {"a blank line ends the compilation", "A SOP 1 2 3 4\n\nB SOP 1 2 3 4\n", {0, 0, 1}, {"A"}},
        {"blanks only", "   \n", {0, 1}, {}},
        {"a name of 50 characters skips its line",
         name50 + " SOP 1 2 3 4\nB SOP 1 2 3 4\n",
         {0, 0, 0, 2002},
         {"B"}},
        {"a name of 50 characters without other fields", name50 + "\n", {0, 0, 2002}, {}},
        {"a name of 49 characters keeps 15",
         name49 + " SOP 1 2 3 4\n",
         {0, 0, 2002},
         {std::string(15, 'N')}},
        {"duplicate device", "A SOP 1 2 3 4\nA SOP 5 6 7 8\n", {0, 0, 1010}, {"A"}},
        {"names equal in 15 characters",
         "ABCDEFGHIJKLMNOP SOP 1 2 3 4\nABCDEFGHIJKLMNOQ SOP 1 2 3 4\n",
         {0, 0, 1010},
         {"ABCDEFGHIJKLMNO"}},
        {"extra fields are ignored", "A SOP 1 2 3 4 5 six\n", {0, 0, 2002}, {"A"}},
        {"blanks and tabs before fields", "\t A \t SOP \t1   2 \t3 4   \n", {0, 0, 2002}, {"A"}},
        {"a tab inside a field belongs to it", "A SOP\t1 2 3 4\n", {0, 1}, {}},
        {"a tab does not end a field", "A\tB SOP 1 2 3 4\n", {0, 0, 2002}, {"A\tB"}},
        {"order of the source does not matter",
         "C SOP 1 2 3 4\nA SOP 1 2 3 4\nB SOP 1 2 3 4\n",
         {0, 0, 0, 0, 2002},
         {"A", "B", "C"}},
    };
    for (const SourceCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(compile(c.text), c.results);
        std::vector<std::string> names;
        for (const DeviceRecord& r : compiled()) names.push_back(nameOf(r));
        EXPECT_EQ(names, c.devices);
    }
}

TEST_F(CompilerTest, FieldValues) {
    ASSERT_EQ(compile("A C3 -1.5e1 abc +2. .5\n"
                      "B sop 1e-3 1E+2 7x 0x10\n"
                      "C DIPP 1e 2.5e+ - 3\n"
                      "D SSPX 1e999 -0 5 6\n"),
              (std::vector<std::int32_t>{0, 0, 0, 0, 0, 2002}));
    const auto r = compiled();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].packageType, 3);
    EXPECT_EQ(r[0].minPowerW, -15.0);
    EXPECT_EQ(r[0].maxPowerW, 0.0);
    EXPECT_EQ(r[0].junctionCaseCPerW, 2.0);
    EXPECT_EQ(r[0].caseAirCPerW, 0.5);
    EXPECT_EQ(r[1].packageType, 0) << "package names are case-sensitive";
    EXPECT_EQ(r[1].minPowerW, 0.001);
    EXPECT_EQ(r[1].maxPowerW, 100.0);
    EXPECT_EQ(r[1].junctionCaseCPerW, 7.0);
    EXPECT_EQ(r[1].caseAirCPerW, 0.0);
    EXPECT_EQ(r[2].packageType, 39);
    EXPECT_EQ(r[2].minPowerW, 1.0);
    EXPECT_EQ(r[2].maxPowerW, 2.5);
    EXPECT_EQ(r[2].junctionCaseCPerW, 0.0);
    EXPECT_EQ(r[2].caseAirCPerW, 3.0);
    EXPECT_EQ(r[3].packageType, 0);
    EXPECT_EQ(r[3].minPowerW, 0.0);
}

TEST_F(CompilerTest, AnOverlongLineIsOneLine) {
    // 254 characters count; the rest of the line is not read as a line of its own.
    const std::string line = "A SOP 1 2 3 4" + std::string(260, ' ') + "B SOP 1 2 3 4\n";
    EXPECT_EQ(compile(line + "C SOP 1 2 3 4\n"), (std::vector<std::int32_t>{0, 0, 0, 2002}));
    std::vector<std::string> names;
    for (const DeviceRecord& r : compiled()) names.push_back(nameOf(r));
    EXPECT_EQ(names, (std::vector<std::string>{"A", "C"}));
}

TEST_F(CompilerTest, PackageTypeNames) {
    struct Case {
        const char* name;
        std::int32_t code;
    };
    for (const Case& c : std::vector<Case>{{"C0", 0},
                                           {"C6", 6},
                                           {"CCC", 10},
                                           {"CYP", 15},
                                           {"BGC", 19},
                                           {"FMP", 24},
                                           {"FPP", 30},
                                           {"SIPC", 34},
                                           {"DIPP", 39},
                                           {"LFP", 42},
                                           {"MPC", 46},
                                           {"SOP", 51},
                                           {"SSP", 54},
                                           {"C7", 0},
                                           {"sop", 0},
                                           {"SOP ", 0},
                                           {"", 0},
                                           {"DIP", 0},
                                           {"SIPPP", 0}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(packageTypeCode(c.name), c.code);
    }
    for (std::int32_t code = 10; code <= 54; ++code)
        EXPECT_EQ(packageTypeCode(packageTypeName(code)), code);
    EXPECT_TRUE(packageTypeName(7).empty());
    EXPECT_TRUE(packageTypeName(55).empty());
}

TEST_F(CompilerTest, CreateCodes) {
    writeText(path("SRC.DAT"), "A SOP 1 2 3 4\n");
    EXPECT_EQ(THM_C_DataCreate(nullptr, "SRC"), THM_COMPILE_NO_SOURCE);
    EXPECT_EQ(THM_C_DataCreate("", "SRC"), THM_COMPILE_NO_SOURCE);
    EXPECT_EQ(THM_C_DataCreate(pathText("SRC.DAT").c_str(), nullptr), THM_COMPILE_NO_SOURCE);
    EXPECT_EQ(THM_C_DataCreate(pathText("SRC.DAT").c_str(), ""), THM_COMPILE_NO_SOURCE);
    EXPECT_EQ(THM_C_DataCreate(pathText("NONE.DAT").c_str(), "SRC"), THM_COMPILE_NO_SOURCE);
    EXPECT_EQ(THM_C_DataCompile(), THM_COMPILE_NO_SOURCE) << "nothing to compile";
    // The library file must exist before it is created anew.
    EXPECT_EQ(THM_C_DataCreate(pathText("SRC.DAT").c_str(), "SRC"), THM_LIB_NO_FILE);
    EXPECT_EQ(THM_C_DataClose(), 0);
    EXPECT_FALSE(fs::exists(path("SRC.TAL")));

    // A library selected elsewhere stays; the compiler cannot select its own.
    const std::string other = makeLibrary("OTHER.TAL", {});
    ASSERT_EQ(THM_L_LibrarySelect(other.c_str()), 0);
    writeText(path("SRC.TAL"), "");
    EXPECT_EQ(THM_C_DataCreate(pathText("SRC.DAT").c_str(), "SRC"), THM_LIB_ALREADY_SELECTED);
    EXPECT_EQ(THM_C_DataClose(), 0);
}

TEST_F(CompilerTest, TheLibraryIsWrittenIntoTheLibraryFolder) {
    fs::create_directory(path("libs"));
    writeText(path("qor32.ini"), "[Qor32]\nLibDir=" + pathText("libs") + "\n");
    writeText(path("P.DAT"), "NE555 DIPP 0.015 0.15 41 44\n");
    writeText(path("libs/P.TAL"), "");
    ASSERT_EQ(THM_C_DataCreate(pathText("P.DAT").c_str(), "P"), 0);
    EXPECT_EQ(THM_C_DataCompile(), 0);
    EXPECT_EQ(THM_C_DataCompile(), THM_COMPILE_END);
    EXPECT_EQ(THM_L_LibraryClose(), 0);
    DeviceRecord r{};
    EXPECT_EQ(THM_G_GetDeviceParametersLib("NE555", pathText("libs/P.TAL").c_str(), &r), 1);
    EXPECT_EQ(r.packageType, THM_PKG_DIPP);
}

TEST(ParseReal, DecimalRealsOnly) {
    struct Case {
        const char* text;
        double value;
    };
    for (const Case& c : std::vector<Case>{
             {"12", 12},    {"-0.5", -0.5}, {"+3", 3},    {"1.5e2", 150}, {"1.5E-2", 0.015},
             {".25", 0.25}, {"7.", 7},      {"2e", 2},    {"2e+", 2},     {"3.0x", 3},
             {"", 0},       {"-", 0},       {".", 0},     {"abc", 0},     {"inf", 0},
             {"nan", 0},    {"0x1p3", 0},   {"1e400", 0}, {"1e-400", 0},  {"--1", 0}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseReal(c.text), c.value);
    }
}

}  // namespace
}  // namespace qor::thm::test
