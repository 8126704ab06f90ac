// A small board opened through the kernel: outline with a notch, three components (one rotated and
// mirrored, one without device), two nets whose traces hold a bend, an arc and a via.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "qor/design/builder.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"

namespace qor::kernel::testing {

// The 32-bit word at a byte offset of a record, as callers that know only offsets read it.
template <typename Record>
int32_t word(const Record& r, size_t offset) {
    int32_t w;
    std::memcpy(&w, reinterpret_cast<const char*>(&r) + offset, sizeof w);
    return w;
}

// A 100 x 100 pixel view at 1000 units per pixel around (50000, 50000).
constexpr KViewRecord kView{1000, 100, 100, 50000, 50000, 0};

// A recording surface for one test; its context is closed and the surface deleted afterwards.
class Recording {
public:
    Recording() : surface_(G_CreateRecordingSurface()) {}
    ~Recording() {
        G_CloseDC();
        G_DeleteSurface(surface_);
    }
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;
    int32_t surface() const { return surface_; }
    std::string text() const { return G_SurfaceRecording(surface_); }
    bool has(const std::string& line) const { return text().find(line) != std::string::npos; }

private:
    int32_t surface_;
};

struct Fixture {
    int32_t u1 = 0, u2 = 0, r1 = 0;
    int32_t vcc = 0, sig = 0;
    int32_t nodeU1Vcc = 0, nodeU2Vcc = 0, nodeU1Sig = 0, nodeR1Sig = 0;
    int32_t vccTrace = 0, sigTrace = 0, sigTrace2 = 0;
    int32_t so8 = 0, lm358 = 0;
};

inline design::Design buildBoard(Fixture& f) {
    using design::Point;
    design::DesignBuilder b("Fixture board");
    b.setLayerName(2, "Top");
    b.setLayerName(29, "Bottom");
    f.so8 = b.addSymbol("SO-8",
                        {{1, "1", -190500, -270000, 0}, {4, "4", 190500, -270000, 0}, {8, "8", -190500, 270000, 0}},
                        {-250000, -200000, 250000, 200000});
    const int32_t res = b.addSymbol("R0805", {{1, "1", -100000, 0, 0}, {2, "2", 100000, 0, 0}}, {-150000, -70000, 150000, 70000});
    f.lm358 = b.addDevice("LM358", "SO-8");
    f.u1 = b.addComponent("U1", f.so8, f.lm358, {2000000, 3000000});
    f.u2 = b.addComponent("U2", f.so8, f.lm358, {6000000, 3000000}, 90000, true);
    f.r1 = b.addComponent("R1", res, 0, {4000000, 5000000});
    f.vcc = b.addNet("VCC");
    f.sig = b.addNet("Sig");
    f.nodeU1Vcc = b.connect(f.vcc, f.u1, 8);
    f.nodeU2Vcc = b.connect(f.vcc, f.u2, 8);
    f.nodeU1Sig = b.connect(f.sig, f.u1, 1);
    f.nodeR1Sig = b.connect(f.sig, f.r1, 1);
    f.vccTrace = b.trace(f.vcc, 2, 50800)
                     .fromNode(f.nodeU1Vcc)
                     .bendTo({1809500, 4000000})
                     .arcTo({2809500, 5000000}, {2809500, 4000000}, true)
                     .viaTo({5000000, 5000000}, 29)
                     .toNode(f.nodeU2Vcc)
                     .number();
    f.sigTrace = b.trace(f.sig, 2, 25400).fromNode(f.nodeU1Sig).bendTo({1809500, 2000000}).number();
    f.sigTrace2 = b.trace(f.sig, 2, 25400).from({1809500, 2000000}).toNode(f.nodeR1Sig).number();
    // 100 mm x 80 mm with a notch in the top right corner.
    b.setOutline({{0, 0}, {10000000, 0}, {10000000, 7000000}, {9000000, 8000000}, {0, 8000000}});
    b.addCopperArea(f.vcc, 3, {{100000, 100000}, {900000, 100000}, {900000, 700000}});
    return b.take();
}

class KernelTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("qor_kernel_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "fixture.qdb").string();
        std::string error;
        ASSERT_TRUE(design::DesignFile::create(path_, buildBoard(f_), error)) << error;
        ASSERT_EQ(DB_OpenDesign(path_.c_str()), 1) << DB_LastError();
    }
    void TearDown() override {
        DB_CloseDesign();
        std::filesystem::remove_all(dir_);
    }
    void reopen() {
        ASSERT_EQ(DB_CloseDesign(), 1);
        ASSERT_EQ(DB_OpenDesign(path_.c_str()), 1) << DB_LastError();
    }

    std::filesystem::path dir_;
    std::string path_;
    Fixture f_;
};

}  // namespace qor::kernel::testing
