#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "qor/design/builder.h"
#include "qor/design/design_file.h"

namespace fs = std::filesystem;
using namespace qor::design;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class DesignFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qor_design_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "board.qdb").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    static Design sample() {
        DesignBuilder b("Sample board");
        b.setLayerName(2, "Top");
        const int32_t sym = b.addSymbol("SO-8",
                                        {{1, "1", -190500, -250000, 0}, {2, "2", -63500, -250000, 0},
                                         {8, "8", -190500, 250000, 0}},
                                        {-250000, -200000, 250000, 200000});
        const int32_t dev = b.addDevice("LM358", "SO-8");
        const int32_t u1 = b.addComponent("U1", sym, dev, {2000000, 3000000}, 90000, true);
        const int32_t net = b.addNet("VCC");
        const int32_t n1 = b.connect(net, u1, 1);
        const int32_t n2 = b.connect(net, u1, 8);
        b.trace(net, 2, 25400).fromNode(n1).bendTo({2500000, 2000000}).arcTo({3000000, 2500000}, {3000000, 2000000}, false)
            .viaTo({3000000, 2800000}, 29).toNode(n2);
        b.setOutline({{0, 0}, {10000000, 0}, {10000000, 8000000}, {0, 8000000}});
        b.addCopperArea(net, 3, {{100000, 100000}, {900000, 100000}, {900000, 700000}});
        Item text;
        text.kind = kItemText;
        text.mask = 4;
        text.link = 7;
        text.text = "25.0 \xB0" "C";
        b.addLayoutText(text);
        return b.take();
    }

    fs::path dir_;
    std::string path_;
};

void expectSameModel(const Design& a, const Design& b) {
    EXPECT_EQ(a.name, b.name);
    ASSERT_EQ(a.layers.size(), b.layers.size());
    EXPECT_EQ(a.layers[2].name, b.layers[2].name);
    ASSERT_EQ(a.components.size(), b.components.size());
    EXPECT_EQ(a.components[0].x, b.components[0].x);
    EXPECT_EQ(a.components[0].angle, b.components[0].angle);
    EXPECT_EQ(a.components[0].flags, b.components[0].flags);
    ASSERT_EQ(a.symbols.size(), b.symbols.size());
    for (size_t i = 0; i < a.symbols.size(); ++i) {
        EXPECT_EQ(a.symbols[i].number, b.symbols[i].number);
        EXPECT_EQ(a.symbols[i].pads.size(), b.symbols[i].pads.size());
        EXPECT_EQ(a.symbols[i].items.size(), b.symbols[i].items.size());
    }
    ASSERT_EQ(a.traces.size(), b.traces.size());
    for (size_t t = 0; t < a.traces.size(); ++t) {
        ASSERT_EQ(a.traces[t].points.size(), b.traces[t].points.size());
        for (size_t i = 0; i < a.traces[t].points.size(); ++i) {
            const auto &p = a.traces[t].points[i], &q = b.traces[t].points[i];
            EXPECT_EQ(std::tie(p.flags, p.node, p.layer, p.width, p.x, p.y, p.centreDx, p.centreDy, p.radius),
                      std::tie(q.flags, q.node, q.layer, q.width, q.x, q.y, q.centreDx, q.centreDy, q.radius));
        }
    }
    EXPECT_EQ(a.nodes.size(), b.nodes.size());
    EXPECT_EQ(a.vias.size(), b.vias.size());
    ASSERT_EQ(a.layoutTexts.size(), b.layoutTexts.size());
    EXPECT_EQ(a.layoutTexts[0].text, b.layoutTexts[0].text);
    EXPECT_EQ(a.layoutTexts[0].link, b.layoutTexts[0].link);
}

TEST_F(DesignFileTest, ModelSurvivesCreateSaveAndReopen) {
    const Design original = sample();
    std::string error;
    {
        auto file = DesignFile::create(path_, original, error);
        ASSERT_TRUE(file) << error;
    }
    auto file = DesignFile::open(path_, error);
    ASSERT_TRUE(file) << error;
    Design loaded;
    ASSERT_TRUE(file->load(loaded, error)) << error;
    expectSameModel(original, loaded);

    loaded.components[0].x += 100;
    loaded.nets[0].name = "VDD";
    ASSERT_TRUE(file->save(loaded, error)) << error;
    file.reset();
    file = DesignFile::open(path_, error);
    Design again;
    ASSERT_TRUE(file->load(again, error));
    EXPECT_EQ(again.components[0].x, original.components[0].x + 100);
    EXPECT_EQ(again.nets[0].name, "VDD");
}

TEST_F(DesignFileTest, CreateRefusesAnExistingFile) {
    std::ofstream(path_) << "precious";
    std::string error;
    EXPECT_FALSE(DesignFile::create(path_, sample(), error));
    EXPECT_NE(error.find("already exists"), std::string::npos);
    EXPECT_EQ(slurp(path_), "precious");
}

TEST_F(DesignFileTest, RecordsReadWriteGrowAndShrink) {
    std::string error;
    auto file = DesignFile::create(path_, sample(), error);
    ASSERT_TRUE(file);
    const int32_t a = file->createRecord("THERMO_A");
    ASSERT_GT(a, 0);
    EXPECT_EQ(file->createRecord("THERMO_A"), 0) << "names are unique";
    EXPECT_EQ(file->findRecord("THERMO_A"), a);
    EXPECT_EQ(file->findRecord("thermo_a"), 0) << "record names match exactly";
    EXPECT_EQ(file->recordLength(a), 0);

    ASSERT_TRUE(file->writeRecord(a, 4, "abcd", 4));  // grows, zero-filled before
    EXPECT_EQ(file->recordLength(a), 8);
    char buf[16] = {};
    EXPECT_EQ(file->readRecord(a, 0, buf, sizeof buf), 8u);
    EXPECT_EQ(std::string(buf, 8), std::string("\0\0\0\0abcd", 8));
    ASSERT_TRUE(file->writeRecord(a, 0, "xy", 2));  // in place
    EXPECT_EQ(file->readRecord(a, 0, buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), std::string("xy\0", 3));
    EXPECT_EQ(file->readRecord(a, 6, buf, 10), 2u) << "short read at the end";
    EXPECT_EQ(file->readRecord(a, 8, buf, 10), 0u);
    EXPECT_EQ(file->readRecord(a, 100, buf, 10), 0u);

    ASSERT_TRUE(file->setRecordLength(a, 3));
    EXPECT_EQ(file->recordLength(a), 3);
    ASSERT_TRUE(file->setRecordLength(a, 5));
    EXPECT_EQ(file->readRecord(a, 0, buf, 5), 5u);
    EXPECT_EQ(std::string(buf, 5), std::string("xy\0\0\0", 5));

    EXPECT_TRUE(file->deleteRecord(a));
    EXPECT_FALSE(file->deleteRecord(a));
    EXPECT_EQ(file->findRecord("THERMO_A"), 0);
    EXPECT_EQ(file->recordLength(a), -1);
    EXPECT_FALSE(file->writeRecord(a, 0, "x", 1));
}

TEST_F(DesignFileTest, SavingTheModelLeavesRecordsAlone) {
    std::string error;
    auto file = DesignFile::create(path_, sample(), error);
    const int32_t r = file->createRecord("#EMABP01");
    ASSERT_TRUE(file->writeRecord(r, 0, "12345678", 8));
    Design d = sample();
    d.name = "renamed";
    ASSERT_TRUE(file->save(d, error));
    char buf[8];
    EXPECT_EQ(file->readRecord(r, 0, buf, 8), 8u);
    EXPECT_EQ(std::string(buf, 8), "12345678");
}

TEST_F(DesignFileTest, FailedWriteKeepsPreviousContentAndOtherRecords) {
    std::string error;
    auto file = DesignFile::create(path_, sample(), error);
    const int32_t a = file->createRecord("THERMO_C");
    const int32_t b = file->createRecord("THERMO_B");
    const std::string before(1000, 'a');
    ASSERT_TRUE(file->writeRecord(a, 0, before.data(), before.size()));
    ASSERT_TRUE(file->writeRecord(b, 0, "other", 5));

    // Cap the database at its present size: a write that needs more pages fails.
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(file->connection(), "PRAGMA page_count", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    const std::string cap = "PRAGMA max_page_count = " + std::to_string(sqlite3_column_int(st, 0));
    sqlite3_finalize(st);
    ASSERT_EQ(sqlite3_exec(file->connection(), cap.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);

    const std::string big(200000, 'b');
    EXPECT_FALSE(file->writeRecord(a, 500, big.data(), big.size()));
    EXPECT_FALSE(file->setRecordLength(a, 300000));
    file.reset();

    file = DesignFile::open(path_, error);
    ASSERT_TRUE(file) << error;
    std::string got(2000, '\0');
    EXPECT_EQ(file->readRecord(file->findRecord("THERMO_C"), 0, got.data(), got.size()), 1000u);
    EXPECT_EQ(got.substr(0, 1000), before);
    char other[5];
    EXPECT_EQ(file->readRecord(file->findRecord("THERMO_B"), 0, other, 5), 5u);
    EXPECT_EQ(std::string(other, 5), "other");
}

TEST_F(DesignFileTest, KillDuringWritesLeavesEachRecordWhole) {
    std::string error;
    {
        auto file = DesignFile::create(path_, sample(), error);
        ASSERT_TRUE(file);
        for (const char* name : {"R1", "R2", "R3"}) {
            const int32_t r = file->createRecord(name);
            const std::string fill(4096, '0');
            ASSERT_TRUE(file->writeRecord(r, 0, fill.data(), fill.size()));
        }
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string e;
        auto file = DesignFile::open(path_, e);
        if (!file) ::_exit(2);
        for (int round = 1;; ++round) {
            for (const char* name : {"R1", "R2", "R3"}) {
                // Alternate between growing writes and cutting back followed by in-place writes,
                // each of one uniform byte: any whole state is uniform.
                const int32_t r = file->findRecord(name);
                const std::string fill(round % 2 ? 8192 : 4096, static_cast<char>('0' + round % 10));
                if (round % 2 == 0) file->setRecordLength(r, 4096);
                file->writeRecord(r, 0, fill.data(), fill.size());
            }
        }
    }
    ::usleep(300000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    auto file = DesignFile::open(path_, error);
    ASSERT_TRUE(file) << error;
    for (const char* name : {"R1", "R2", "R3"}) {
        const int32_t r = file->findRecord(name);
        const auto length = file->recordLength(r);
        ASSERT_TRUE(length == 4096 || length == 8192) << name << " " << length;
        std::string got(static_cast<size_t>(length), '\0');
        ASSERT_EQ(file->readRecord(r, 0, got.data(), got.size()), got.size());
        EXPECT_EQ(got.find_first_not_of(got[0]), std::string::npos) << name << " holds a torn write";
    }
}

TEST_F(DesignFileTest, BadFilesAreRefusedAndNeverModified) {
    std::string error;
    { ASSERT_TRUE(DesignFile::create(path_, sample(), error)); }
    const std::string good = slurp(path_);

    struct Case {
        const char* name;
        std::string content;  // empty: the file is absent
        const char* message;
    };
    std::string newer = good;
    newer[63] = 9;  // user_version, big-endian at 60
    std::string foreign = good;
    foreign[71] ^= 0x55;  // application id, big-endian at 68
    const Case cases[] = {
        {"missing.qdb", "", "not found"},
        {"empty.qdb", std::string(), "not found"},
        {"text.qdb", "hello, this is no design at all; hello, this is no design at all; hello, this is no design", "truncated"},
        {"notdb.qdb", std::string(4096, 'x'), "Not a Qor32 design"},
        {"truncated.qdb", good.substr(0, good.size() / 2), "truncated"},
        {"header.qdb", good.substr(0, 60), "truncated"},
        {"newer.qdb", newer, "newer version"},
        {"foreign.qdb", foreign, "foreign"},
    };
    for (const Case& c : cases) {
        const std::string path = (dir_ / c.name).string();
        if (!c.content.empty()) std::ofstream(path, std::ios::binary) << c.content;
        EXPECT_FALSE(DesignFile::open(path, error)) << c.name;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
        if (!c.content.empty()) {
            EXPECT_EQ(slurp(path), c.content) << c.name << " was modified";
        }
        EXPECT_FALSE(fs::exists(path + "-wal")) << c.name;
    }

    // A database of another program: a sound SQLite file without our id.
    const std::string other = (dir_ / "other.qdb").string();
    sqlite3* db = nullptr;
    sqlite3_open(other.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const std::string otherBytes = slurp(other);
    EXPECT_FALSE(DesignFile::open(other, error));
    EXPECT_NE(error.find("foreign"), std::string::npos) << error;
    EXPECT_EQ(slurp(other), otherBytes);
}

}  // namespace
