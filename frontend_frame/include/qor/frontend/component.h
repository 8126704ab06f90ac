// The host-facing class of an analyzer front end, as the host sees it: the front end is a shared
// library that the host loads at run time and asks for an object by class name
// ("clsQortherm", "clsQorema") through the exported C function QorCreateObject.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qor::frontend {

class HostComponent {
  public:
    // The event NotifyClass(Aname, sCommand) toward the host.
    using NotifyHandler = std::function<void(const std::string& aname, const std::string& command)>;

    virtual ~HostComponent() = default;

    // Shows the main window (running its start-up) and sets its window state (0 normal,
    // 1 minimized, 2 maximized); false when the window did not come up.
    virtual bool Load(int16_t windowState) = 0;
    // Hands a non-empty command to the main window's AP_ExeCmd; aname is not used.
    virtual void NotifyMe(const std::string& aname, const std::string& command) = 0;
    // The folder of the help files and the tool-panel menu profile; set before Load.
    virtual void SetSeverPath(const std::string& path) = 0;
    virtual std::string SeverPath() const = 0;
    // Connects the NotifyClass event.
    virtual void SetNotifyClass(NotifyHandler handler) = 0;
    // Writes the text of one of the main window's hidden command boxes ("F_Short", "F_FrmCmd"),
    // the way the suite's other programs reach them; false when the window has no such box.
    virtual bool SetHiddenText(const std::string& box, const std::string& text) = 0;
};

// The factory every front-end library exports: a new object of the class, or null for a class
// name it does not publish. The host owns the object and deletes it to release it.
using CreateObjectFunction = HostComponent* (*)(const char* className);
inline constexpr const char* kCreateObjectSymbol = "QorCreateObject";

}  // namespace qor::frontend
