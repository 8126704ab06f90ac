// Profile (initialisation) files: "[Section]" headers and "Key=Value" lines.
//
// Semantics follow the classic private-profile calls that the suite's configuration relies on:
// - section and key names match without regard to case; the first match wins;
// - values are trimmed of surrounding blanks, and one pair of surrounding double quotes is removed;
// - a read of a missing file, section or key returns the caller's default;
// - writing creates the file and the section when missing, replaces an existing key in place and
//   keeps every other line (comments, order, unknown sections) as it was;
// - the file is replaced atomically: a failed write leaves the previous file intact.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor::profile {

// The value of key in section, or def when the file, the section or the key is absent.
std::string readString(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view def = {});

// The integer value of key: leading blanks and an optional sign, then decimal digits; a value
// without leading digits reads 0. def when the key is absent.
int readInt(const std::string& file, std::string_view section, std::string_view key, int def);

// Writes key=value into section; true on success.
bool writeString(const std::string& file, std::string_view section, std::string_view key,
                 std::string_view value);

// Removes one key; true when the file is in the wanted state afterwards (also when it was absent).
bool deleteKey(const std::string& file, std::string_view section, std::string_view key);

// Removes a whole section with its keys; true when the file is in the wanted state afterwards.
bool deleteSection(const std::string& file, std::string_view section);

// The key names of a section in file order (empty when absent).
std::vector<std::string> keys(const std::string& file, std::string_view section);

}  // namespace qor::profile
