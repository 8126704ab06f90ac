#include "qor/frontend/engine_binding.h"

#include <dlfcn.h>

#include <filesystem>

namespace qor::frontend {

namespace {

// The folder of the library holding this code: the engines are installed beside it.
std::string OwnFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnFolder), &info) == 0 || !info.dli_fname) return {};
    return std::filesystem::path(info.dli_fname).parent_path().string();
}

template <typename F>
void Resolve(void* library, const std::string& name, F& function, std::string& missing) {
    function = reinterpret_cast<F>(dlsym(library, name.c_str()));
    if (!function) missing += (missing.empty() ? "" : ", ") + name;
}

}  // namespace

bool EngineBinding::Bind(std::string& why) {
    if (bound_) return true;
    const std::string path = OwnFolder() + "/" + library_;
    // The engine stays loaded for the life of the process, like the model it holds.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        why = "Can't load the analysis engine: " + std::string(dlerror());
        return false;
    }
    std::string missing;
    Resolve(library, prefix_ + "A_Qor_LoadDataBase", load_, missing);
    Resolve(library, prefix_ + "A_DeleteDataBase", delete_, missing);
    Resolve(library, prefix_ + "A_ErrorCode", errorCode_, missing);
    Resolve(library, prefix_ + "A_ErrorFunc", errorFunc_, missing);
    if (withParameters_) {
        Resolve(library, prefix_ + "A_LoadParameters", loadParameters_, missing);
        Resolve(library, prefix_ + "A_SaveParameters", saveParameters_, missing);
    }
    if (!missing.empty()) {
        why = "The analysis engine " + path + " lacks " + missing;
        return false;
    }
    bound_ = true;
    return true;
}

bool EngineBinding::LoadDataBase(const std::string& profileFile) {
    return bound_ && load_(profileFile.c_str()) != 0;
}
bool EngineBinding::LoadParameters() {
    return bound_ && (!loadParameters_ || loadParameters_() != 0);
}
bool EngineBinding::SaveParameters() {
    return bound_ && (!saveParameters_ || saveParameters_() != 0);
}
void EngineBinding::DeleteDataBase() {
    if (bound_) delete_();
}
int EngineBinding::ErrorCode() {
    return bound_ ? errorCode_() : 0;
}
int EngineBinding::ErrorFunc() {
    return bound_ ? errorFunc_() : 0;
}

}  // namespace qor::frontend
