#include <array>

#include "library_compiler.h"

namespace qor::thm {
namespace {

// Current package types, codes 10 ... 54 in this order.
constexpr std::array<std::string_view, 45> kPackageNames = {
    "CCC",  "CCM",  "CCP",  "CYC",  "CYM",  "CYP",  "DBC", "DBM", "DBP", "BGC", "CPM", "CPP",
    "BGP",  "FMM",  "FMP",  "FOC",  "FOM",  "FOP",  "FPC", "FPM", "FPP", "GAC", "GAM", "GAP",
    "SIPC", "SIPM", "SIPP", "DIPC", "DIPM", "DIPP", "LFC", "LFM", "LFP", "PFC", "PFM", "PFP",
    "MPC",  "MPM",  "MPP",  "SOC",  "SOM",  "SOP",  "SSC", "SSM", "SSP"};
constexpr std::int32_t kFirstPackageCode = 10;

// Older codes 0 ... 6.
constexpr std::array<std::string_view, 7> kOlderNames = {"C0", "C1", "C2", "C3", "C4", "C5", "C6"};

}  // namespace

std::int32_t packageTypeCode(std::string_view name) {
    for (std::size_t i = 0; i < kOlderNames.size(); ++i)
        if (kOlderNames[i] == name) return static_cast<std::int32_t>(i);
    for (std::size_t i = 0; i < kPackageNames.size(); ++i)
        if (kPackageNames[i] == name) return kFirstPackageCode + static_cast<std::int32_t>(i);
    return 0;
}

std::string_view packageTypeName(std::int32_t code) {
    if (code >= 0 && code < static_cast<std::int32_t>(kOlderNames.size()))
        return kOlderNames[static_cast<std::size_t>(code)];
    const std::int32_t i = code - kFirstPackageCode;
    if (i >= 0 && i < static_cast<std::int32_t>(kPackageNames.size()))
        return kPackageNames[static_cast<std::size_t>(i)];
    return {};
}

}  // namespace qor::thm
