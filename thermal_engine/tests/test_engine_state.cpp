// Engine state: memory accounting, the board-model delete, the error state.
#include "test_support.h"

namespace qor::thm::test {
namespace {

using StateTest = EngineTest;

TEST_F(StateTest, UsedMemoryIsKilobytesRoundedUp) {
    struct Case {
        std::size_t bytes;
        std::int32_t kilobytes;
    };
    for (const Case& c : std::vector<Case>{{1, 1},
                                           {1023, 1},
                                           {1024, 1},
                                           {1025, 2},
                                           {2048, 2},
                                           {2049, 3},
                                           {kTemperatureGridBytes, 2930}}) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(THM_A_UsedMemory(), 0);
        MemoryBlock block;
        ASSERT_TRUE(allocateBlock(engine(), block, c.bytes));
        engine().temperatureGrid = block;
        EXPECT_EQ(THM_A_UsedMemory(), c.kilobytes);
        engine().deviceNamesUsedBytes = static_cast<std::int32_t>(c.bytes);
        EXPECT_EQ(THM_A_DeviceStrings(), c.kilobytes);
        THM_A_DeleteDataBase();
        EXPECT_EQ(THM_A_DeviceStrings(), 0);
    }
}

TEST_F(StateTest, ResizingReplacesTheCountedSize) {
    EngineState& s = engine();
    ASSERT_TRUE(allocateBlock(s, s.deviceNameStore, kDeviceNameStoreBytes));
    ASSERT_TRUE(allocateBlock(s, s.outline, 100 * kOutlinePointBytes));
    EXPECT_EQ(s.usedBytes, 32000 + 800);
    static_cast<unsigned char*>(s.deviceNameStore.data)[10] = 7;
    ASSERT_TRUE(resizeBlock(s, s.deviceNameStore, 11));
    EXPECT_EQ(s.usedBytes, 11 + 800);
    EXPECT_EQ(static_cast<unsigned char*>(s.deviceNameStore.data)[10], 7);
    ASSERT_TRUE(resizeBlock(s, s.outline, 3 * kOutlinePointBytes));
    EXPECT_EQ(THM_A_UsedMemory(), 1);
    MemoryBlock none;
    EXPECT_FALSE(resizeBlock(s, none, 10));
}

TEST_F(StateTest, DeleteDataBaseDiscardsOnlyTheBoardModel) {
    EngineState& s = engine();
    for (MemoryBlock* block : {&s.outline, &s.componentSlots, &s.deviceNameStore, &s.slotIndexMap,
                               &s.temperatureGrid, &s.boardMask, &s.rowTable})
        ASSERT_TRUE(allocateBlock(s, *block, 64));
    s.outlineCount = 4;
    s.componentCount = 3;
    s.deviceNamesUsedBytes = 20;
    setError(s, 12, 6);
    const std::string lib = makeLibrary("LIB.TAL", {device("NE555", THM_PKG_DIPP, 0, 1, 2, 3)});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);

    THM_A_DeleteDataBase();
    THM_A_DeleteDataBase();
    for (const MemoryBlock* block :
         {&s.outline, &s.componentSlots, &s.deviceNameStore, &s.slotIndexMap, &s.temperatureGrid,
          &s.boardMask, &s.rowTable})
        EXPECT_EQ(block->data, nullptr);
    EXPECT_EQ(s.outlineCount, 0);
    EXPECT_EQ(s.componentCount, 0);
    EXPECT_EQ(THM_A_DeviceStrings(), 0);
    EXPECT_EQ(THM_A_UsedMemory(), 0);
    EXPECT_EQ(THM_A_ErrorCode(), 12);
    EXPECT_EQ(THM_A_ErrorFunc(), 6);
    EXPECT_EQ(selectedNames(), std::vector<std::string>{"NE555"});
}

TEST_F(StateTest, TheLastFailureOutlivesSuccessfulCalls) {
    setError(engine(), 3, 3);
    const std::string lib = makeLibrary("LIB.TAL", {});
    ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0);
    ASSERT_EQ(THM_L_LibraryClose(), 0);
    EXPECT_EQ(THM_L_LibrarySelect("/nonexistent/X.TAL"), THM_LIB_NO_FILE);
    THM_A_DeleteDataBase();
    EXPECT_EQ(THM_A_ErrorCode(), 3);
    EXPECT_EQ(THM_A_ErrorFunc(), 3);
}

TEST(LibraryPaths, FolderSlashNameDotTal) {
    EXPECT_EQ(libraryPath("/data/libs", "POWER"), "/data/libs/POWER.TAL");
    EXPECT_EQ(libraryPath("", "POWER"), "/POWER.TAL");
}

}  // namespace
}  // namespace qor::thm::test
