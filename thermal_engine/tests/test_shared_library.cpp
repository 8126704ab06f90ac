// The shared library itself: its exported names, and what loading and unloading it do.
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "test_support.h"

namespace qor::thm::test {
namespace {

TEST(SharedLibrary, ExportsExactlyTheEngineCalls) {
    const std::vector<std::string> expected = {"THM_A_AnalyseBoard",
                                               "THM_A_BoardShapeSet",
                                               "THM_A_ColorTempGrid",
                                               "THM_A_ColorTempMin",
                                               "THM_A_ComponentGet",
                                               "THM_A_ComponentInsidePosition",
                                               "THM_A_ComponentSet",
                                               "THM_A_Components",
                                               "THM_A_DeleteDataBase",
                                               "THM_A_DeviceStrings",
                                               "THM_A_DisplayBoard",
                                               "THM_A_DisplayBoardComponents",
                                               "THM_A_DisplayComponents",
                                               "THM_A_DisplayIsotherms",
                                               "THM_A_ErrorCode",
                                               "THM_A_ErrorFunc",
                                               "THM_A_GetBoardDimentions",
                                               "THM_A_GetBoardParameters",
                                               "THM_A_GetBoardSize",
                                               "THM_A_GetCoolingParameters",
                                               "THM_A_GetITDensity",
                                               "THM_A_GetTemp",
                                               "THM_A_GetTemperatureParameters",
                                               "THM_A_LLComponentFirst",
                                               "THM_A_LLComponentNext",
                                               "THM_A_LoadParameters",
                                               "THM_A_Qor_LoadDataBase",
                                               "THM_A_SaveParameters",
                                               "THM_A_SetBoardParameters",
                                               "THM_A_SetColorTable",
                                               "THM_A_SetCoolingParameters",
                                               "THM_A_SetITDensity",
                                               "THM_A_SetTemperatureParameters",
                                               "THM_A_TemperatureGet",
                                               "THM_A_UsedMemory",
                                               "THM_C_DataClose",
                                               "THM_C_DataCompile",
                                               "THM_C_DataCreate",
                                               "THM_G_GetDeviceParameters",
                                               "THM_G_GetDeviceParametersLib",
                                               "THM_L_DeviceChange",
                                               "THM_L_DeviceCreate",
                                               "THM_L_DeviceDelete",
                                               "THM_L_DeviceGetFirst",
                                               "THM_L_DeviceGetNext",
                                               "THM_L_DeviceSearch",
                                               "THM_L_LibraryClose",
                                               "THM_L_LibraryCreate",
                                               "THM_L_LibraryFree",
                                               "THM_L_LibrarySelect",
                                               "THM_S_Add",
                                               "THM_S_Begin",
                                               "THM_S_Delete",
                                               "THM_S_End",
                                               "THM_S_GetFirst",
                                               "THM_S_GetNext",
                                               "THM_S_Save"};
    const std::string command = "nm -D --defined-only '" + std::string(QORTHM32_FILE) + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get())) {
        // "<address> <type> <name>"
        char type = 0;
        char name[400] = {};
        if (std::sscanf(line, "%*s %c %399s", &type, name) == 2) exported.emplace_back(name);
    }
    std::sort(exported.begin(), exported.end());
    EXPECT_EQ(exported, expected);
}

// The engine loaded by name, as its callers load it.
class LoadedEngine {
  public:
    LoadedEngine() : handle_(::dlopen(QORTHM32_FILE, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedEngine() { unload(); }
    bool loaded() const { return handle_ != nullptr; }
    template <class F>
    F* call(const char* name) {
        return reinterpret_cast<F*>(::dlsym(handle_, name));
    }
    void unload() {
        if (handle_) ::dlclose(handle_);
        handle_ = nullptr;
    }

  private:
    void* handle_;
};

TEST(SharedLibrary, UnloadingWritesTheSelectedLibraryBack) {
    std::string pattern = (fs::temp_directory_path() / "qor-thm-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path lib = fs::path(pattern) / "LIB.TAL";
    writeBytes(lib, libraryBytes({}));
    {
        LoadedEngine engine;
        ASSERT_TRUE(engine.loaded()) << ::dlerror();
        EXPECT_EQ(engine.call<int32_t()>("THM_A_ErrorCode")(), 0);
        EXPECT_EQ(engine.call<int32_t()>("THM_A_UsedMemory")(), 0);
        ASSERT_EQ(engine.call<int32_t(const char*)>("THM_L_LibrarySelect")(lib.c_str()), 0);
        DeviceRecord r = device("", THM_PKG_DIPP, 0.015, 0.15, 41, 44);
        ASSERT_EQ(
            engine.call<int32_t(const char*, DeviceRecord*)>("THM_L_DeviceCreate")("NE555", &r), 0);
        EXPECT_EQ(readBytes(lib), libraryBytes({}));
        engine.unload();
    }
    EXPECT_EQ(readBytes(lib), libraryBytes({device("NE555", THM_PKG_DIPP, 0.015, 0.15, 41, 44)}));
    fs::remove_all(pattern);
}

}  // namespace
}  // namespace qor::thm::test
