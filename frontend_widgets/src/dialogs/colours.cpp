#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "qor/widgets/main_frame.h"
#include "qor/widgets/qt_services.h"
#include "qor/widgets/shared_dialogs.h"

namespace qor::widgets {

namespace {

// Colours are Windows RGB numbers: red in the low byte.
QColor FromBgr(int32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QLabel* Cell(QWidget* parent, const QString& name) {
    auto* cell = new QLabel(parent);
    cell->setObjectName(name);
    cell->setFixedSize(36, 16);
    cell->setAutoFillBackground(true);
    return cell;
}

void Paint(QLabel* cell, int32_t colour) {
    QPalette p = cell->palette();
    p.setColor(QPalette::Window, FromBgr(colour));
    cell->setPalette(p);
    cell->setProperty("colour", colour);
}

QLabel* Caption(QWidget* parent, const char* name, const char* text, int number) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(name);
    SetTag(label, number);
    return label;
}

}  // namespace

ColoursDialog::ColoursDialog(const frontend::ColourTable& colours, frontend::Analyzer analyzer,
                             QWidget* parent)
    : AnalyzerDialog(parent), model_(colours) {
    setObjectName(analyzer == frontend::Analyzer::Em ? "EMACISOL" : "CtempFRM");
    setWindowTitle(tr("Colors"));
    SetTag(this, 99429);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->addWidget(Caption(this, "L_Scale", "Scale", 991145), 0, 1, Qt::AlignCenter);
    grid->addWidget(Caption(this, "L_Colors", "Colors", 99429), 0, 3, Qt::AlignCenter);
    grid->addWidget(Caption(this, "L_Max", "Max", 99877), 1, 0);
    grid->addWidget(Caption(this, "L_Min", "Min", 99884), 16, 0);
    for (int i = 0; i < 16; ++i) {
        const auto at = static_cast<size_t>(i);
        scale_[at] = Cell(this, QString("Pan_ColTab(%1)").arg(i));
        scale_[at]->installEventFilter(this);
        grid->addWidget(scale_[at], i + 1, 1);
        auto* frame = new QFrame(this);
        frame->setObjectName(QString("SRect(%1)").arg(i));
        frame->setLineWidth(2);
        auto* inFrame = new QHBoxLayout(frame);
        inFrame->setContentsMargins(2, 2, 2, 2);
        palette_[at] = Cell(frame, QString("Pan_ColSel(%1)").arg(i));
        palette_[at]->installEventFilter(this);
        inFrame->addWidget(palette_[at]);
        frames_[at] = frame;
        grid->addWidget(frame, i + 1, 3);
    }
    grid->setColumnMinimumWidth(2, 16);

    QPushButton* acceptButton = Button("Accept", "Accept", 99177);
    QPushButton* cancelButton = Button("Cancel", "Cancel", 99388);
    connect(acceptButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(acceptButton);
    buttons->addWidget(cancelButton);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addLayout(buttons);
    refresh();
}

void ColoursDialog::refresh() {
    for (int i = 0; i < 16; ++i) {
        const auto at = static_cast<size_t>(i);
        Paint(scale_[at], model_.ScaleCell(i));
        Paint(palette_[at], model_.PaletteCell(i));
        // Only the selected palette cell shows its frame.
        frames_[at]->setFrameShape(i == model_.selected() ? QFrame::Box : QFrame::NoFrame);
    }
}

bool ColoursDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < 16; ++i) {
            const auto at = static_cast<size_t>(i);
            if (watched == palette_[at]) model_.ClickPalette(i);
            if (watched == scale_[at]) model_.ClickScale(i);
        }
        refresh();
    }
    return AnalyzerDialog::eventFilter(watched, event);
}

bool ShowColours(MainFrame& frame) {
    auto* dialog = new ColoursDialog(frame.values().colours, frame.analyzer(), &frame);
    dialog->onHelp = [&frame] { frame.ShowCurrentHelp(); };
    std::optional<frontend::ColourTable> accepted;
    QObject::connect(dialog, &QDialog::accepted, dialog,
                     [&accepted, dialog] { accepted = dialog->colours(); });
    frame.ShowModalDialog(dialog);
    if (!accepted) return false;
    frame.SetColours(*accepted);
    return true;
}

}  // namespace qor::widgets
