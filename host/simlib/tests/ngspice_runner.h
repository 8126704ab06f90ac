// Runs ngspice in batch mode on a deck and reads back the vectors asked for.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qor::simlib::testing {

bool ngspiceAvailable();

struct Waveforms {
    std::vector<double> timeS;
    std::vector<std::vector<double>> values;  // one row per requested vector

    // Linear interpolation of vector `index` at tS.
    double at(std::size_t index, double tS) const;
};

// Removes its directory when the test passed; a failed test leaves the deck and log behind.
struct TestDirectory {
    std::filesystem::path path;
    ~TestDirectory();
};

// A fresh directory under the test temporary directory, named after the running test.
std::filesystem::path testDirectory();

// `netlist` is a complete deck ending in ".end"; a control block with tight tolerances is added
// before it, the deck is run with `ngspice -b` and the vectors are read back.
std::optional<Waveforms> runNgspice(const std::string& netlist,
                                    const std::vector<std::string>& vectors,
                                    const std::filesystem::path& directory);

}  // namespace qor::simlib::testing
