#include "engine_state.h"

#include <cstdlib>
#include <cstring>

#include "qor/platform/profile.h"

namespace qor::thm {
namespace {

// The field engine's code for running out of memory while opening a library file.
constexpr std::int32_t kFieldLibraryOpenNoMemory = 1004;

}  // namespace

EngineVariant thermalVariant() {
    return EngineVariant{};
}

EngineVariant fieldVariant() {
    EngineVariant v;
    v.degreesPerRadian = 57.29577951308232;
    v.library.searchIgnoresCase = false;
    v.library.openNoMemoryCode = kFieldLibraryOpenNoMemory;
    return v;
}

EngineState::~EngineState() {
    detach(*this);
}

void setProfileFile(EngineState& state, const char* profileFile) {
    state.profileFile = profileFile ? profileFile : "";
}

std::string libraryFolder(const EngineState& state) {
    if (state.profileFile.empty()) return {};
    return profile::readString(state.profileFile, "Qor32", "LibDir", "");
}

std::string libraryPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name + ".TAL";
}

bool allocateBlock(EngineState& state, MemoryBlock& block, std::size_t bytes) {
    state.usedBytes += static_cast<std::int64_t>(bytes);
    void* data = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (!data) return false;
    freeBlock(block);
    block.data = data;
    block.bytes = bytes;
    return true;
}

bool resizeBlock(EngineState& state, MemoryBlock& block, std::size_t bytes) {
    if (!block.data) return false;
    state.usedBytes -= static_cast<std::int64_t>(block.bytes);
    state.usedBytes += static_cast<std::int64_t>(bytes);
    void* data = std::realloc(block.data, bytes == 0 ? 1 : bytes);
    if (!data) return false;
    if (bytes > block.bytes)
        std::memset(static_cast<unsigned char*>(data) + block.bytes, 0, bytes - block.bytes);
    block.data = data;
    block.bytes = bytes;
    return true;
}

void freeBlock(MemoryBlock& block) {
    std::free(block.data);
    block.data = nullptr;
    block.bytes = 0;
}

void deleteDataBase(EngineState& state) {
    freeBlock(state.outline);
    freeBlock(state.componentSlots);
    freeBlock(state.deviceNameStore);
    freeBlock(state.slotIndexMap);
    freeBlock(state.temperatureGrid);
    freeBlock(state.rowTable);
    freeBlock(state.boardMask);
    state.outlineCount = 0;
    state.componentCount = 0;
    state.deviceNamesUsedBytes = 0;
    state.usedBytes = 0;
}

void setError(EngineState& state, std::int32_t code, std::int32_t stage) {
    state.lastErrorCode = code;
    state.lastErrorStage = stage;
}

std::int32_t kilobytesRoundedUp(std::int64_t bytes) {
    if (bytes <= 0) return 0;
    return static_cast<std::int32_t>(bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0));
}

void detach(EngineState& state) noexcept {
    try {
        deleteDataBase(state);
        state.compiler.close(state.library);
        state.librarySet.end();
        state.library.close();
    } catch (...) {
        // Unloading goes on whatever a write-back could not do.
    }
}

}  // namespace qor::thm
