// QORTHM32 bound by name at first use, from the folder of this library.
#pragma once

#include <string>

#include "qor/frontend/engine.h"

namespace qor::thermal {

class ThermalEngineBinding : public frontend::AnalyzerEngine {
  public:
    ~ThermalEngineBinding() override;
    bool Bind(std::string& why) override;
    bool LoadDataBase(const std::string& profileFile) override;
    bool LoadParameters() override;
    bool SaveParameters() override;
    void DeleteDataBase() override;
    int ErrorCode() override;
    int ErrorFunc() override;

  private:
    void* library_ = nullptr;
    int (*load_)(const char*) = nullptr;
    int (*loadParameters_)() = nullptr;
    int (*saveParameters_)() = nullptr;
    void (*delete_)() = nullptr;
    int (*errorCode_)() = nullptr;
    int (*errorFunc_)() = nullptr;
};

}  // namespace qor::thermal
