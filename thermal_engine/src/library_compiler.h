// The library compiler: a text source with one device per line into a device library.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "device_library.h"

namespace qor::thm {

// The package type code of a package name ("C0" ... "C6", "CCC" ... "SSP"); 0 for any other.
std::int32_t packageTypeCode(std::string_view name);
// The package name of a code, or an empty view for a code without a name.
std::string_view packageTypeName(std::int32_t code);

// A decimal real at the start of `text` (sign, digits, point, exponent); 0 when there is none.
double parseReal(std::string_view text);

inline constexpr std::size_t kSourceLineChars = 254;
inline constexpr std::size_t kSourceBufferBytes = 32000;
inline constexpr std::size_t kSourceNameLimit = 50;

class LibraryCompiler {
  public:
    LibraryCompiler() = default;
    LibraryCompiler(const LibraryCompiler&) = delete;
    LibraryCompiler& operator=(const LibraryCompiler&) = delete;
    ~LibraryCompiler();

    // Opens `source`, creates the library `name` in `libraryFolder` and selects it into `library`.
    std::int32_t create(const char* source, const char* name, const std::string& libraryFolder,
                        DeviceLibrary& library);
    // Compiles the next source line into `library`; at the end writes the library back.
    std::int32_t compileLine(DeviceLibrary& library);
    // Closes the source and writes the library back: the library close's code.
    std::int32_t close(DeviceLibrary& library);

    bool open() const { return source_ != nullptr; }

  private:
    // The next line without its line end, at most kSourceLineChars characters; false at the end.
    bool readLine(std::string& line);
    void closeSource();

    std::FILE* source_ = nullptr;
    std::unique_ptr<char[]> buffer_;
};

}  // namespace qor::thm
