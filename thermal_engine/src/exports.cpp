// The exported calls of QORTHM32. Each one catches everything: nothing crosses the C boundary.
#include <utility>

#include "engine_state.h"
#include "qorthm32.h"

namespace qor::thm {
namespace {

template <class F>
std::int32_t guarded(std::int32_t onFailure, F&& f) noexcept {
    try {
        return std::forward<F>(f)();
    } catch (...) {
        return onFailure;
    }
}

template <class F>
void guardedVoid(F&& f) noexcept {
    try {
        std::forward<F>(f)();
    } catch (...) {
    }
}

// Looks `name` up in the libraries of the set, in the set's order. A set that someone else has
// begun is left to them: the lookup then searches nothing.
std::int32_t lookUpInSet(EngineState& s, const char* name, DeviceRecord* record) {
    if (!name || !*name || !record) return 0;
    const std::string folder = libraryFolder(s);
    if (s.librarySet.begin(s.profileFile) != 0) return 0;
    std::int32_t found = 0;
    char library[16];
    for (std::int32_t more = s.librarySet.first(library); more && !found;
         more = s.librarySet.next(library)) {
        const std::string path = libraryPath(folder, library);
        if (s.library.select(path.c_str()) != 0) continue;
        found = s.library.search(name, record);
        s.library.release();
    }
    s.librarySet.end();
    return found;
}

// Looks `name` up in one library. Only a library this call selected is released again.
std::int32_t lookUpInLibrary(EngineState& s, const char* name, const char* path,
                             DeviceRecord* record) {
    if (s.library.select(path) != 0) return 0;
    const std::int32_t found = s.library.search(name, record);
    s.library.release();
    return found;
}

}  // namespace
}  // namespace qor::thm

using qor::thm::engine;
using qor::thm::guarded;
using qor::thm::guardedVoid;

extern "C" {

QOR_API int32_t THM_A_ErrorCode(void) {
    return engine().lastErrorCode;
}

QOR_API int32_t THM_A_ErrorFunc(void) {
    return engine().lastErrorStage;
}

QOR_API int32_t THM_A_UsedMemory(void) {
    return qor::thm::kilobytesRoundedUp(engine().usedBytes);
}

QOR_API int32_t THM_A_DeviceStrings(void) {
    return qor::thm::kilobytesRoundedUp(engine().deviceNamesUsedBytes);
}

QOR_API void THM_A_DeleteDataBase(void) {
    guardedVoid([] { qor::thm::deleteDataBase(engine()); });
}

QOR_API int32_t THM_L_LibraryCreate(const char* path) {
    return guarded(THM_LIB_NO_MEMORY, [&] { return engine().library.create(path); });
}

QOR_API int32_t THM_L_LibrarySelect(const char* path) {
    return guarded(THM_LIB_NO_MEMORY, [&] { return engine().library.select(path); });
}

QOR_API int32_t THM_L_LibraryClose(void) {
    return guarded(THM_LIB_NO_MEMORY, [] { return engine().library.close(); });
}

QOR_API void THM_L_LibraryFree(void) {
    guardedVoid([] { engine().library.release(); });
}

QOR_API int32_t THM_L_DeviceCreate(const char* name, DeviceRecord* record) {
    return guarded(THM_LIB_NO_MEMORY, [&] { return engine().library.insert(name, record); });
}

QOR_API int32_t THM_L_DeviceChange(const char* name, const DeviceRecord* record) {
    return guarded(0, [&] { return engine().library.change(name, record); });
}

QOR_API void THM_L_DeviceDelete(const char* name) {
    guardedVoid([&] { engine().library.remove(name); });
}

QOR_API int32_t THM_L_DeviceSearch(const char* name, DeviceRecord* record) {
    return guarded(0, [&] { return engine().library.search(name, record); });
}

QOR_API int32_t THM_L_DeviceGetFirst(char* name17) {
    return guarded(0, [&] { return engine().library.first(name17); });
}

QOR_API int32_t THM_L_DeviceGetNext(char* name17) {
    return guarded(0, [&] { return engine().library.next(name17); });
}

QOR_API int32_t THM_G_GetDeviceParameters(const char* name, DeviceRecord* record) {
    return guarded(0, [&] { return qor::thm::lookUpInSet(engine(), name, record); });
}

QOR_API int32_t THM_G_GetDeviceParametersLib(const char* name, const char* libraryPath,
                                             DeviceRecord* record) {
    return guarded(0,
                   [&] { return qor::thm::lookUpInLibrary(engine(), name, libraryPath, record); });
}

QOR_API int32_t THM_C_DataCreate(const char* sourcePath, const char* libraryName) {
    return guarded(THM_COMPILE_NO_MEMORY, [&] {
        auto& s = engine();
        if (!sourcePath || !*sourcePath || !libraryName || !*libraryName)
            return static_cast<int32_t>(THM_COMPILE_NO_SOURCE);
        return s.compiler.create(sourcePath, libraryName, qor::thm::libraryFolder(s), s.library);
    });
}

QOR_API int32_t THM_C_DataCompile(void) {
    return guarded(THM_COMPILE_NO_MEMORY,
                   [] { return engine().compiler.compileLine(engine().library); });
}

QOR_API int32_t THM_C_DataClose(void) {
    return guarded(THM_LIB_NO_MEMORY, [] { return engine().compiler.close(engine().library); });
}

QOR_API int32_t THM_S_Begin(void) {
    return guarded(THM_SET_NO_MEMORY,
                   [] { return engine().librarySet.begin(engine().profileFile); });
}

QOR_API void THM_S_End(void) {
    guardedVoid([] { engine().librarySet.end(); });
}

QOR_API int32_t THM_S_Save(void) {
    return guarded(THM_SET_PROFILE_WRITE,
                   [] { return engine().librarySet.save(engine().profileFile); });
}

QOR_API int32_t THM_S_Add(const char* name) {
    return guarded(THM_SET_NO_MEMORY, [&] { return engine().librarySet.add(name); });
}

QOR_API void THM_S_Delete(char* name) {
    guardedVoid([&] { engine().librarySet.remove(name); });
}

QOR_API int32_t THM_S_GetFirst(char* name16) {
    return guarded(0, [&] { return engine().librarySet.first(name16); });
}

QOR_API int32_t THM_S_GetNext(char* name16) {
    return guarded(0, [&] { return engine().librarySet.next(name16); });
}

}  // extern "C"
