#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "qor/widgets/main_frame.h"
#include "qor/widgets/qt_services.h"
#include "qor/widgets/shared_dialogs.h"

namespace qor::widgets {

using frontend::ActiveLayersGrid;

ActiveLayersDialog::ActiveLayersDialog(frontend::LayerTable& table, frontend::Analyzer analyzer,
                                       QWidget* parent)
    : AnalyzerDialog(parent), grid_(table, analyzer) {
    const bool em = analyzer == frontend::Analyzer::Em;
    setObjectName(em ? "EMAACTIV" : "THMACTIV");
    setWindowTitle(tr("Select Active Layers"));
    SetTag(this, 991169);
    table_ = new QTableWidget(ActiveLayersGrid::kRows, ActiveLayersGrid::kColumns, this);
    table_->setObjectName("F_Layer");
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table_->viewport()->installEventFilter(this);
    const QFontMetrics metrics(table_->font());
    table_->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("000")) + 12);
    table_->setColumnWidth(1, metrics.horizontalAdvance(QString(15, QChar('B'))) + 8);
    table_->setColumnWidth(
        2, metrics.horizontalAdvance(QString::fromStdString(grid_.EnabledColumnText())) + 8);
    table_->setMinimumWidth(table_->columnWidth(0) + table_->columnWidth(1) +
                            table_->columnWidth(2) + 24);
    table_->setMinimumHeight(300);

    QPushButton* acceptButton = Button("Accept", "Accept", 99177);
    QPushButton* cancelButton = Button("Cancel", "Cancel", 99388);
    connect(acceptButton, &QPushButton::clicked, this, [this] {
        grid_.Accept();
        accept();
    });
    connect(cancelButton, &QPushButton::clicked, this, &ActiveLayersDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(acceptButton);
    buttons->addWidget(cancelButton);
    auto* column = new QVBoxLayout(this);
    column->addWidget(table_, 1);
    column->addLayout(buttons);
    Fill();
}

void ActiveLayersDialog::reject() {
    // "Cancel", Escape or the window's close box: the table is read back from the kernel.
    grid_.Cancel();
    Fill();
    AnalyzerDialog::reject();
}

void ActiveLayersDialog::Fill() {
    for (int row = 0; row < ActiveLayersGrid::kRows; ++row) fillRow(row);
}

void ActiveLayersDialog::fillRow(int row) {
    for (int column = 0; column < ActiveLayersGrid::kColumns; ++column) {
        QTableWidgetItem* item = table_->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            if (row == 0 || column != 1) item->setTextAlignment(Qt::AlignCenter);
            if (row == 0) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setFlags(Qt::ItemIsEnabled);
            }
            table_->setItem(row, column, item);
        }
        item->setText(QString::fromStdString(grid_.Cell(row, column)));
    }
}

void ActiveLayersDialog::showEvent(QShowEvent* event) {
    AnalyzerDialog::showEvent(event);
    // Shown by ShowModalDialog: the grid is filled once more on its first activation.
    if (!activated_) {
        activated_ = true;
        Fill();
    }
}

bool ActiveLayersDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* m = static_cast<QMouseEvent*>(event);
            grid_.Press(table_->rowAt(static_cast<int>(m->position().y())));
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* m = static_cast<QMouseEvent*>(event);
            const int y = static_cast<int>(m->position().y());
            int end = table_->rowAt(y);
            if (end < 0) end = y < 0 ? 0 : ActiveLayersGrid::kRows - 1;  // released off the rows
            for (int row : grid_.Release(end)) fillRow(row);
        }
    }
    return AnalyzerDialog::eventFilter(watched, event);
}

bool ShowActiveLayers(MainFrame& frame, frontend::LayerTable& table) {
    auto* dialog = new ActiveLayersDialog(table, frame.analyzer(), &frame);
    dialog->onHelp = [&frame] { frame.ShowCurrentHelp(); };
    bool cancelled = true;
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [&cancelled, dialog] { cancelled = dialog->cancelled(); });
    frame.ShowModalDialog(dialog);
    return !cancelled;
}

}  // namespace qor::widgets
