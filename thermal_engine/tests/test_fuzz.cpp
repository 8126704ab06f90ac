// Random and damaged input for the library and compiler calls: codes, never a crash or a read
// out of bounds (run it in the sanitizer build).
#include <random>

#include "test_support.h"

namespace qor::thm::test {
namespace {

using FuzzTest = EngineTest;

class Random {
  public:
    explicit Random(unsigned seed) : gen_(seed) {}
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }
    unsigned char byte() { return static_cast<unsigned char>(between(0, 255)); }
    Bytes bytes(int n) {
        Bytes b(static_cast<std::size_t>(n));
        for (auto& c : b) c = byte();
        return b;
    }
    std::string text(const std::string& alphabet, int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += alphabet[static_cast<std::size_t>(between(0, int(alphabet.size()) - 1))];
        return s;
    }

  private:
    std::mt19937 gen_;
};

// A library file as random as the case asks for.
Bytes randomLibrary(Random& rnd) {
    switch (rnd.between(0, 3)) {
        case 0:
            return rnd.bytes(rnd.between(0, 300));
        case 1: {  // a good header with any count, followed by random records
            Bytes b = libraryBytes({}, 0);
            const std::int32_t count =
                rnd.between(0, 1) ? rnd.between(-3, 2100) : rnd.between(0, 8);
            std::memcpy(b.data() + kLibraryCountOffset, &count, sizeof count);
            const Bytes tail = rnd.bytes(48 * rnd.between(0, 10) + rnd.between(0, 47));
            b.insert(b.end(), tail.begin(), tail.end());
            return b;
        }
        case 2: {  // a good library cut anywhere
            std::vector<DeviceRecord> records;
            for (int i = rnd.between(0, 6); i > 0; --i) {
                DeviceRecord r;
                const Bytes raw = rnd.bytes(sizeof r);
                std::memcpy(&r, raw.data(), sizeof r);
                records.push_back(r);
            }
            Bytes b = libraryBytes(records);
            b.resize(static_cast<std::size_t>(rnd.between(0, static_cast<int>(b.size()))));
            return b;
        }
        default: {  // a good library with a few bytes changed
            Bytes b = libraryBytes({device("A", 1, 1, 1, 1, 1), device("B", 2, 2, 2, 2, 2)});
            for (int i = rnd.between(1, 4); i > 0; --i)
                b[static_cast<std::size_t>(rnd.between(0, static_cast<int>(b.size()) - 1))] =
                    rnd.byte();
            return b;
        }
    }
}

TEST_F(FuzzTest, DamagedLibraryFiles) {
    Random rnd(20261211);
    const std::string lib = pathText("FUZZ.TAL");
    const std::string names = "AaBbZz09_- \t";
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        writeBytes(lib, randomLibrary(rnd));
        const std::int32_t code = THM_L_LibrarySelect(lib.c_str());
        if (code != 0) {
            EXPECT_TRUE(code == THM_LIB_NOT_A_LIBRARY || code == THM_LIB_BAD_VERSION) << code;
            continue;
        }
        // Whatever order the records came in, every call stays inside the table.
        for (int i = 0; i < 20; ++i) {
            const std::string name = rnd.text(names, rnd.between(0, 20));
            DeviceRecord r = device("", 0, 1, 2, 3, 4);
            switch (rnd.between(0, 3)) {
                case 0:
                    THM_L_DeviceSearch(name.c_str(), &r);
                    break;
                case 1:
                    THM_L_DeviceCreate(name.c_str(), &r);
                    break;
                case 2:
                    THM_L_DeviceChange(name.c_str(), &r);
                    break;
                default:
                    THM_L_DeviceDelete(name.c_str());
                    break;
            }
        }
        const std::size_t count = selectedNames().size();
        ASSERT_EQ(THM_L_LibraryClose(), 0);
        ASSERT_EQ(THM_L_LibrarySelect(lib.c_str()), 0) << "a written library reads back";
        EXPECT_EQ(selectedNames().size(), count);
        THM_L_LibraryFree();
    }
}

TEST_F(FuzzTest, RandomSourceText) {
    Random rnd(4242);
    makeProfile({});
    const std::string alphabet = std::string("ABab01.5e+-  \t\t\r") + '\0' + "SOPDIPPC3";
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        std::string source;
        for (int line = rnd.between(0, 12); line > 0; --line) {
            const int shape = rnd.between(0, 9);
            if (shape == 0) {
                source += rnd.text(alphabet, rnd.between(240, 600));
            } else if (shape < 5) {
                source += rnd.text(alphabet, rnd.between(0, 40));
            } else {
                source += rnd.text("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-", rnd.between(1, 60)) +
                          " " + (rnd.between(0, 1) ? "SOP" : rnd.text(alphabet, 3));
                for (int f = rnd.between(0, 5); f > 0; --f)
                    source += " " + rnd.text(alphabet, rnd.between(0, 8));
            }
            if (rnd.between(0, 10) != 0) source += '\n';
        }
        writeText(path("SRC.DAT"), source);
        writeText(path("SRC.TAL"), "");
        ASSERT_EQ(THM_C_DataCreate(pathText("SRC.DAT").c_str(), "SRC"), 0);
        std::int32_t result;
        int calls = 0;
        do {
            result = THM_C_DataCompile();
        } while (result == 0 && ++calls < 100000);
        EXPECT_TRUE(result == THM_COMPILE_SHORT_LINE || result == THM_LIB_BAD_DEVICE_NAME ||
                    result == THM_COMPILE_END)
            << result;
        ASSERT_EQ(THM_C_DataClose(), 0);
        ASSERT_EQ(THM_L_LibrarySelect(pathText("SRC.TAL").c_str()), 0);
        THM_L_LibraryFree();
    }
}

}  // namespace
}  // namespace qor::thm::test
