#include "thermal_engine_binding.h"

#include <dlfcn.h>

#include <filesystem>

namespace qor::thermal {

namespace {

// The folder of this library: the engine is installed beside it.
std::string OwnFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnFolder), &info) == 0 || !info.dli_fname) return {};
    return std::filesystem::path(info.dli_fname).parent_path().string();
}

template <typename F>
bool Resolve(void* library, const char* name, F& function, std::string& missing) {
    function = reinterpret_cast<F>(dlsym(library, name));
    if (!function) missing += (missing.empty() ? "" : ", ") + std::string(name);
    return function != nullptr;
}

}  // namespace

ThermalEngineBinding::~ThermalEngineBinding() = default;  // the engine stays loaded

bool ThermalEngineBinding::Bind(std::string& why) {
    if (library_) return true;
    const std::string path = OwnFolder() + "/libQORTHM32.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        why = "Can't load the thermal engine: " + std::string(dlerror());
        return false;
    }
    std::string missing;
    Resolve(library, "THM_A_Qor_LoadDataBase", load_, missing);
    Resolve(library, "THM_A_LoadParameters", loadParameters_, missing);
    Resolve(library, "THM_A_SaveParameters", saveParameters_, missing);
    Resolve(library, "THM_A_DeleteDataBase", delete_, missing);
    Resolve(library, "THM_A_ErrorCode", errorCode_, missing);
    Resolve(library, "THM_A_ErrorFunc", errorFunc_, missing);
    if (!missing.empty()) {
        why = "The thermal engine " + path + " lacks " + missing;
        return false;
    }
    library_ = library;
    return true;
}

bool ThermalEngineBinding::LoadDataBase(const std::string& profileFile) {
    return library_ && load_(profileFile.c_str()) != 0;
}
bool ThermalEngineBinding::LoadParameters() {
    return library_ && loadParameters_() != 0;
}
bool ThermalEngineBinding::SaveParameters() {
    return library_ && saveParameters_() != 0;
}
void ThermalEngineBinding::DeleteDataBase() {
    if (library_) delete_();
}
int ThermalEngineBinding::ErrorCode() {
    return library_ ? errorCode_() : 0;
}
int ThermalEngineBinding::ErrorFunc() {
    return library_ ? errorFunc_() : 0;
}

}  // namespace qor::thermal
