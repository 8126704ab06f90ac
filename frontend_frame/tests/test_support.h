// Shared test helpers: a message box that records, catalogs written on the fly, a scratch folder,
// the demo design open in the kernel.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demo_design.h"
#include "qor/design/design_file.h"
#include "qor/frontend/messages.h"
#include "qor/kernel/kernel.h"
#include "qor/localtext/localtext.h"

namespace qor::frontend::testing {

class RecordingMessageBox : public MessageBox {
  public:
    void show(const MessageRequest& request) override { shown.push_back(request); }
    std::vector<MessageRequest> shown;
};

// A scratch folder of the running test, removed afterwards.
class ScratchDir {
  public:
    ScratchDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("qor_frontend_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(file(name), std::ios::binary) << content;
        return file(name);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Replaces the message catalog by the given "number=text" lines (none: every text falls back to
// its default).
inline void UseCatalog(const ScratchDir& dir, const std::string& lines) {
    ASSERT_GE(L32_LoadCatalog(dir.write("catalog.txt", lines).c_str()), 0);
}

inline void UseShippedCatalog(const std::string& language) {
    ASSERT_GT(L32_LoadCatalog(
                  (std::string(QOR_SOURCE_DIR) + "/examples/lang/" + language + ".txt").c_str()),
              0);
}

// The demo design open in the kernel for the length of a test.
class DemoDesignTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        const std::string path = dir_.file("demo.qdb");
        ASSERT_TRUE(design::DesignFile::create(path, examples::buildDemoDesign(), error)) << error;
        ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();
    }
    void TearDown() override { DB_CloseDesign(); }

    ScratchDir dir_;
};

}  // namespace qor::frontend::testing
