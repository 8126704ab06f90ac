// The exported calls of QORTHM32. Each one catches everything: nothing crosses the C boundary.
#include <utility>

#include "board_model.h"
#include "design_records.h"
#include "drawing.h"
#include "engine_state.h"
#include "qorthm32.h"
#include "queries.h"
#include "raster.h"
#include "solver.h"

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

QOR_API int32_t THM_A_Qor_LoadDataBase(const char* profileFile) {
    return guarded(0, [&] { return qor::thm::loadDataBase(engine(), profileFile); });
}

QOR_API int32_t THM_A_BoardShapeSet(void) {
    return guarded(0, [] { return qor::thm::boardShapeSet(engine()); });
}

QOR_API int32_t THM_A_AnalyseBoard(void) {
    return guarded(1, [] { return qor::thm::analyseBoard(engine()); });
}

QOR_API void THM_A_GetBoardSize(int32_t* left, int32_t* bottom, int32_t* right, int32_t* top) {
    qor::thm::getBoardSize(engine(), left, bottom, right, top);
}

QOR_API int32_t THM_A_GetBoardDimentions(int32_t* width, int32_t* height) {
    return qor::thm::getBoardDimensions(engine(), width, height);
}

QOR_API void THM_A_GetBoardParameters(BoardParameters* parameters) {
    if (parameters) qor::thm::getBoardParameters(engine(), *parameters);
}

QOR_API void THM_A_SetBoardParameters(const BoardParameters* parameters) {
    if (parameters) qor::thm::setBoardParameters(engine(), *parameters);
}

QOR_API void THM_A_GetCoolingParameters(CoolingParameters* parameters) {
    if (parameters) qor::thm::getCoolingParameters(engine(), *parameters);
}

QOR_API void THM_A_SetCoolingParameters(const CoolingParameters* parameters) {
    if (parameters) qor::thm::setCoolingParameters(engine(), *parameters);
}

QOR_API void THM_A_GetTemperatureParameters(TemperatureParameters* parameters) {
    if (parameters) qor::thm::getTemperatureParameters(engine(), *parameters);
}

QOR_API void THM_A_SetTemperatureParameters(const TemperatureParameters* parameters) {
    if (parameters) qor::thm::setTemperatureParameters(engine(), *parameters);
}

QOR_API int32_t THM_A_Components(void) {
    return engine().componentCount;
}

QOR_API void THM_A_ComponentGet(int32_t index, ComponentParameters* parameters) {
    if (parameters) qor::thm::componentGet(engine(), index, *parameters);
}

QOR_API void THM_A_ComponentSet(int32_t index, const ComponentParameters* parameters) {
    if (parameters) qor::thm::componentSet(engine(), index, *parameters);
}

QOR_API int32_t THM_A_LLComponentFirst(int32_t* known, int32_t* changed) {
    return qor::thm::componentFirst(engine(), known, changed);
}

QOR_API int32_t THM_A_LLComponentNext(int32_t* known, int32_t* changed) {
    return qor::thm::componentNext(engine(), known, changed);
}

QOR_API int32_t THM_A_ComponentInsidePosition(int32_t x, int32_t y) {
    return qor::thm::componentAt(engine(), x, y);
}

QOR_API int32_t THM_A_GetTemp(int32_t x, int32_t y, double* cellC, int32_t* index, double* caseC,
                              double* junctionC) {
    return qor::thm::getTemp(engine(), x, y, cellC, index, caseC, junctionC);
}

QOR_API int32_t THM_A_TemperatureGet(int32_t x, int32_t y, int32_t* index, double* temperatureC,
                                     double* junctionC) {
    return qor::thm::temperatureGet(engine(), x, y, index, temperatureC, junctionC);
}

QOR_API void THM_A_SetColorTable(const int32_t* colours16) {
    qor::thm::setColourTable(engine(), colours16);
}

QOR_API void THM_A_SetITDensity(int32_t densityFiftieths) {
    engine().isothermDensityFiftieths = densityFiftieths;
}

QOR_API int32_t THM_A_GetITDensity(void) {
    return engine().isothermDensityFiftieths;
}

QOR_API void THM_A_DisplayBoard(void) {
    guardedVoid([] { qor::thm::displayBoard(engine()); });
}

QOR_API void THM_A_DisplayComponents(void) {
    guardedVoid([] { qor::thm::displayComponents(engine()); });
}

QOR_API void THM_A_DisplayBoardComponents(void) {
    guardedVoid([] { qor::thm::displayBoardComponents(engine()); });
}

QOR_API void THM_A_DisplayIsotherms(void) {
    guardedVoid([] { qor::thm::displayIsotherms(engine()); });
}

QOR_API int32_t THM_A_ColorTempMin(void) {
    return engine().colourScaleMinFiftieths;
}

QOR_API int32_t THM_A_ColorTempGrid(void) {
    return engine().colourScaleStepFiftieths;
}

QOR_API int32_t THM_A_SaveParameters(void) {
    return guarded(0, [] { return qor::thm::saveParameters(engine()); });
}

QOR_API int32_t THM_A_LoadParameters(void) {
    return guarded(0, [] { return qor::thm::loadParameters(engine()); });
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
