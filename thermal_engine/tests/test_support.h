// Shared fixtures of the thermal engine tests: a scratch folder, library bytes, a clean engine.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "engine_state.h"
#include "qorthm32.h"

namespace qor::thm::test {

namespace fs = std::filesystem;

using Bytes = std::vector<unsigned char>;

inline Bytes readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const fs::path& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

inline DeviceRecord device(const char* name, std::uint8_t package, double minW, double maxW,
                           double jc, double ca) {
    DeviceRecord r{};
    std::memcpy(r.name, name, ::strnlen(name, sizeof r.name));
    r.packageType = package;
    r.minPowerW = minW;
    r.maxPowerW = maxW;
    r.junctionCaseCPerW = jc;
    r.caseAirCPerW = ca;
    return r;
}

// The bytes of a library file holding `records` as given (no sorting). The header's count is the
// number of records, or `countOverride` when that is not negative.
inline Bytes libraryBytes(const std::vector<DeviceRecord>& records,
                          std::int64_t countOverride = -1) {
    unsigned char header[kLibraryHeaderBytes];
    const auto count =
        static_cast<std::int32_t>(countOverride >= 0 ? countOverride : std::ssize(records));
    makeLibraryHeader(header, count);
    Bytes bytes(header, header + sizeof header);
    for (const DeviceRecord& r : records) {
        const auto* p = reinterpret_cast<const unsigned char*>(&r);
        bytes.insert(bytes.end(), p, p + sizeof r);
    }
    return bytes;
}

inline std::string nameOf(const DeviceRecord& r) {
    return std::string(r.name, ::strnlen(r.name, 15));
}

// Every device name of the selected library, in table order.
inline std::vector<std::string> selectedNames() {
    std::vector<std::string> names;
    char buffer[17];
    for (int more = THM_L_DeviceGetFirst(buffer); more; more = THM_L_DeviceGetNext(buffer))
        names.emplace_back(buffer);
    return names;
}

// Every name of the begun library set, in order.
inline std::vector<std::string> setNames() {
    std::vector<std::string> names;
    char buffer[16];
    for (int more = THM_S_GetFirst(buffer); more; more = THM_S_GetNext(buffer))
        names.emplace_back(buffer);
    return names;
}

// A fresh scratch folder per test and an engine with nothing selected, begun or loaded.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qor-thm-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        resetEngine();
    }
    void TearDown() override {
        resetEngine();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    static void resetEngine() {
        EngineState& s = engine();
        s.library.release();
        s.compiler.close(s.library);
        s.librarySet.end();
        deleteDataBase(s);
        setError(s, 0, 0);
        setProfileFile(s, "");
    }

    fs::path path(const std::string& name) const { return dir_ / name; }
    std::string pathText(const std::string& name) const { return path(name).string(); }

    // A library file `name` holding `records` (sorted as given).
    std::string makeLibrary(const std::string& name, const std::vector<DeviceRecord>& records) {
        writeBytes(path(name), libraryBytes(records));
        return pathText(name);
    }

    // A profile file whose library folder is the scratch folder and whose set holds `libraries`.
    std::string makeProfile(std::initializer_list<const char*> libraries) {
        std::string text = "[Qor32]\r\nLibDir=" + dir_.string() +
                           "\r\n\r\n[Library]\r\nNumber=" + std::to_string(libraries.size()) +
                           "\r\n";
        int i = 0;
        for (const char* name : libraries)
            text += "Library#" + std::to_string(++i) + "=" + name + "\r\n";
        writeText(path("qor32.ini"), text);
        setProfileFile(engine(), pathText("qor32.ini").c_str());
        return pathText("qor32.ini");
    }

    fs::path dir_;
};

}  // namespace qor::thm::test
