// Only the kernel's calls leave the library: callers bind them by name.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace {

// A kernel call: a family prefix, an underscore, then letters, digits and underscores.
bool isKernelCall(std::string_view symbol) {
    for (const std::string_view family : {"DB", "OM", "OA", "IA", "O", "L", "C", "D", "S", "N", "T", "V", "B", "I",
                                          "F", "G", "E", "H"}) {
        if (symbol.size() <= family.size() + 1 || !symbol.starts_with(family) || symbol[family.size()] != '_')
            continue;
        const std::string_view rest = symbol.substr(family.size() + 1);
        if (rest.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_") ==
            std::string_view::npos)
            return true;
    }
    return false;
}

// The C++ hooks a host or front end uses to plug in a surface or a help display.
bool isHook(std::string_view symbol) {
    return symbol.starts_with("_ZN3qor6kernel13attachSurface") || symbol.starts_with("_ZN3qor6kernel14setHelpDisplay") ||
           symbol.starts_with("_ZN3qor6kernel19setPrintScaleDialog") ||
           symbol.starts_with("_ZN3qor6kernel13tilePrintArea");
}

TEST(KernelLibrary, ExportsOnlyKernelCalls) {
    const std::string command = "nm -D --defined-only '" + std::string(QOR_KERNEL_FILE) + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    ASSERT_NE(pipe, nullptr);
    int calls = 0;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe.get())) {
        char type = 0;
        char name[900] = {};
        if (std::sscanf(line, "%*s %c %899s", &type, name) != 2 || type == 'A') continue;  // linker markers
        const std::string symbol = name;
        if (isKernelCall(symbol)) ++calls;
        else EXPECT_TRUE(isHook(symbol)) << symbol << " leaks from the kernel";
    }
    EXPECT_GT(calls, 50);
}

}  // namespace
