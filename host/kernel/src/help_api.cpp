// E_SysTable and H_: the host's system tables and its context help.
#include <array>

#include "guard.h"
#include "qor/kernel/help.h"
#include "qor/kernel/kernel.h"

namespace qor::kernel {

namespace {

struct HostTables {
    std::array<std::array<int32_t, 32>, 32> words{};
    HelpDisplay help;
};

HostTables& tables() {
    static HostTables t;
    return t;
}

}  // namespace

void setHelpDisplay(HelpDisplay display) {
    tables().help = std::move(display);
}

}  // namespace qor::kernel

using namespace qor::kernel;

extern "C" {

int32_t* E_SysTable(int32_t table) {
    if (table < 0 || table >= 32) return nullptr;
    return tables().words[static_cast<size_t>(table)].data();
}

int32_t H_DispTopic(int32_t owner, const char* helpFile, int32_t topic) {
    return guard(0, [&] {
        if (!tables().help) return 0;
        tables().help(owner, helpFile ? helpFile : "", topic);
        return 1;
    });
}

}  // extern "C"
