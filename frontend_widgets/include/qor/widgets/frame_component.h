// The host-facing class of a front end over its main window frame (clsQortherm, clsQorema).
#pragma once

#include <functional>
#include <memory>

#include "qor/frontend/component.h"
#include "qor/widgets/main_frame.h"

namespace qor::widgets {

class FrameComponent : public frontend::HostComponent {
  public:
    using MakeWindow = std::function<std::unique_ptr<MainFrame>(StartupValues&)>;

    // Creates the main window object (not yet shown) over the library's start-up values.
    FrameComponent(const MakeWindow& make, StartupValues& values);
    ~FrameComponent() override;

    bool Load(int16_t windowState) override;
    void NotifyMe(const std::string& aname, const std::string& command) override;
    void SetSeverPath(const std::string& path) override { values_.serverPath = path; }
    std::string SeverPath() const override { return values_.serverPath; }
    void SetNotifyClass(NotifyHandler handler) override { notify_ = std::move(handler); }
    bool SetHiddenText(const std::string& box, const std::string& text) override;

    MainFrame* window() const { return window_.get(); }

  private:
    StartupValues& values_;
    std::unique_ptr<MainFrame> window_;
    NotifyHandler notify_;
};

}  // namespace qor::widgets
