#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "qor/widgets/main_frame.h"
#include "qor/widgets/qt_services.h"
#include "qor/widgets/shared_dialogs.h"

namespace qor::widgets {

InputBox::InputBox(const std::string& prompt, const std::string& secondPrompt,
                   const std::string& defaultText, QWidget* parent)
    : AnalyzerDialog(parent) {
    setObjectName("QorInpBG");
    setWindowTitle(QString());
    auto* promptArea = new QPlainTextEdit(this);
    promptArea->setObjectName("InpPrompt");
    promptArea->setReadOnly(true);
    promptArea->setFocusPolicy(Qt::NoFocus);
    promptArea->setPlainText(
        QString::fromStdString(frontend::InputPromptText(prompt, secondPrompt)));
    promptArea->setFixedHeight(promptArea->fontMetrics().lineSpacing() * 3 + 12);
    entry_ = new QLineEdit(QString::fromStdString(defaultText), this);
    entry_->setObjectName("InpText");
    entry_->selectAll();

    QPushButton* acceptButton = Button("Accept", "Accept", 99177);
    QPushButton* cancelButton = Button("Cancel", "Cancel", 99388);
    const auto answer = [this] {
        answer_ = frontend::AcceptedInputAnswer(entry_->text().toStdString());
        accept();
    };
    connect(acceptButton, &QPushButton::clicked, this, answer);
    connect(entry_, &QLineEdit::returnPressed, this, answer);
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        answer_.clear();
        reject();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(acceptButton);
    buttons->addWidget(cancelButton);
    auto* column = new QVBoxLayout(this);
    column->addWidget(promptArea);
    column->addWidget(entry_);
    column->addLayout(buttons);
    setMinimumWidth(360);
}

void InputBox::showEvent(QShowEvent* event) {
    AnalyzerDialog::showEvent(event);
    if (placement) move(placement(frameGeometry().size()));
    // On activation the entry has the focus and the box is on top.
    raise();
    activateWindow();
    entry_->setFocus();
    entry_->selectAll();
}

std::string InputLine(MainFrame& frame, const std::string& prompt, const std::string& secondPrompt,
                      const std::string& defaultText) {
    auto* box = new InputBox(prompt, secondPrompt, defaultText, &frame);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->onHelp = [&frame] { frame.ShowCurrentHelp(); };
    // The modal depth before the box counts itself.
    const int depth = frame.coordination().modalDepth();
    box->placement = [&frame, depth](QSize size) {
        const QRect g = frame.frameGeometry();
        QRect s(0, 0, 1024, 768);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) s = screen->geometry();
        const frontend::ScreenPoint p = frontend::PlaceInputBox(
            depth, size.width(), size.height(), {g.left(), g.top(), g.width(), g.height()},
            {s.left(), s.top(), s.width(), s.height()});
        return QPoint(p.x, p.y);
    };
    std::string answer;
    QObject::connect(box, &QDialog::finished, box, [&answer, box] { answer = box->answer(); });
    frame.ShowModalDialog(box);
    return frontend::InputLineResult(answer);
}

}  // namespace qor::widgets
