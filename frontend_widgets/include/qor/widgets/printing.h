// Printing the current picture on a printer, the printer set-up, the host's print-scale dialog
// over Qt, and copying a picture to the clipboard.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPageLayout>
#include <functional>
#include <string>

#include "qor/frontend/analyzer.h"
#include "qor/kernel/kernel.h"

class QCheckBox;
class QLabel;
class QPrinter;
class QSpinBox;

namespace qor::widgets {

class Printing {
  public:
    explicit Printing(frontend::Analyzer analyzer);

    // What "Printer &Setup" stored for later printing (initially 1 copy and the default printer's
    // orientation).
    int copies() const { return copies_; }
    QPageLayout::Orientation orientation() const { return orientation_; }

    // "Printer &Setup": the system printer dialog in set-up form; its copies and orientation are
    // kept when it is accepted. False when cancelled (the old values stay).
    bool Setup(QWidget* owner);
    // Shows the set-up dialog on a printer; a test installs its own.
    std::function<bool(QPrinter& printer, QWidget* owner)> runSetupDialog;

    // "&Print" on a printer: the stored copies and orientation are applied, the kernel's print
    // scale set-up tiles the area (kernel units, margin included) and every page gets a kernel
    // context on the printer in which drawPicture draws the current display state. Returns the
    // pages printed; 0 when the set-up was cancelled or the printer could not start.
    int Print(QPrinter& printer, const KRect& area, const std::function<void()>& drawPicture,
              QWidget* owner);

    // The kernel's print-scale set-up: E_PrintScaleSetupDialog(printer surface, area, 2540000,
    // setup, owner); 0 means cancelled. A test injects its own tiling.
    std::function<int32_t(int32_t surface, const KRect& area, KPrintSetup& setup)> scaleSetup;
    // The cancel-key test after each page: F10 pressed while printing.
    std::function<bool()> cancelRequested;
    // The message line.
    std::function<void(const std::string&)> message;

  private:
    frontend::Analyzer analyzer_;
    int copies_ = 1;
    QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
};

// The host's print-scale dialog: scale (percent of true size), "fit on one page" and the number of
// pages that gives.
class PrintScaleDialog : public QDialog {
    Q_OBJECT
  public:
    PrintScaleDialog(const KRect& area, const KPrintSetup& setup, QWidget* parent = nullptr);
    // The scale in thousandths of true size; 0 fits the area on one page.
    int32_t scale() const;
    // The pages the chosen scale gives, as shown ("2 x 3 = 6").
    QString pagesText() const;

  private:
    void update();

    KRect area_;
    KPrintSetup setup_;
    QSpinBox* scale_ = nullptr;
    QCheckBox* fit_ = nullptr;
    QLabel* pages_ = nullptr;
};

// The print-scale dialog for an area and a set-up: run shows it and returns whether it was accepted
// (tests answer it without a person; by default it runs modally). Accepted, its scale goes into
// the set-up; cancelled, the set-up is left as it was.
bool RunPrintScaleDialog(const KRect& area, KPrintSetup& setup,
                         const std::function<bool(PrintScaleDialog&)>& run = {});

// Installs RunPrintScaleDialog behind E_PrintScaleSetupDialog (qor::kernel::setPrintScaleDialog).
void InstallPrintScaleDialog(std::function<bool(PrintScaleDialog&)> run = {});

// Puts a picture on the clipboard as an image; false for an empty picture.
bool CopyPictureToClipboard(const QImage& picture);


}  // namespace qor::widgets
