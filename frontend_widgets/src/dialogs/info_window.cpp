#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qor/frontend/component_info.h"
#include "qor/widgets/board_view.h"
#include "qor/widgets/main_frame.h"
#include "qor/widgets/qt_services.h"
#include "qor/widgets/shared_dialogs.h"

namespace qor::widgets {

InfoWindow::InfoWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("THMINFOB");
    setWindowTitle(tr("Qor32 Info"));
    SetTag(this, 99635);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("F_TxtBuffer");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* frame = new QFrame(this);
    frame->setObjectName("F_Close");
    auto* closeButton = new QPushButton(tr("Close"), frame);
    closeButton->setObjectName("Close");
    SetTag(closeButton, 99422);
    connect(closeButton, &QPushButton::clicked, this, &InfoWindow::CloseWindow);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    row->addWidget(closeButton);
    // The text fills the width and the height above the close frame, also when resized.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->addWidget(text_, 1);
    column->addWidget(frame);
    resize(360, 200);
}

void InfoWindow::ShowText(const std::string& text, QPoint screenPoint, const QRect& mainWindow) {
    if (!isVisible()) {
        const frontend::ScreenPoint p = frontend::PlaceInfoWindow(
            {screenPoint.x(), screenPoint.y()}, frameGeometry().width(),
            {mainWindow.left(), mainWindow.top(), mainWindow.width(), mainWindow.height()});
        move(p.x, p.y);
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        show();
        raise();
    }
    text_->setPlainText(QString::fromStdString(text));
}

void InfoWindow::CloseWindow() {
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    hide();
}

void InfoWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && (event->modifiers() & Qt::ControlModifier)) {
        if (onHelp) onHelp();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

InfoWindow& ShowInfoText(MainFrame& frame, const std::string& text, QPoint areaPixel) {
    auto* window = frame.findChild<InfoWindow*>("THMINFOB", Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new InfoWindow;
        window->onHelp = [&frame] { frame.ShowCurrentHelp(); };
        frame.AddOwnedWindow(window);  // localized and shown; placed below
        window->hide();
    }
    QWidget* area = frame.view() ? static_cast<QWidget*>(frame.view()) : &frame;
    window->ShowText(text, area->mapToGlobal(areaPixel), frame.frameGeometry());
    return *window;
}

bool ShowComponentInfo(MainFrame& frame, int32_t component, int32_t pad, QPoint areaPixel,
                       int unitIndex) {
    const auto info = frontend::ReadComponentInfo(component, pad);
    if (!info) return false;
    std::string text;
    for (const std::string& line : frontend::ComponentInfoLines(*info, unitIndex)) {
        if (!text.empty()) text += "\n";
        text += line;
    }
    ShowInfoText(frame, text, areaPixel);
    return true;
}

}  // namespace qor::widgets
