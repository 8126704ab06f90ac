#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "qor/localtext/localtext.h"

namespace {

std::string writeCatalog(const std::string& name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() / ("qor_localtext_" + name);
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

TEST(LocalText, ReadsNumberedTextsAndSkipsOtherLines) {
    const auto path = writeCatalog("en.txt",
                                   "# comment\r\n"
                                   "991455=Grid step changed\r\n"
                                   "\r\n"
                                   "  10008=L_ReadComponent (Qor32's kernel)\n"
                                   "nonsense line\n"
                                   "12=two\\nlines\n"
                                   "13=a = b\n"
                                   "14=");
    ASSERT_EQ(L32_LoadCatalog(path.c_str()), 5);
    EXPECT_STREQ(L32_Object_GetMessage(991455), "Grid step changed");
    EXPECT_STREQ(L32_Object_GetMessage(10008), "L_ReadComponent (Qor32's kernel)");
    EXPECT_STREQ(L32_Object_GetMessage(12), "two\nlines");
    EXPECT_STREQ(L32_Object_GetMessage(13), "a = b");
    EXPECT_STREQ(L32_Object_GetMessage(14), "");
    EXPECT_EQ(L32_Object_GetMessage(99), nullptr);
}

TEST(LocalText, MissingFileKeepsTheCurrentCatalog) {
    const auto path = writeCatalog("keep.txt", "1=one\n");
    ASSERT_EQ(L32_LoadCatalog(path.c_str()), 1);
    EXPECT_EQ(L32_LoadCatalog("/nonexistent/catalog.txt"), -1);
    EXPECT_EQ(L32_LoadCatalog(nullptr), -1);
    EXPECT_STREQ(L32_Object_GetMessage(1), "one");
}

TEST(LocalText, ShippedCatalogsHaveTheSameNumbers) {
    const std::string dir = std::string(QOR_SOURCE_DIR) + "/examples/lang/";
    ASSERT_GT(L32_LoadCatalog((dir + "en.txt").c_str()), 0);
    std::vector<int32_t> numbers;
    std::ifstream in(dir + "en.txt");
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') numbers.push_back(std::stoi(line));
    ASSERT_GT(L32_LoadCatalog((dir + "de.txt").c_str()), 0);
    for (const int32_t n : numbers) EXPECT_NE(L32_Object_GetMessage(n), nullptr) << n;
}

}  // namespace
