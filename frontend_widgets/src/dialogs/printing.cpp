#include "qor/widgets/printing.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <memory>

#include "qor/frontend/cancel_key.h"
#include "qor/frontend/print_pages.h"
#include "qor/kernel/print.h"
#include "qor/kernel/surface.h"
#include "qor/widgets/painter_surface.h"

namespace qor::widgets {

namespace {

constexpr int32_t kPrintMaxZoom = 2540000;  // units per pixel: one inch
constexpr int32_t kPrintingDrawFlag = 64;

// Watches the application's keys while a document prints: F10 asks to cancel.
class CancelKeyWatch : public QObject {
  public:
    CancelKeyWatch() { qApp->installEventFilter(this); }
    ~CancelKeyWatch() override { qApp->removeEventFilter(this); }
    bool requested() {
        QCoreApplication::processEvents();
        return frontend::CancelRequested(key_);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* k = static_cast<QKeyEvent*>(event);
            if (k->key() == Qt::Key_F10 && !k->isAutoRepeat()) {
                if (event->type() == QEvent::KeyPress)
                    key_.pressed();
                else
                    key_.released();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    frontend::LatchedCancelKey key_;
};

// The pages of a document on a printer, each a kernel context on the printer's painter.
class PrinterPages : public frontend::PrintTarget {
  public:
    PrinterPages(QPrinter& printer, QPainter& painter, PainterSurface& surface, int32_t number,
                 const std::function<void()>& draw, const std::function<bool()>& cancel,
                 const std::function<void(const std::string&)>& message)
        : printer_(printer),
          painter_(painter),
          surface_(surface),
          number_(number),
          draw_(draw),
          cancel_(cancel),
          message_(message) {}

    void Message(const std::string& text) override {
        if (message_) message_(text);
    }
    bool DrawPage(const KViewRecord& page) override {
        KViewRecord view = page;
        view.drawFlags |= kPrintingDrawFlag;
        surface_.setPainter(&painter_);
        G_OpenDC(number_, &view);
        if (draw_) draw_();
        G_CloseDC();
        surface_.setPainter(nullptr);
        return cancel_ && cancel_();
    }
    void NewPage() override { printer_.newPage(); }
    void EndDocument() override { painter_.end(); }

  private:
    QPrinter& printer_;
    QPainter& painter_;
    PainterSurface& surface_;
    int32_t number_;
    const std::function<void()>& draw_;
    const std::function<bool()>& cancel_;
    const std::function<void(const std::string&)>& message_;
};

}  // namespace

Printing::Printing(frontend::Analyzer analyzer) : analyzer_(analyzer) {
    orientation_ = QPrinter().pageLayout().orientation();
}

bool Printing::Setup(QWidget* owner) {
    QPrinter printer;
    printer.setCopyCount(copies_);
    printer.setPageOrientation(orientation_);
    const bool accepted = runSetupDialog ? runSetupDialog(printer, owner) : [&] {
        QPrintDialog dialog(&printer, owner);
        dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
        return dialog.exec() == QDialog::Accepted;
    }();
    if (!accepted) return false;
    copies_ = printer.copyCount();
    orientation_ = printer.pageLayout().orientation();
    return true;
}

int Printing::Print(QPrinter& printer, const KRect& area, const std::function<void()>& drawPicture,
                    QWidget*) {
    printer.setCopyCount(copies_);
    printer.setPageOrientation(orientation_);
    auto owned = std::make_unique<PainterSurface>();
    PainterSurface& surface = *owned;
    const int32_t number = kernel::attachSurface(std::move(owned));
    if (number == 0) return 0;
    struct Detach {
        int32_t number;
        ~Detach() { G_DeleteSurface(number); }
    } detach{number};

    KPrintSetup setup{};
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    setup.pageWidth = page.width();
    setup.pageHeight = page.height();
    setup.dotsPerInch = printer.resolution();
    const int32_t accepted =
        scaleSetup ? scaleSetup(number, area, setup)
                   : E_PrintScaleSetupDialog(number, area.left, area.bottom, area.right, area.top,
                                             kPrintMaxZoom, &setup, 0);
    if (accepted == 0) return 0;

    QPainter painter;
    if (!painter.begin(&printer)) return 0;  // a printer error: nothing printed
    painter.setRenderHint(QPainter::Antialiasing);
    CancelKeyWatch watch;
    const std::function<bool()> cancel =
        cancelRequested ? cancelRequested
                        : std::function<bool()>([&watch] { return watch.requested(); });
    PrinterPages pages(printer, painter, surface, number, drawPicture, cancel, message);
    return frontend::PrintPages(setup, analyzer_, pages);
}

// ---- Print-scale dialog
// ----------------------------------------------------------------------------

PrintScaleDialog::PrintScaleDialog(const KRect& area, const KPrintSetup& setup, QWidget* parent)
    : QDialog(parent), area_(area), setup_(setup) {
    setObjectName("PrintScale");
    setWindowTitle(tr("Print Scale"));
    scale_ = new QSpinBox(this);
    scale_->setObjectName("ScaleValue");
    scale_->setRange(1, 10000);
    scale_->setSuffix(" %");
    scale_->setValue(setup.scale > 0 ? (setup.scale + 5) / 10 : 100);
    fit_ = new QCheckBox(tr("Fit on one page"), this);
    fit_->setObjectName("FitOnePage");
    fit_->setChecked(setup.scale <= 0);
    pages_ = new QLabel(this);
    pages_->setObjectName("PagesCount");
    connect(scale_, &QSpinBox::valueChanged, this, [this] { update(); });
    connect(fit_, &QCheckBox::toggled, this, [this] { update(); });
    auto* okButton = new QPushButton(tr("OK"), this);
    okButton->setObjectName("Accept");
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName("Cancel");
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Scale:"), this));
    row->addWidget(scale_);
    row->addWidget(fit_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pages_, 1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addLayout(buttons);
    update();
}

int32_t PrintScaleDialog::scale() const {
    return fit_->isChecked() ? 0 : scale_->value() * 10;
}

QString PrintScaleDialog::pagesText() const {
    KPrintSetup s = setup_;
    s.scale = scale();
    const frontend::PageTiling t = frontend::EstimatePageTiling(area_, s);
    return tr("Pages: %1 x %2 = %3").arg(t.columns).arg(t.rows).arg(t.columns * t.rows);
}

void PrintScaleDialog::update() {
    scale_->setEnabled(!fit_->isChecked());
    pages_->setText(pagesText());
}

bool RunPrintScaleDialog(const KRect& area, KPrintSetup& setup,
                         const std::function<bool(PrintScaleDialog&)>& run) {
    PrintScaleDialog dialog(area, setup, QApplication::activeWindow());
    const bool accepted = run ? run(dialog) : dialog.exec() == QDialog::Accepted;
    if (accepted) setup.scale = dialog.scale();
    return accepted;
}

void InstallPrintScaleDialog(std::function<bool(PrintScaleDialog&)> run) {
    kernel::setPrintScaleDialog([run](const KRect& area, KPrintSetup& setup, int32_t) {
        return RunPrintScaleDialog(area, setup, run);
    });
}

// ---- Clipboard and the board picture
// -------------------------------------------------------------

bool CopyPictureToClipboard(const QImage& picture) {
    if (picture.isNull()) return false;
    QGuiApplication::clipboard()->setImage(picture);
    return true;
}


}  // namespace qor::widgets
