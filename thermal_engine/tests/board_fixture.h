// Boards for the engine tests: a design built in code, written to a design file in the scratch
// folder and opened through the kernel, as the host has it open when the engine loads it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "board_model.h"
#include "qor/design/builder.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"
#include "test_support.h"

namespace qor::thm::test {

using design::DesignBuilder;
using design::Point;

inline constexpr std::int32_t kMm = 100000;

// A copy of a value: fields of the 4-byte packed records may not be bound to references (the
// test macros take their arguments by reference).
template <class T>
T val(T value) {
    return value;
}

// Corners of a rectangle from (0, 0), in millimetres.
inline std::vector<Point> rectangleMm(std::int32_t widthMm, std::int32_t heightMm) {
    return {{0, 0}, {widthMm * kMm, 0}, {widthMm * kMm, heightMm * kMm}, {0, heightMm * kMm}};
}

// A two-pad package whose pads lie halfW inside a body of 2·halfW by 2·halfH.
inline std::int32_t addPackage(DesignBuilder& b, const std::string& name, std::int32_t halfW,
                               std::int32_t halfH) {
    return b.addSymbol(name, {{1, "1", -halfW / 2, 0, 0}, {2, "2", halfW / 2, 0, 0}},
                       {-halfW, -halfH, halfW, halfH});
}

class BoardTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        DB_CloseDesign();
        EngineState& s = engine();
        s.fanDistanceMm = 0;
        s.displayMode = 0;
        s.workerThreads = 0;
        s.colourTable = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    }
    void TearDown() override {
        DB_CloseDesign();
        EngineTest::TearDown();
    }

    // Writes the design (replacing the file) and opens it; a design already open is closed first.
    void open(const design::Design& d, const std::string& file = "board.qdb") {
        DB_CloseDesign();
        for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(pathText(file) + suffix);
        std::string error;
        ASSERT_TRUE(design::DesignFile::create(pathText(file), d, error)) << error;
        ASSERT_EQ(DB_OpenDesign(pathText(file).c_str()), 1) << DB_LastError();
    }

    // A profile whose library set is empty: the load finds no library.
    std::string noLibraries() { return makeProfile({}); }

    // Opens the design and loads it into the engine; the load's result.
    std::int32_t load(const design::Design& d, const std::string& profile = {}) {
        open(d);
        THM_A_DeleteDataBase();
        const std::string p = profile.empty() ? noLibraries() : profile;
        return THM_A_Qor_LoadDataBase(p.c_str());
    }

    // Loads, sets the mask and analyses; fails the test on a failed load or shape set.
    void analyse(const design::Design& d, const std::string& profile = {}) {
        ASSERT_EQ(load(d, profile), 1) << THM_A_ErrorCode() << "/" << THM_A_ErrorFunc();
        ASSERT_EQ(THM_A_BoardShapeSet(), 1);
        ASSERT_EQ(THM_A_AnalyseBoard(), 1);
    }

    static ComponentSlot& slot(std::int32_t number) { return componentSlots(engine())[number]; }
    static std::int32_t cell(std::int32_t column, std::int32_t row) {
        return temperatureGrid(engine())[row * engine().rasterColumns + column];
    }
    static std::uint8_t maskAt(std::int32_t column, std::int32_t row) {
        return boardMask(engine())[row * engine().rasterColumns + column];
    }
};

// A drawing context that records every call as a line of text.
class Recording {
  public:
    Recording() : surface_(G_CreateRecordingSurface()) {
        const KViewRecord view{1000, 100, 100, 0, 0, 0};
        G_OpenDC(surface_, &view);
    }
    ~Recording() {
        G_CloseDC();
        G_DeleteSurface(surface_);
    }
    // The calls after opening: the context starts with G_OpenDC and the current colour and style.
    std::string calls() const {
        std::string text = G_SurfaceRecording(surface_);
        for (int line = 0; line < 3; ++line) text.erase(0, text.find('\n') + 1);
        return text;
    }

  private:
    std::int32_t surface_;
};

}  // namespace qor::thm::test
