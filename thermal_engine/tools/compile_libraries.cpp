// Compiles device library sources (.DAT) into thermal libraries (.TAL) through the engine's own
// compiler calls, and writes a profile file that selects them.
//
// usage: qor_thermal_libc <profile template> <profile out> <library folder> <source.DAT>...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine_state.h"
#include "qor/platform/profile.h"
#include "qorthm32.h"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& what) {
    std::fprintf(stderr, "qor_thermal_libc: %s\n", what.c_str());
    return 1;
}

// One source into library folder/<base name>.TAL; the number of devices, or -1.
int compileOne(const fs::path& source, const fs::path& folder) {
    std::string name = source.filename().string();
    if (name.size() > 4) name.resize(name.size() - 4);
    const fs::path target = folder / (name + ".TAL");
    // The compiler replaces an existing library file; make one when there is none.
    if (!fs::exists(target)) std::ofstream(target, std::ios::binary);

    const std::int32_t created = THM_C_DataCreate(source.c_str(), name.c_str());
    if (created != 0) {
        THM_C_DataClose();
        std::fprintf(stderr, "qor_thermal_libc: %s: cannot start, code %d\n", source.c_str(),
                     created);
        return -1;
    }
    int line = 0;
    std::int32_t result;
    do {
        ++line;
        result = THM_C_DataCompile();
    } while (result == THM_COMPILE_LINE_DONE);
    if (result != THM_COMPILE_END) {
        std::fprintf(stderr, "qor_thermal_libc: %s:%d: code %d\n", source.c_str(), line, result);
        THM_C_DataClose();
        return -1;
    }
    if (THM_L_LibrarySelect(target.c_str()) != 0) return -1;
    int devices = 0;
    char device[17];
    for (int more = THM_L_DeviceGetFirst(device); more; more = THM_L_DeviceGetNext(device))
        ++devices;
    THM_L_LibraryFree();
    return devices;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        return fail(
            "usage: qor_thermal_libc <profile template> <profile out> <library folder> "
            "<source.DAT>...");
    }
    const fs::path templateFile = argv[1];
    const fs::path profileFile = argv[2];
    const fs::path folder = argv[3];
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return fail("cannot make " + folder.string());
    if (profileFile.has_parent_path()) fs::create_directories(profileFile.parent_path(), ec);
    fs::copy_file(templateFile, profileFile, fs::copy_options::overwrite_existing, ec);
    if (ec) return fail("cannot copy " + templateFile.string());
    if (!qor::profile::writeString(profileFile.string(), "Qor32", "LibDir", folder.string()))
        return fail("cannot write " + profileFile.string());
    // The compiler dialog starts in the folder of the sources.
    const std::string sourceFolder = fs::absolute(argv[4]).parent_path().string();
    if (!qor::profile::writeString(profileFile.string(), "Qor32", "JobDir", sourceFolder))
        return fail("cannot write " + profileFile.string());

    auto& state = qor::thm::engine();
    qor::thm::setProfileFile(state, profileFile.c_str());
    for (int i = 4; i < argc; ++i) {
        const int devices = compileOne(argv[i], folder);
        if (devices < 0) return 1;
        std::printf("qor_thermal_libc: %s: %d devices\n", argv[i], devices);
    }
    return 0;
}
