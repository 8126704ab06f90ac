#include "ngspice_runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace qor::simlib::testing {

bool ngspiceAvailable() {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::stringstream dirs(path);
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && std::filesystem::exists(std::filesystem::path(dir) / "ngspice")) {
            return true;
        }
    }
    return false;
}

double Waveforms::at(std::size_t index, double tS) const {
    const auto& v = values[index];
    if (timeS.empty()) return 0;
    if (tS <= timeS.front()) return v.front();
    if (tS >= timeS.back()) return v.back();
    const auto it = std::upper_bound(timeS.begin(), timeS.end(), tS);
    const std::size_t hi = static_cast<std::size_t>(it - timeS.begin());
    const std::size_t lo = hi - 1;
    const double span = timeS[hi] - timeS[lo];
    const double w = span > 0 ? (tS - timeS[lo]) / span : 0;
    return v[lo] + (v[hi] - v[lo]) * w;
}

TestDirectory::~TestDirectory() {
    std::error_code ignored;
    if (!::testing::Test::HasFailure()) std::filesystem::remove_all(path, ignored);
}

std::filesystem::path testDirectory() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    const auto dir = std::filesystem::path(::testing::TempDir()) /
                     ("qor_simlib_" + std::to_string(::getpid()) + "_" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::optional<Waveforms> runNgspice(const std::string& netlist,
                                    const std::vector<std::string>& vectors,
                                    const std::filesystem::path& directory) {
    std::string deck = netlist;
    const auto end = deck.rfind(".end");
    if (end == std::string::npos) return std::nullopt;
    deck.erase(end);
    const auto out = directory / "out.txt";
    deck += ".options reltol=1e-6 abstol=1e-15 vntol=1e-9 chgtol=1e-20 trtol=1 method=trap\n";
    deck += ".control\nset wr_singlescale\nset noaskquit\nrun\nwrdata " + out.string();
    for (const auto& v : vectors) deck += " " + v;
    deck += "\nquit\n.endc\n.end\n";
    const auto deckPath = directory / "deck.cir";
    {
        std::ofstream f(deckPath);
        f << deck;
    }
    const std::string command =
        "ngspice -b " + deckPath.string() + " > " + (directory / "ngspice.log").string() + " 2>&1";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(out)) return std::nullopt;

    Waveforms w;
    w.values.resize(vectors.size());
    std::ifstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        double t = 0;
        if (!(fields >> t)) continue;
        std::vector<double> row(vectors.size());
        bool ok = true;
        for (auto& value : row) ok = ok && static_cast<bool>(fields >> value);
        if (!ok) continue;
        w.timeS.push_back(t);
        for (std::size_t i = 0; i < row.size(); ++i) w.values[i].push_back(row[i]);
    }
    if (w.timeS.empty()) return std::nullopt;
    return w;
}

}  // namespace qor::simlib::testing
