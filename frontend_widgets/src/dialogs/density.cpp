#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "qor/widgets/main_frame.h"
#include "qor/widgets/qt_services.h"
#include "qor/widgets/shared_dialogs.h"

namespace qor::widgets {

namespace {

QScrollBar* Bar(QWidget* parent, int minimum, int maximum, int small, int large) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName("HSB_Value");
    bar->setRange(minimum, maximum);
    bar->setSingleStep(small);
    bar->setPageStep(large);
    bar->setMinimumWidth(240);
    return bar;
}

QLabel* ValueLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName("SSP_Value");
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(90);
    return label;
}

}  // namespace

IsothermDensityDialog::IsothermDensityDialog(int32_t step, int temperatureUnit, QWidget* parent)
    : AnalyzerDialog(parent), density_(temperatureUnit) {
    setObjectName("DensityFRM");
    setWindowTitle(tr("Isotherms' Density"));
    SetTag(this, 3954);
    bar_ = Bar(this, density_.minimum(), density_.maximum(), density_.smallStep(),
               density_.largeStep());
    label_ = ValueLabel(this);
    connect(bar_, &QScrollBar::valueChanged, this, [this](int position) {
        label_->setText(QString::fromStdString(density_.Label(position)));
    });
    bar_->setValue(density_.PositionFromStep(step));
    label_->setText(QString::fromStdString(density_.Label(bar_->value())));

    QPushButton* byDefaultButton = Button("Default", "Default", 99519);
    QPushButton* acceptButton = Button("Accept", "Accept", 99177);
    QPushButton* cancelButton = Button("Cancel", "Cancel", 99388);
    connect(byDefaultButton, &QPushButton::clicked, this,
            [this] { bar_->setValue(density_.defaultPosition()); });
    connect(acceptButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(bar_, 1);
    row->addWidget(label_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(byDefaultButton);
    buttons->addStretch(1);
    buttons->addWidget(acceptButton);
    buttons->addWidget(cancelButton);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addLayout(buttons);
}

int32_t IsothermDensityDialog::step() const {
    return density_.StepFromPosition(bar_->value());
}

std::optional<int32_t> ShowIsothermDensity(MainFrame& frame, int32_t step, int temperatureUnit) {
    auto* dialog = new IsothermDensityDialog(step, temperatureUnit, &frame);
    dialog->onHelp = [&frame] { frame.ShowCurrentHelp(); };
    std::optional<int32_t> accepted;
    QObject::connect(dialog, &QDialog::accepted, dialog,
                     [&accepted, dialog] { accepted = dialog->step(); });
    frame.ShowModalDialog(dialog);
    return accepted;
}

IsolineDensityDialog::IsolineDensityDialog(int32_t density, double fieldMin, double fieldMax,
                                           std::function<std::string(double)> formatValue,
                                           QWidget* parent)
    : AnalyzerDialog(parent) {
    using frontend::IsolineDensity;
    setObjectName("EMADENS");
    setWindowTitle(tr("Isoline's Density"));
    SetTag(this, 4353);
    auto* frame = new QGroupBox(tr("Density: "), this);
    frame->setObjectName("F_Density");
    SetTag(frame, 43140);
    bar_ = Bar(frame, IsolineDensity::kMinimum, IsolineDensity::kMaximum,
               IsolineDensity::kSmallStep, IsolineDensity::kLargeStep);
    label_ = ValueLabel(frame);
    const auto show = [this, fieldMin, fieldMax, formatValue](int position, bool opening) {
        const double value = IsolineDensity::LabelValue(position, fieldMin, fieldMax, opening);
        label_->setText(
            QString::fromStdString(formatValue ? formatValue(value) : std::to_string(value)));
    };
    bar_->setValue(
        std::clamp<int32_t>(density, IsolineDensity::kMinimum, IsolineDensity::kMaximum));
    show(bar_->value(), true);
    connect(bar_, &QScrollBar::valueChanged, this, [show](int position) { show(position, false); });

    QPushButton* acceptButton = Button("Accept", "Accept", 99177);
    QPushButton* cancelButton = Button("Cancel", "Cancel", 99388);
    connect(acceptButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(bar_, 1);
    row->addWidget(label_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(acceptButton);
    buttons->addWidget(cancelButton);
    auto* column = new QVBoxLayout(this);
    column->addWidget(frame);
    column->addLayout(buttons);
}

int32_t IsolineDensityDialog::density() const {
    return bar_->value();
}

std::optional<int32_t> ShowIsolineDensity(MainFrame& frame, int32_t density, double fieldMin,
                                          double fieldMax,
                                          std::function<std::string(double)> formatValue) {
    auto* dialog =
        new IsolineDensityDialog(density, fieldMin, fieldMax, std::move(formatValue), &frame);
    dialog->onHelp = [&frame] { frame.ShowCurrentHelp(); };
    std::optional<int32_t> accepted;
    QObject::connect(dialog, &QDialog::accepted, dialog,
                     [&accepted, dialog] { accepted = dialog->density(); });
    frame.ShowModalDialog(dialog);
    return accepted;
}

}  // namespace qor::widgets
