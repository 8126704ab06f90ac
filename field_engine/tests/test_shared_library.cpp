// QOREMA32 as a shared library: its exported names, and a state of its own beside QORTHM32's in
// one process.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "qorema32.h"

namespace qor::ema {
namespace {

class Loaded {
  public:
    explicit Loaded(const char* file) : handle_(::dlopen(file, RTLD_NOW | RTLD_LOCAL)) {}
    ~Loaded() {
        if (handle_) ::dlclose(handle_);
    }
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;
    bool loaded() const { return handle_ != nullptr; }
    template <class F>
    F* call(const char* name) {
        auto* f = reinterpret_cast<F*>(::dlsym(handle_, name));
        EXPECT_NE(f, nullptr) << name;
        return f;
    }

  private:
    void* handle_;
};

std::vector<std::string> dynamicSymbols(const char* file) {
    std::vector<std::string> names;
    const std::string command = std::string("nm -D --defined-only ") + file;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get())) {
        std::string text(line);
        const std::size_t space = text.find_last_of(' ');
        std::string name = text.substr(space + 1);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FieldSharedLibrary, ExportsExactlyTheEngineCalls) {
    const std::vector<std::string> expected = {
        "EMA_A_BoardShapeSet",
        "EMA_A_ColorTempGrid",
        "EMA_A_ColorTempMin",
        "EMA_A_DeleteDataBase",
        "EMA_A_DisplayBoard",
        "EMA_A_DisplayBoardComponents",
        "EMA_A_DisplayComponents",
        "EMA_A_DisplayIsotherms",
        "EMA_A_ErrorCode",
        "EMA_A_ErrorFunc",
        "EMA_A_FieldGet",
        "EMA_A_FieldMinMax",
        "EMA_A_GetBoardDimentions",
        "EMA_A_GetBoardParameters",
        "EMA_A_GetBoardSize",
        "EMA_A_GetFieldParameters",
        "EMA_A_GetITDensity",
        "EMA_A_Qor_LoadDataBase",
        "EMA_A_SetBoardParameters",
        "EMA_A_SetColorTable",
        "EMA_A_SetFieldParameters",
        "EMA_A_SetITDensity",
        "EMA_Calc_Field",
        "EMA_Clear_Field",
        "EMA_Min_Max_Field",
        // qor::ema::calculateField(int, double, double, FieldCalcControl const&)
        "_ZN3qor3ema14calculateFieldEiddRKNS0_16FieldCalcControlE",
    };
    EXPECT_EQ(dynamicSymbols(QOREMA32_FILE), expected);
}

TEST(FieldSharedLibrary, KeepsItsOwnStateBesideTheThermalEngine) {
    Loaded field(QOREMA32_FILE);
    Loaded thermal(QORTHM32_FILE);
    ASSERT_TRUE(field.loaded()) << ::dlerror();
    ASSERT_TRUE(thermal.loaded()) << ::dlerror();

    const std::int32_t thermalDensity = thermal.call<int32_t()>("THM_A_GetITDensity")();
    field.call<void(int32_t)>("EMA_A_SetITDensity")(77);
    EXPECT_EQ(thermal.call<int32_t()>("THM_A_GetITDensity")(), thermalDensity);
    thermal.call<void(int32_t)>("THM_A_SetITDensity")(33);
    EXPECT_EQ(field.call<int32_t()>("EMA_A_GetITDensity")(), 77);

    FieldParameters p{};
    p.stepUnits = 127000;
    field.call<void(const FieldParameters*)>("EMA_A_SetFieldParameters")(&p);
    TemperatureParameters t{};
    thermal.call<void(TemperatureParameters*)>("THM_A_GetTemperatureParameters")(&t);
    EXPECT_NE(t.stepUnits, 127000);

    // Neither sees the other's board: nothing is loaded in either.
    EXPECT_EQ(thermal.call<int32_t()>("THM_A_UsedMemory")(), 0);
    std::int32_t width = -1, height = -1;
    field.call<int32_t(int32_t*, int32_t*)>("EMA_A_GetBoardDimentions")(&width, &height);
    EXPECT_EQ(width, 0);

    // And the copy linked into this test is a third engine.
    EXPECT_NE(EMA_A_GetITDensity(), 77);
}

}  // namespace
}  // namespace qor::ema
