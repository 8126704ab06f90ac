// The analysis parameters kept in the design: "THERMO_C" written byte for byte, the three record
// versions read newest first, and a failed save that keeps what the design held.
#include <sqlite3.h>

#include "board_fixture.h"
#include "design_records.h"

namespace qor::thm::test {
namespace {

template <class T>
T at(const Bytes& bytes, std::size_t offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

template <class T>
void put(Bytes& bytes, std::size_t offset, T value) {
    if (bytes.size() < offset + sizeof value) bytes.resize(offset + sizeof value);
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

Bytes readRecord(const char* name) {
    const std::int32_t handle = OM_FindName(DB_FileMap(), name);
    if (!handle) return {};
    Bytes bytes(static_cast<std::size_t>(F_GetLength(handle)));
    F_Seek(handle, 0, 0);
    F_Read(handle, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return bytes;
}

void writeRecord(const char* name, const Bytes& bytes) {
    if (const std::int32_t old = OM_FindName(DB_FileMap(), name)) OM_Delete(DB_FileMap(), old);
    const std::int32_t handle = F_CreateFile(0, name);
    ASSERT_NE(handle, 0);
    ASSERT_EQ(F_Write(handle, bytes.data(), static_cast<std::int32_t>(bytes.size())),
              static_cast<std::int32_t>(bytes.size()));
}

// A header of 88 bytes (older records) or 92 (with the fan distance).
Bytes header(std::int32_t count, double ambientC, std::int32_t fanMm = -1) {
    Bytes b;
    put(b, 0, count);
    put(b, 4, ambientC);
    put(b, 12, 1.6);    // board thickness
    put(b, 20, 0.25);   // insulator conductivity
    put(b, 28, 0.035);  // copper thickness
    put(b, 36, 40.0);   // copper fraction
    put(b, 44, 0.9);    // emissivity
    put(b, 52, std::int32_t{0});
    put(b, 56, std::int32_t{3});
    put(b, 60, 1.25);
    put(b, 68, std::int32_t{1});
    put(b, 72, std::int32_t{1});
    put(b, 76, std::int32_t{1300});
    put(b, 80, std::int32_t{4000});
    put(b, 84, std::int32_t{75});
    if (fanMm >= 0) put(b, 88, fanMm);
    return b;
}

// A component record of 44 bytes (oldest) or 72.
void appendComponent(Bytes& b, std::int32_t index, double maxPowerW, bool withCoolingAids) {
    const std::size_t o = b.size();
    put(b, o, index);
    put(b, o + 4, std::int32_t{THM_PKG_SOP});
    put(b, o + 8, 0.1);
    put(b, o + 16, maxPowerW);
    put(b, o + 24, 40.0);
    put(b, o + 32, 150.0);
    put(b, o + 40, std::int32_t{80});
    if (!withCoolingAids) return;
    put(b, o + 44, 2.0);
    put(b, o + 52, 12.0);
    put(b, o + 60, 0.5);
    put(b, o + 68, std::uint8_t{1});
    put(b, o + 69, std::uint8_t{1});
    put(b, o + 70, std::uint8_t{0});
    put(b, o + 71, std::uint8_t{7});
}

class RecordsTest : public BoardTest {
  protected:
    // U1 is known from the library (0.1 ... 0.5 W), U2 and R1 are not.
    void SetUp() override {
        BoardTest::SetUp();
        DesignBuilder b("Records");
        b.setOutline(rectangleMm(100, 80));
        const std::int32_t pkg = addPackage(b, "SO-8", 250000, 200000);
        u1_ = b.addComponent("U1", pkg, b.addDevice("LM358", "SO-8"), {20 * kMm, 20 * kMm});
        u2_ = b.addComponent("U2", pkg, 0, {50 * kMm, 20 * kMm});
        r1_ = b.addComponent("R1", pkg, 0, {60 * kMm, 50 * kMm});
        design_ = b.take();
        makeLibrary("LIB.TAL", {device("LM358", THM_PKG_SOP, 0.1, 0.5, 40, 150)});
        profile_ = makeProfile({"LIB"});
        ASSERT_EQ(load(design_, profile_), 1);
    }
    // The engine loads the open design afresh, as the front end does at start-up.
    void reload() {
        THM_A_DeleteDataBase();
        ASSERT_EQ(THM_A_Qor_LoadDataBase(profile_.c_str()), 1);
    }
    static ComponentParameters parametersOf(std::int32_t index) {
        ComponentParameters p{};
        THM_A_ComponentGet(index, &p);
        return p;
    }
    design::Design design_;
    std::string profile_;
    std::int32_t u1_ = 0, u2_ = 0, r1_ = 0;
};

TEST_F(RecordsTest, SaveWritesThermoCByteForByte) {
    const BoardParameters board{0.25, 0.035, 0.9, 40, 0, 1.6};
    THM_A_SetBoardParameters(&board);
    const CoolingParameters cooling{3, 1.25, 200};
    THM_A_SetCoolingParameters(&cooling);
    const TemperatureParameters t{127000, 30, 1, 80, 20, 1, 4000, 1300};
    THM_A_SetTemperatureParameters(&t);
    THM_A_SetITDensity(75);
    ComponentParameters p = parametersOf(r1_);
    p = {THM_PKG_DIPP, 0.2, 1.5, 35, 90, 60, 2, 12, 0.5, 1, 1, 0, 0};
    THM_A_ComponentSet(r1_, &p);
    writeRecord("THERMO_A", header(0, 20));
    writeRecord("THERMO_B", header(0, 21));

    ASSERT_EQ(THM_A_SaveParameters(), 1);
    const Bytes c = readRecord("THERMO_C");
    ASSERT_EQ(c.size(), 92u + 2 * 72u) << "U2 has package type 0 and is not saved";
    Bytes expected = header(2, 30, 200);
    appendComponent(expected, u1_, 0.5, true);
    // U1 as the library gave it: 0.1 ... 0.5 W, 40 and 150 °C/W, 50 %, no cooling aids.
    put(expected, 92 + 40, std::int32_t{50});
    for (std::size_t o : {44u, 52u, 60u}) put(expected, 92 + o, 0.0);
    for (std::size_t o : {68u, 69u, 70u, 71u}) put(expected, 92 + o, std::uint8_t{0});
    const std::size_t r = expected.size();
    put(expected, r, r1_);
    put(expected, r + 4, std::int32_t{THM_PKG_DIPP});
    put(expected, r + 8, 0.2);
    put(expected, r + 16, 1.5);
    put(expected, r + 24, 35.0);
    put(expected, r + 32, 90.0);
    put(expected, r + 40, std::int32_t{60});
    put(expected, r + 44, 2.0);
    put(expected, r + 52, 12.0);
    put(expected, r + 60, 0.5);
    put(expected, r + 68, std::uint8_t{1});
    put(expected, r + 69, std::uint8_t{1});
    put(expected, r + 70, std::uint8_t{0});
    put(expected, r + 71, std::uint8_t{0});
    EXPECT_EQ(c, expected);
    EXPECT_EQ(readRecord("THERMO_A"), Bytes{}) << "older versions are removed after the save";
    EXPECT_EQ(readRecord("THERMO_B"), Bytes{});

    // A second save with fewer records leaves no tail of the first.
    p.packageType = 0;
    THM_A_ComponentSet(r1_, &p);
    ASSERT_EQ(THM_A_SaveParameters(), 1);
    EXPECT_EQ(readRecord("THERMO_C").size(), 92u + 72u);
}

TEST_F(RecordsTest, ParametersComeBackAtTheNextLoadAndMarkWhatDiffers) {
    ComponentParameters p = parametersOf(r1_);
    p = {THM_PKG_DIPP, 0.2, 1.5, 35, 90, 60, 2, 12, 0.5, 1, 1, 0, 0};
    THM_A_ComponentSet(r1_, &p);
    const CoolingParameters cooling{2, 3.5, 250};
    THM_A_SetCoolingParameters(&cooling);
    TemperatureParameters t{};
    THM_A_GetTemperatureParameters(&t);
    t.ambientC = 35;
    THM_A_SetTemperatureParameters(&t);
    ASSERT_EQ(THM_A_SaveParameters(), 1);

    reload();
    EXPECT_EQ(val(parametersOf(r1_).maxPowerW), 0) << "the load gives the defaults first";
    ASSERT_EQ(THM_A_LoadParameters(), 1);
    const ComponentParameters back = parametersOf(r1_);
    EXPECT_EQ(std::memcmp(&back, &p, sizeof p), 0);
    EXPECT_EQ(slotIndexMap(engine())[r1_].changed, 1);
    EXPECT_EQ(slotIndexMap(engine())[u1_].changed, 0) << "saved values equal the library's";
    CoolingParameters c{};
    THM_A_GetCoolingParameters(&c);
    EXPECT_EQ(val(c.direction), 2);
    EXPECT_EQ(val(c.airVelocityMPerS), 3.5);
    EXPECT_EQ(val(c.fanDistanceMm), 250);
    THM_A_GetTemperatureParameters(&t);
    EXPECT_EQ(val(t.ambientC), 35);
    EXPECT_EQ(val(t.stepUnits), 254000) << "the raster step is not stored";
}

TEST_F(RecordsTest, TheNewestRecordWinsAndOlderOnesLoadWithoutWhatTheyLack) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, Bytes>> records;
        double ambientC;
        std::int32_t fanMm;
        bool coolingAids;
    };
    Bytes a = header(2, 21);
    appendComponent(a, u2_, 0.7, false);
    appendComponent(a, 31000, 9, false);  // no such component
    Bytes b = header(1, 22);
    appendComponent(b, u2_, 0.8, true);
    Bytes c = header(1, 23, 140);
    appendComponent(c, u2_, 0.9, true);
    for (const Case& k :
         {Case{
              "C over B and A", {{"THERMO_A", a}, {"THERMO_B", b}, {"THERMO_C", c}}, 23, 140, true},
          Case{"B over A", {{"THERMO_A", a}, {"THERMO_B", b}}, 22, 0, true},
          Case{"A alone", {{"THERMO_A", a}}, 21, 0, false}}) {
        SCOPED_TRACE(k.what);
        for (const char* name : {"THERMO_A", "THERMO_B", "THERMO_C"})
            if (const std::int32_t old = OM_FindName(DB_FileMap(), name))
                OM_Delete(DB_FileMap(), old);
        for (const auto& [name, bytes] : k.records) writeRecord(name, bytes);
        reload();
        CoolingParameters fan{0, 0, 999};
        THM_A_SetCoolingParameters(&fan);
        ComponentParameters aids = parametersOf(u2_);
        aids.fanOn = aids.heatsinkOn = aids.interfaceOn = 1;
        aids.fanSpeed = 5;
        THM_A_ComponentSet(u2_, &aids);

        ASSERT_EQ(THM_A_LoadParameters(), 1);
        TemperatureParameters t{};
        THM_A_GetTemperatureParameters(&t);
        EXPECT_EQ(val(t.ambientC), k.ambientC);
        EXPECT_EQ(val(t.scaleMode), 1);
        EXPECT_EQ(val(t.windowOn), 1);
        EXPECT_EQ(val(t.windowLowerFiftieths), 1300);
        EXPECT_EQ(val(t.windowUpperFiftieths), 4000);
        EXPECT_EQ(THM_A_GetITDensity(), 75);
        BoardParameters board{};
        THM_A_GetBoardParameters(&board);
        EXPECT_EQ(val(board.boardThicknessMm), 1.6);
        EXPECT_EQ(val(board.emissivity), 0.9);
        EXPECT_EQ(val(board.orientation), 0);
        THM_A_GetCoolingParameters(&fan);
        EXPECT_EQ(val(fan.direction), 3);
        EXPECT_EQ(val(fan.airVelocityMPerS), 1.25);
        EXPECT_EQ(val(fan.fanDistanceMm), k.fanMm);
        const ComponentParameters p = parametersOf(u2_);
        EXPECT_EQ(val(p.packageType), THM_PKG_SOP);
        EXPECT_EQ(val(p.dutyCyclePercent), 80);
        EXPECT_EQ(val(p.fanOn), k.coolingAids ? 1 : 0);
        EXPECT_EQ(val(p.heatsinkOn), k.coolingAids ? 1 : 0);
        EXPECT_EQ(val(p.interfaceOn), 0);
        EXPECT_EQ(val(p.fanSpeed), k.coolingAids ? 2 : 0);
        EXPECT_EQ(val(p.heatsinkCPerW), k.coolingAids ? 12 : 0);
    }
}

TEST_F(RecordsTest, NothingStoredChangesNothingAndAShortRecordFails) {
    TemperatureParameters before{};
    THM_A_GetTemperatureParameters(&before);
    EXPECT_EQ(THM_A_LoadParameters(), 1);
    TemperatureParameters after{};
    THM_A_GetTemperatureParameters(&after);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);

    // Two records announced, one present: the header and the first record stay applied.
    Bytes c = header(2, 27, 10);
    appendComponent(c, u2_, 0.9, true);
    writeRecord("THERMO_C", c);
    EXPECT_EQ(THM_A_LoadParameters(), 0);
    THM_A_GetTemperatureParameters(&after);
    EXPECT_EQ(val(after.ambientC), 27);
    EXPECT_EQ(val(parametersOf(u2_).maxPowerW), 0.9);

    writeRecord("THERMO_C", Bytes(91, 0));
    EXPECT_EQ(THM_A_LoadParameters(), 0);

    DB_CloseDesign();
    EXPECT_EQ(THM_A_LoadParameters(), 0);
    EXPECT_EQ(THM_A_SaveParameters(), 0);
}

TEST_F(RecordsTest, AFailedSaveKeepsThePreviousRecords) {
    ASSERT_EQ(THM_A_SaveParameters(), 1);
    writeRecord("THERMO_B", header(0, 22));
    const Bytes saved = readRecord("THERMO_C");
    ComponentParameters p = parametersOf(r1_);
    p.packageType = THM_PKG_DIPP;
    p.maxPowerW = 4;
    THM_A_ComponentSet(r1_, &p);

    // Another program holds the design file's write lock: the save cannot write.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(pathText("board.qdb").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(THM_A_SaveParameters(), 0);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_EQ(readRecord("THERMO_C"), saved);
    EXPECT_EQ(readRecord("THERMO_B"), header(0, 22));
    reload();
    ASSERT_EQ(THM_A_LoadParameters(), 1);
    EXPECT_EQ(val(parametersOf(r1_).maxPowerW), 0);
}

}  // namespace
}  // namespace qor::thm::test
