// An analysis engine (QORTHM32, QOREMA32) bound by name at first use, from the folder of the
// front-end library that uses it.
#pragma once

#include <string>

#include "qor/frontend/engine.h"

namespace qor::frontend {

class EngineBinding : public AnalyzerEngine {
  public:
    // library: the engine's file name ("libQORTHM32.so"); prefix: its exports' prefix ("THM_",
    // "EMA_"). withParameters: the engine keeps analysis parameter records of its own
    // (A_LoadParameters, A_SaveParameters); without them both steps have nothing to do.
    EngineBinding(std::string library, std::string prefix, bool withParameters)
        : library_(std::move(library)),
          prefix_(std::move(prefix)),
          withParameters_(withParameters) {}

    bool Bind(std::string& why) override;
    bool LoadDataBase(const std::string& profileFile) override;
    bool LoadParameters() override;
    bool SaveParameters() override;
    void DeleteDataBase() override;
    int ErrorCode() override;
    int ErrorFunc() override;

  private:
    std::string library_, prefix_;
    bool withParameters_;
    bool bound_ = false;
    int (*load_)(const char*) = nullptr;
    int (*loadParameters_)() = nullptr;
    int (*saveParameters_)() = nullptr;
    void (*delete_)() = nullptr;
    int (*errorCode_)() = nullptr;
    int (*errorFunc_)() = nullptr;
};

}  // namespace qor::frontend
