#include "qor/kernel/help.h"

#include <gtest/gtest.h>

#include <string>

#include "qor/kernel/kernel.h"

namespace {

TEST(SystemTables, WordsAreSharedInPlaceAndOutOfRangeTablesAreNull) {
    int32_t* help = E_SysTable(12);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help[0], 0) << "the help switch starts off";
    help[0] = 1;
    EXPECT_EQ(E_SysTable(12)[0], 1);
    EXPECT_EQ(E_SysTable(17)[0], 0) << "tables are separate";
    help[0] = 0;
    EXPECT_EQ(E_SysTable(-1), nullptr);
    EXPECT_EQ(E_SysTable(32), nullptr);
}

TEST(ContextHelp, TopicsReachTheInstalledDisplayOnly) {
    EXPECT_EQ(H_DispTopic(0, "/srv/Qortherm.HLP", 3), 0) << "no display installed";
    std::string file;
    int32_t topic = -1;
    qor::kernel::setHelpDisplay([&](int32_t, const std::string& f, int32_t t) {
        file = f;
        topic = t;
    });
    EXPECT_EQ(H_DispTopic(0, "/srv/Qortherm.HLP", 3), 1);
    EXPECT_EQ(file, "/srv/Qortherm.HLP");
    EXPECT_EQ(topic, 3);
    EXPECT_EQ(H_DispTopic(0, nullptr, 0), 1);
    EXPECT_EQ(file, "");
    qor::kernel::setHelpDisplay({});
    EXPECT_EQ(H_DispTopic(0, "x", 1), 0);
}

}  // namespace
