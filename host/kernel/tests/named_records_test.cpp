// Named records of the design file through the F_ calls.
#include <string>

#include "kernel_fixture.h"

namespace qor::kernel::testing {
namespace {

TEST_F(KernelTest, RecordWriteGrowsAndReadsShortAtTheEnd) {
    const int32_t h = F_CreateFile(0, "#EMABP01");
    ASSERT_GT(h, 0);
    EXPECT_EQ(F_CreateFile(0, "#EMABP01"), 0) << "an existing name is not appended to";
    const double values[3] = {1.5e-3, 35e-6, 4.5};
    for (const double& v : values) ASSERT_EQ(F_Write(h, &v, 8), 8);
    EXPECT_EQ(F_GetLength(h), 24);

    const int32_t found = OM_FindName(DB_FileMap(), "#EMABP01");
    ASSERT_EQ(found, h) << "a found object is an F_ handle";
    EXPECT_EQ(F_Seek(found, 0, 0), 0);
    double back[4] = {};
    EXPECT_EQ(F_Read(found, back, 16), 16);
    EXPECT_EQ(F_Read(found, back + 2, 16), 8) << "short read at the end";
    EXPECT_EQ(F_Read(found, back + 3, 16), 0);
    EXPECT_EQ(back[0], values[0]);
    EXPECT_EQ(back[2], values[2]);
    EXPECT_EQ(F_Seek(h, -8, 2), 16);
    EXPECT_EQ(F_Seek(h, 4, 1), 20);
    EXPECT_EQ(F_Seek(h, -100, 1), -1);
}

TEST_F(KernelTest, SetLengthKeepsThePosition) {
    const int32_t h = F_CreateFile(0, "THERMO_C");
    ASSERT_EQ(F_SetLength(h, 92 + 72 * 3), 1);
    EXPECT_EQ(F_GetLength(h), 92 + 72 * 3);
    const std::string header(92, 'h');
    ASSERT_EQ(F_Write(h, header.data(), 92), 92) << "writes start at 0 after SetLength";
    EXPECT_EQ(F_GetLength(h), 92 + 72 * 3);
    EXPECT_EQ(F_SetLength(h, -1), 0);
    EXPECT_EQ(F_SetLength(9999, 10), 0);
}

TEST_F(KernelTest, RecordsPersistAcrossReopeningAndDeleteRemoves) {
    const int32_t a = F_CreateFile(0, "THERMO_A");
    const int32_t b = F_CreateFile(0, "THERMO_B");
    ASSERT_EQ(F_Write(a, "alpha", 5), 5);
    ASSERT_EQ(F_Write(b, "beta", 4), 4);
    reopen();
    int32_t cursor = OM_GetFirst(DB_FileMap());
    std::vector<std::string> names;
    while (const int32_t r = OM_SearchMask(DB_FileMap(), &cursor, 0, 0))
        names.push_back(O_GetName(OM_Object(DB_FileMap(), r)));
    EXPECT_EQ(names, (std::vector<std::string>{"THERMO_A", "THERMO_B"}));

    const int32_t ra = OM_FindName(DB_FileMap(), "THERMO_A");
    char buf[8] = {};
    EXPECT_EQ(F_Read(ra, buf, 8), 5);
    EXPECT_EQ(std::string(buf, 5), "alpha");
    EXPECT_EQ(OM_Delete(DB_FileMap(), ra), 1);
    EXPECT_EQ(OM_FindName(DB_FileMap(), "THERMO_A"), 0);
    EXPECT_EQ(F_Read(ra, buf, 8), 0);
    EXPECT_EQ(F_Write(ra, "x", 1), 0);
    EXPECT_EQ(F_GetLength(ra), -1);
    EXPECT_EQ(OM_Delete(DB_FileMap(), ra), 0);
    EXPECT_EQ(OM_Delete(DB_NetMap(), f_.vcc), 0) << "only records are deleted";
    reopen();
    EXPECT_EQ(OM_FindName(DB_FileMap(), "THERMO_A"), 0);
    EXPECT_GT(OM_FindName(DB_FileMap(), "THERMO_B"), 0) << "deleting one record touches no other";
}

TEST_F(KernelTest, BadRecordArguments) {
    const int32_t h = F_CreateFile(0, "R");
    EXPECT_EQ(F_Write(h, nullptr, 4), 0);
    EXPECT_EQ(F_Write(h, "x", 0), 0);
    EXPECT_EQ(F_Write(h, "x", -3), 0);
    EXPECT_EQ(F_Read(h, nullptr, 4), 0);
    EXPECT_EQ(F_Write(0, "x", 1), 0);
    EXPECT_EQ(F_CreateFile(0, nullptr), 0);
    EXPECT_EQ(F_CreateFile(0, ""), 0);
}

}  // namespace
}  // namespace qor::kernel::testing
