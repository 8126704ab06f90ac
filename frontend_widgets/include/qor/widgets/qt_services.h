// The frame's services over Qt: message boxes, fonts, the host's help, localizable controls.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "qor/frontend/context_help.h"
#include "qor/frontend/localization.h"
#include "qor/frontend/messages.h"

class QAction;

namespace qor::widgets {

// Where message boxes go instead of the screen: scripted runs and tests install a handler.
using MessageHandler = std::function<void(const frontend::MessageRequest&)>;
void SetMessageHandler(MessageHandler handler);

// Message boxes with an OK button, owned by a window.
class QtMessageBox : public frontend::MessageBox {
  public:
    explicit QtMessageBox(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    void show(const frontend::MessageRequest& request) override;

  private:
    QPointer<QWidget> owner_;
};

class QtFontSystem : public frontend::FontSystem {
  public:
    std::string reportedFaceName(const std::string& name) override;
    std::string iconTitleFaceName() override;
    std::string defaultGuiFaceName() override;
    int userLocaleCharset() override;
};

// The system locale as a locale number: primary language in the low 10 bits, sublanguage above.
uint32_t SystemLocaleNumber();

// Context help through the kernel: the host's switch is system table 12, topics go to
// H_DispTopic; the help viewer's placement command has nothing to place in our stand-in.
class KernelHelpSystem : public frontend::HelpSystem {
  public:
    bool contextHelpOn() override;
    void displayTopic(const std::string& helpFile, int topic) override;
    void helpCommand(const std::string& helpFile, const std::string& command) override;
    void showContents(const std::string& helpFile) override;
};

// Message numbers live in the property "tag" of widgets and actions.
void SetTag(QObject* object, int messageNumber);

// Localizes a window and the controls it owns (widgets and menu actions, in creation order).
void LocalizeWidgetWindow(QWidget* window, const frontend::InterfaceFont& font);

}  // namespace qor::widgets
