#include "qor/widgets/frame_component.h"

#include <QApplication>
#include <QLineEdit>

namespace qor::widgets {

FrameComponent::FrameComponent(const MakeWindow& make, StartupValues& values)
    : values_(values), window_(make(values)) {
    window_->SetNotifyClass([this](const std::string& aname, const std::string& command) {
        if (notify_) notify_(aname, command);
    });
}

FrameComponent::~FrameComponent() {
    // The host has let go of the class: nobody listens to the unload any more.
    notify_ = nullptr;
    if (window_ && window_->isLoaded()) window_->Exit();
}

bool FrameComponent::Load(int16_t windowState) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    window_->StartUp();
    const bool shown = window_->isLoaded() && window_->isVisible();
    if (shown) {
        if (windowState == 1)
            window_->Minimize();
        else if (windowState == 2)
            window_->Maximize();
        else
            window_->RestoreSize();
    }
    QApplication::restoreOverrideCursor();
    return shown;
}

void FrameComponent::NotifyMe(const std::string&, const std::string& command) {
    if (!command.empty()) window_->AP_ExeCmd(command);
}

bool FrameComponent::SetHiddenText(const std::string& box, const std::string& text) {
    if (box != "F_Short" && box != "F_FrmCmd") return false;
    auto* edit = window_->findChild<QLineEdit*>(QString::fromStdString(box));
    if (!edit) return false;
    edit->setText(QString::fromStdString(text));
    return true;
}

}  // namespace qor::widgets
