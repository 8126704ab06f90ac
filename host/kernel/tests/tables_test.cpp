// System tables filled when a design opens, E_MemCopy, and the active layer.
#include <array>
#include <cstring>
#include <string>

#include "kernel_fixture.h"

namespace qor::kernel::testing {
namespace {

uint32_t visibleMask() {
    const int32_t* t = E_SysTable(11);
    return (static_cast<uint32_t>(t[1]) << 16) | (static_cast<uint32_t>(t[0]) & 0xFFFFu);
}

TEST_F(KernelTest, OpeningFillsLayerCodesGridSnapAngleAndZoomTables) {
    std::string codes(reinterpret_cast<const char*>(E_SysTable(2)), 32);
    EXPECT_EQ(codes, "0123456789ABCDEFGHIJKLMNOPQRSTUV")
        << "one character per layer, layer n at byte n";

    for (const int32_t table : {5, 6}) {
        const int32_t* t = E_SysTable(table);
        const std::array<int32_t, 14> expected = {t[0], 2540, 12700, 25400, 63500, 127000, 254000,
                                                  0,    1000, 5000,  10000, 25000, 50000,  100000};
        for (size_t i = 1; i < expected.size(); ++i)
            EXPECT_EQ(t[i], expected[i]) << table << "[" << i << "]";
        EXPECT_TRUE((t[0] >= 1 && t[0] <= 6) || (t[0] >= 8 && t[0] <= 13))
            << "word 0 selects an entry";
        for (size_t i = 14; i < 32; ++i) EXPECT_EQ(t[i], 0);
    }
    EXPECT_EQ(E_SysTable(5)[E_SysTable(5)[0]], 127000) << "the grid starts at 50 mil";
    EXPECT_EQ(E_SysTable(6)[E_SysTable(6)[0]], 63500) << "the snap starts at 25 mil";
    EXPECT_EQ(E_SysTable(7)[0], 45000);

    const int32_t* zooms = E_SysTable(21);
    ASSERT_GE(zooms[0], 1);
    ASSERT_LE(zooms[0], 31);
    EXPECT_EQ(zooms[zooms[0]], 12700);
    for (const int32_t first : {1, 17}) {
        for (int32_t i = first; i < first + 15; ++i) {
            EXPECT_GE(zooms[i], 100) << i;
            EXPECT_LE(zooms[i], 2540000) << i;
            if (i > first) {
                EXPECT_GT(zooms[i], zooms[i - 1]) << "zooms grow: " << i;
            }
        }
    }
    EXPECT_EQ(zooms[16], 0);
    EXPECT_EQ(zooms[5], 2540) << "1 mil per pixel";
    EXPECT_EQ(zooms[17 + 9], 100000) << "1 mm per pixel";
}

TEST_F(KernelTest, LayersThatCarrySomethingStartVisible) {
    // Outline (0), top copper and components (2), the copper area (3), bottom copper and U2 (29).
    EXPECT_EQ(visibleMask(), (1u << 0) | (1u << 2) | (1u << 3) | (1u << 29));
    E_SysTable(11)[0] = 0;
    reopen();
    EXPECT_EQ(visibleMask() & 0xFFFFu, 0b1101u)
        << "a reopened design starts from its own layers again";
    EXPECT_EQ(E_SysTable(12)[0], 0) << "tables the design does not fill are left alone";
}

TEST(KernelTables, EmptyDesignShowsEveryLayerAndActivatesTheComponentSide) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("qor_tables_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / "empty.qdb").string();
    ASSERT_EQ(DB_CreateDesign(path.c_str(), "Empty"), 1) << DB_LastError();
    EXPECT_EQ(visibleMask(), 0xFFFFFFFFu);
    EXPECT_EQ(DB_ActiveLayer(), 2);
    DB_CloseDesign();
    EXPECT_EQ(DB_ActiveLayer(), 0) << "no design, no layer";

    design::DesignBuilder b("Inner only");
    const int32_t net = b.addNet("N");
    b.trace(net, 5, 25400).from({0, 0}).bendTo({100000, 0});
    b.trace(net, 3, 25400).from({0, 0}).bendTo({0, 100000});
    std::string error;
    const auto inner = (dir / "inner.qdb").string();
    ASSERT_TRUE(design::DesignFile::create(inner, b.take(), error)) << error;
    ASSERT_EQ(DB_OpenDesign(inner.c_str()), 1) << DB_LastError();
    EXPECT_EQ(DB_ActiveLayer(), 3) << "the lowest copper layer in use";
    EXPECT_EQ(visibleMask(), (1u << 3) | (1u << 5));
    DB_CloseDesign();
    std::filesystem::remove_all(dir);
}

TEST_F(KernelTest, ActiveLayerIsTheComponentSide) {
    EXPECT_EQ(DB_ActiveLayer(), 2);
}

TEST(KernelTables, MemCopyMovesBytesBetweenBuffersAndTables) {
    int32_t* visibility = E_SysTable(11);
    const int32_t saved[2] = {visibility[0], visibility[1]};
    const int32_t words[2] = {0x00FF, 0x2000};
    EXPECT_EQ(E_MemCopy(visibility, words, 8), 8);
    EXPECT_EQ(visibility[0], 0x00FF);
    EXPECT_EQ(visibility[1], 0x2000);
    int32_t back[2] = {};
    EXPECT_EQ(E_MemCopy(back, visibility, 8), 8);
    EXPECT_EQ(back[1], 0x2000);
    E_MemCopy(visibility, saved, 8);

    char text[8] = "abcdefg";
    EXPECT_EQ(E_MemCopy(text + 1, text, 4), 4) << "overlapping copies keep their bytes";
    EXPECT_STREQ(text, "aabcdfg");
    struct Case {
        void* destination;
        const void* source;
        int32_t bytes;
    } nothing[] = {{nullptr, words, 4}, {back, nullptr, 4}, {back, words, 0}, {back, words, -8}};
    for (const auto& c : nothing) {
        back[0] = 7;
        EXPECT_EQ(E_MemCopy(c.destination, c.source, c.bytes), 0) << c.bytes;
        EXPECT_EQ(back[0], 7);
    }
}

}  // namespace
}  // namespace qor::kernel::testing
