#include <QKeyEvent>
#include <QPushButton>

#include "qor/widgets/qt_services.h"
#include "qor/widgets/shared_dialogs.h"

namespace qor::widgets {

AnalyzerDialog::AnalyzerDialog(QWidget* parent) : QDialog(parent) {}

void AnalyzerDialog::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && (event->modifiers() & Qt::ControlModifier)) {
        if (onHelp) onHelp();
        event->accept();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

QPushButton* AnalyzerDialog::Button(const char* name, const char* caption, int number) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (number) SetTag(b, number);
    return b;
}

}  // namespace qor::widgets
