// The ordered set of active library names, kept in the profile file's section "Library".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qor::thm {

inline constexpr std::int32_t kSetMaxNames = 100;
inline constexpr std::size_t kSetNameChars = 15;

class LibrarySet {
  public:
    // Reads the set from `profileFile`: 0, THM_SET_ALREADY_BEGUN or THM_SET_NO_MEMORY.
    std::int32_t begin(const std::string& profileFile);
    // Releases the set.
    void end();
    // Writes the set to `profileFile` as one replacement of the file.
    std::int32_t save(const std::string& profileFile);
    // Adds a name (cut to 15 characters) and sorts: 0, THM_SET_BAD_NAME_OR_FULL,
    // THM_SET_NAME_PRESENT, or THM_SET_NOT_BEGUN.
    std::int32_t add(const char* name);
    // Removes a name; the buffer is cut at its 16th character and at its first blank before it.
    void remove(char* name);
    // Names in order into a buffer of at least 16 bytes: 1, or 0 at the end.
    std::int32_t first(char* name16);
    std::int32_t next(char* name16);

    bool begun() const { return begun_; }
    std::int32_t count() const { return count_; }

  private:
    using Slot = std::array<char, kSetNameChars + 1>;

    void sort();
    std::int32_t copySlot(std::int32_t i, char* name16) const;

    std::vector<Slot> slots_;  // slot 0 is scratch; names in 1 ... count
    std::int32_t count_ = 0;
    std::int32_t savedCount_ = 0;
    std::int32_t cursor_ = 0;
    bool begun_ = false;
};

}  // namespace qor::thm
