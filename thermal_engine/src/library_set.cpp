#include "library_set.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "qor/platform/profile.h"
#include "qorthm32.h"

namespace qor::thm {
namespace {

constexpr char kSection[] = "Library";
constexpr char kNumberKey[] = "Number";

std::string nameKey(std::int32_t i) {
    return "Library#" + std::to_string(i);
}

void storeSlotName(std::array<char, kSetNameChars + 1>& slot, const char* name) {
    slot.fill('\0');
    std::memcpy(slot.data(), name, ::strnlen(name, kSetNameChars));
}

}  // namespace

std::int32_t LibrarySet::begin(const std::string& profileFile) {
    if (begun_) return THM_SET_ALREADY_BEGUN;
    try {
        slots_.assign(kSetMaxNames + 1, Slot{});
    } catch (const std::bad_alloc&) {
        slots_.clear();
        return THM_SET_NO_MEMORY;
    }
    std::int32_t n = 0;
    if (!profileFile.empty()) n = profile::readInt(profileFile, kSection, kNumberKey, 0);
    if (n < 0 || n > kSetMaxNames) n = kSetMaxNames;
    savedCount_ = n;
    for (std::int32_t i = 1; i <= n; ++i) {
        const std::string name = profile::readString(profileFile, kSection, nameKey(i), "");
        storeSlotName(slots_[static_cast<std::size_t>(i)], name.c_str());
    }
    count_ = n;
    cursor_ = 0;
    sort();
    begun_ = true;
    return 0;
}

void LibrarySet::end() {
    slots_.clear();
    slots_.shrink_to_fit();
    count_ = 0;
    cursor_ = 0;
    begun_ = false;
}

std::int32_t LibrarySet::save(const std::string& profileFile) {
    if (!begun_) return THM_SET_NOT_BEGUN;
    if (profileFile.empty()) return THM_SET_PROFILE_WRITE;
    // All edits go to a copy that replaces the profile at once: a failure leaves it as it was.
    namespace fs = std::filesystem;
    const std::string temp = profileFile + ".set" + std::to_string(::getpid());
    std::error_code ec;
    if (fs::exists(profileFile, ec)) {
        fs::copy_file(profileFile, temp, fs::copy_options::overwrite_existing, ec);
        if (ec) return THM_SET_PROFILE_WRITE;
    } else {
        fs::remove(temp, ec);
    }
    bool ok = true;
    for (std::int32_t i = 1; ok && i <= savedCount_; ++i)
        ok = profile::deleteKey(temp, kSection, nameKey(i));
    if (ok) ok = profile::writeString(temp, kSection, kNumberKey, std::to_string(count_));
    for (std::int32_t i = 1; ok && i <= count_; ++i)
        ok = profile::writeString(temp, kSection, nameKey(i),
                                  slots_[static_cast<std::size_t>(i)].data());
    if (ok) ok = std::rename(temp.c_str(), profileFile.c_str()) == 0;
    if (!ok) {
        fs::remove(temp, ec);
        return THM_SET_PROFILE_WRITE;
    }
    savedCount_ = count_;
    return 0;
}

std::int32_t LibrarySet::add(const char* name) {
    if (!name || !*name || count_ + 1 > kSetMaxNames) return THM_SET_BAD_NAME_OR_FULL;
    if (!begun_) return THM_SET_NOT_BEGUN;
    Slot wanted;
    storeSlotName(wanted, name);
    for (std::int32_t i = 1; i <= count_; ++i)
        if (std::strcmp(slots_[static_cast<std::size_t>(i)].data(), wanted.data()) == 0)
            return THM_SET_NAME_PRESENT;
    slots_[static_cast<std::size_t>(count_ + 1)] = wanted;
    ++count_;
    sort();
    return 0;
}

void LibrarySet::remove(char* name) {
    if (!name || !*name || !begun_ || count_ == 0) return;
    // Cut within the caller's text only: it may be shorter than 16 bytes.
    const std::size_t length = ::strnlen(name, kSetNameChars + 1);
    if (length > kSetNameChars) name[kSetNameChars] = '\0';
    if (char* blank = static_cast<char*>(std::memchr(name, ' ', std::min(length, kSetNameChars))))
        *blank = '\0';
    for (std::int32_t i = 1; i <= count_; ++i) {
        if (std::strcmp(slots_[static_cast<std::size_t>(i)].data(), name) != 0) continue;
        std::move(slots_.begin() + i + 1, slots_.begin() + count_ + 1, slots_.begin() + i);
        slots_[static_cast<std::size_t>(count_)].fill('\0');
        --count_;
        return;
    }
}

std::int32_t LibrarySet::copySlot(std::int32_t i, char* name16) const {
    std::memcpy(name16, slots_[static_cast<std::size_t>(i)].data(), kSetNameChars + 1);
    return 1;
}

std::int32_t LibrarySet::first(char* name16) {
    if (!name16 || !begun_ || count_ == 0) return 0;
    cursor_ = 2;
    return copySlot(1, name16);
}

std::int32_t LibrarySet::next(char* name16) {
    if (!name16 || !begun_ || cursor_ < 1 || cursor_ > count_) return 0;
    return copySlot(cursor_++, name16);
}

void LibrarySet::sort() {
    // Locale-aware, case-sensitive order (strcoll in the process's collation locale).
    std::stable_sort(
        slots_.begin() + 1, slots_.begin() + count_ + 1,
        [](const Slot& a, const Slot& b) { return std::strcoll(a.data(), b.data()) < 0; });
}

}  // namespace qor::thm
