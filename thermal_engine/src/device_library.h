// One device thermal library (.TAL file) read into a table, searched, edited and written back.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "qorthm32.h"

namespace qor::thm {

// The .TAL file: a 56-byte header (text, version 1.1, device count), then the device records.
inline constexpr char kLibraryHeaderText[] = "ThermalAnalyzer's Library by KORVALDINEXIA";
inline constexpr std::size_t kLibraryHeaderTextBytes = 44;
inline constexpr std::size_t kLibraryVersionOffset = 44;
inline constexpr std::size_t kLibraryCountOffset = 52;
inline constexpr std::size_t kLibraryHeaderBytes = 56;
inline constexpr double kLibraryVersion = 1.1;
// Entries 1 ... count of a table of this many; entry 0 stays empty.
inline constexpr std::int32_t kLibraryTableEntries = 2000;

static_assert(sizeof(kLibraryHeaderText) == 43, "header text is 42 characters and its NUL");

// The 56 header bytes of a library holding `count` devices.
void makeLibraryHeader(unsigned char (&header)[kLibraryHeaderBytes], std::int32_t count);

// The code of a system error number `err` met while opening, reading or writing a library file.
std::int32_t libraryFileErrorCode(int err, std::int32_t noMemoryCode);

class DeviceLibrary {
  public:
    struct Options {
        // The device search ignores case (thermal engine) or compares exactly (field engine).
        bool searchIgnoresCase = true;
        // The code for running out of memory while opening a file.
        std::int32_t openNoMemoryCode = THM_LIB_RUNTIME_ERROR + ENOMEM;
    };

    explicit DeviceLibrary(Options options) : options_(options) {}
    DeviceLibrary(const DeviceLibrary&) = delete;
    DeviceLibrary& operator=(const DeviceLibrary&) = delete;

    // Replaces the existing file `path` by an empty library. Does not select it.
    std::int32_t create(const char* path) const;
    // Reads the library into the table and selects it.
    std::int32_t select(const char* path);
    // Writes the selected library back and releases it; 0 when none is selected. On failure the
    // file keeps its previous content and the library stays selected.
    std::int32_t close();
    // Releases the selected library without writing.
    void release();

    // Inserts `record` under `name` (cut to 15 characters, written into the record's name).
    std::int32_t insert(const char* name, DeviceRecord* record);
    // Replaces the package type and values of the device `name`: 1 replaced, 0 not found,
    // THM_LIB_NO_FILE without a name.
    std::int32_t change(const char* name, const DeviceRecord* record);
    // Removes the device `name`, when present.
    void remove(const char* name);
    // Copies the device `name` into `record`: 1 found, 0 not.
    std::int32_t search(const char* name, DeviceRecord* record) const;
    // Device names in table order into a buffer of at least 17 bytes: 1, or 0 at the end.
    std::int32_t first(char* name17);
    std::int32_t next(char* name17);

    bool selected() const { return selected_; }
    std::int32_t count() const { return count_; }
    const std::string& path() const { return path_; }
    // Entry i, 1 ... count.
    const DeviceRecord& entry(std::int32_t i) const { return table_.get()[i]; }

  private:
    struct FreeDeleter {
        void operator()(DeviceRecord* p) const { std::free(p); }
    };
    struct Probe {
        bool found;
        std::int32_t at;  // the entry found, or the last entry compared
        int order;        // comparison of the name with entry `at`
    };

    Probe bisect(const char* name, bool ignoreCase) const;
    std::int32_t copyName(std::int32_t i, char* name17) const;

    Options options_;
    std::unique_ptr<DeviceRecord, FreeDeleter> table_;
    std::int32_t count_ = 0;
    std::int32_t cursor_ = 0;
    std::string path_;
    bool selected_ = false;
};

}  // namespace qor::thm
