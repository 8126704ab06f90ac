// The analysis engine as the front-end frame drives it at start-up, reload and shut-down.
#pragma once

#include <string>

namespace qor::frontend {

class AnalyzerEngine {
  public:
    virtual ~AnalyzerEngine() = default;
    // Binds the engine by name at first use; false (with the reason) when it cannot be bound.
    virtual bool Bind(std::string& why) = 0;
    // Loads the board of the open design; false with ErrorCode and ErrorFunc set.
    virtual bool LoadDataBase(const std::string& profileFile) = 0;
    virtual bool LoadParameters() = 0;
    virtual bool SaveParameters() = 0;
    virtual void DeleteDataBase() = 0;
    virtual int ErrorCode() = 0;
    virtual int ErrorFunc() = 0;
};

}  // namespace qor::frontend
