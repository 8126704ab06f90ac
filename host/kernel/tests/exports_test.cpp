// Only the kernel's calls leave the library: callers bind them by name.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <string>

namespace {

TEST(KernelLibrary, ExportsOnlyKernelCalls) {
    const std::string command = "nm -D --defined-only '" + std::string(QOR_KERNEL_FILE) + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    ASSERT_NE(pipe, nullptr);
    const std::regex call("(DB|OM|OA|IA|O|L|C|D|S|N|T|V|B|I|F|G|E|H)_[A-Za-z0-9_]+");
    const std::regex hook("_ZN3qor6kernel(13attachSurface|14setHelpDisplay).*");
    int calls = 0;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe.get())) {
        char type = 0;
        char name[900] = {};
        if (std::sscanf(line, "%*s %c %899s", &type, name) != 2 || type == 'A') continue;  // linker markers
        const std::string symbol = name;
        if (std::regex_match(symbol, call)) ++calls;
        else EXPECT_TRUE(std::regex_match(symbol, hook)) << symbol << " leaks from the kernel";
    }
    EXPECT_GT(calls, 50);
}

}  // namespace
