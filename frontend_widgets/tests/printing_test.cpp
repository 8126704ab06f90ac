// Printing to PDF files, the printer set-up, the print-scale dialog and the clipboard copy.
#include "qor/widgets/printing.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QSpinBox>

#include "frame_fixture.h"
#include "qor/kernel/print.h"
#include "qor/widgets/board_view.h"
#include "qor/widgets/main_frame.h"

namespace qor::widgets {
namespace {

using testing::App;
using testing::LoadedFrame;

// The pages of a PDF file: its "/Type /Page" objects (not the "/Type /Pages" tree).
int PdfPages(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int pages = 0;
    for (size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
    return pages;
}

// A set-up of columns x rows pages over the top-left page's view.
std::function<int32_t(int32_t, const KRect&, KPrintSetup&)> Tiling(int columns, int rows,
                                                                   std::vector<KRect>* areas) {
    return [=](int32_t surface, const KRect& area, KPrintSetup& setup) {
        EXPECT_NE(surface, 0);
        EXPECT_GT(setup.pageWidth, 0);
        EXPECT_GT(setup.dotsPerInch, 0);
        if (areas) areas->push_back(area);
        setup.columns = columns;
        setup.rows = rows;
        setup.stepX = 5000000;
        setup.stepY = 4000000;
        setup.view = {20000, setup.pageWidth, setup.pageHeight, 2500000, 6000000, 0x20};
        return int32_t{1};
    };
}

void PdfPrinter(QPrinter& printer, const std::filesystem::path& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file.string()));
}

class PrintingTest : public LoadedFrame {};

TEST_F(PrintingTest, PagesOfTheTilingGoToThePdfWithTheDrawingOnEach) {
    App();
    Printing printing(frontend::Analyzer::Thermal);
    printing.scaleSetup = Tiling(3, 2, nullptr);
    std::vector<std::string> lines;
    printing.message = [&lines](const std::string& m) { lines.push_back(m); };
    int drawn = 0;
    const auto draw = [&drawn] {
        ++drawn;
        G_SetColor(15);
        G_SetStyle(1);
        G_Rectangle(0, 0, 5000000, 4000000, 0);
        G_Line(0, 0, 10000000, 8000000);
    };
    QPrinter printer(QPrinter::HighResolution);
    const auto file = dir() / "six.pdf";
    PdfPrinter(printer, file);
    EXPECT_EQ(printing.Print(printer, {0, 0, 10000000, 8000000}, draw, nullptr), 6);
    EXPECT_EQ(drawn, 6);
    EXPECT_EQ(PdfPages(file), 6);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "Thermal Printout ... (<F10> to Cancel)");
    EXPECT_EQ(lines[1], "Printer Manager");
}

TEST_F(PrintingTest, CancelAfterTheFirstPageEndsTheDocument) {
    App();
    Printing printing(frontend::Analyzer::Em);
    printing.scaleSetup = Tiling(2, 2, nullptr);
    printing.cancelRequested = [] { return true; };
    QPrinter printer(QPrinter::HighResolution);
    const auto file = dir() / "cancelled.pdf";
    PdfPrinter(printer, file);
    EXPECT_EQ(printing.Print(
                  printer, {0, 0, 1000, 1000}, [] { G_Line(0, 0, 1000, 1000); }, nullptr),
              1);
    EXPECT_EQ(PdfPages(file), 1);
}

TEST_F(PrintingTest, ACancelledScaleSetupPrintsNothing) {
    App();
    Printing printing(frontend::Analyzer::Thermal);
    printing.scaleSetup = [](int32_t, const KRect&, KPrintSetup&) { return int32_t{0}; };
    QPrinter printer(QPrinter::HighResolution);
    const auto file = dir() / "none.pdf";
    PdfPrinter(printer, file);
    int drawn = 0;
    EXPECT_EQ(printing.Print(
                  printer, {0, 0, 1, 1}, [&drawn] { ++drawn; }, nullptr),
              0);
    EXPECT_EQ(drawn, 0);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(PrintingTest, SetupKeepsCopiesAndOrientationUnlessCancelled) {
    App();
    Printing printing(frontend::Analyzer::Thermal);
    EXPECT_EQ(printing.copies(), 1);
    const QPageLayout::Orientation initial = printing.orientation();
    const QPageLayout::Orientation other =
        initial == QPageLayout::Portrait ? QPageLayout::Landscape : QPageLayout::Portrait;
    printing.runSetupDialog = [other](QPrinter& p, QWidget*) {
        EXPECT_EQ(p.copyCount(), 1);
        p.setCopyCount(3);
        p.setPageOrientation(other);
        return true;
    };
    EXPECT_TRUE(printing.Setup(nullptr));
    EXPECT_EQ(printing.copies(), 3);
    EXPECT_EQ(printing.orientation(), other);
    printing.runSetupDialog = [](QPrinter& p, QWidget*) {
        EXPECT_EQ(p.copyCount(), 3) << "the dialog opens on the stored values";
        p.setCopyCount(7);
        return false;
    };
    EXPECT_FALSE(printing.Setup(nullptr));
    EXPECT_EQ(printing.copies(), 3);
    EXPECT_EQ(printing.orientation(), other);

    // Printing applies them.
    printing.scaleSetup = Tiling(1, 1, nullptr);
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, dir() / "applied.pdf");
    printing.Print(
        printer, {0, 0, 1, 1}, [] {}, nullptr);
    EXPECT_EQ(printer.pageLayout().orientation(), other);
    EXPECT_EQ(printer.copyCount(), 3);
}

TEST_F(PrintingTest, TheMainWindowPrintsTheBoardAreaWithItsMargin) {
    Load();
    std::vector<KRect> areas;
    frame().printing().scaleSetup = Tiling(2, 1, &areas);
    frame().shownFrames = [] { return std::vector<KRect>{{-1000000, 0, 0, 100}}; };
    QPrinter printer(QPrinter::HighResolution);
    const auto file = dir() / "board.pdf";
    PdfPrinter(printer, file);
    EXPECT_EQ(frame().PrintPicture(printer), 2);
    EXPECT_EQ(PdfPages(file), 2);
    ASSERT_EQ(areas.size(), 1u);
    const KRect& board = areas[0];
    EXPECT_EQ(board.left, -1000000 - 25400) << "joined with the shown frames";
    EXPECT_EQ(board.bottom, -25400);
    EXPECT_EQ(board.right, 10000000 + 25400);
    EXPECT_EQ(board.top, 8000000 + 25400);
}

// The pages hold the view's own drawing of the board: the same print with nothing drawn is a
// fraction of the size.
TEST_F(PrintingTest, ThePrintedPageHoldsTheBoardAsTheViewDrawsIt) {
    Load();
    frame().printing().scaleSetup = Tiling(1, 1, nullptr);
    const auto printTo = [this](const char* name) {
        QPrinter printer(QPrinter::HighResolution);
        const auto file = dir() / name;
        PdfPrinter(printer, file);
        EXPECT_EQ(frame().PrintPicture(printer), 1);
        return std::filesystem::file_size(file);
    };
    const auto board = printTo("board.pdf");
    frame().drawPicture = [] {};
    const auto empty = printTo("empty.pdf");
    EXPECT_GT(board, empty + 4000) << board << " bytes against " << empty;
}

TEST_F(PrintingTest, FileMenuItemsAndCopyScreen) {
    Load();
    QMenu* file = frame().findChild<QMenu*>("M_File");
    ASSERT_NE(file, nullptr);
    QStringList names;
    for (QAction* a : file->actions()) names << a->objectName();
    EXPECT_EQ(names.mid(0, 3), (QStringList{"M_PrinterSetup", "M_Print", "M_CopyScreen"}));
    EXPECT_EQ(names.last(), "M_Exit");
    QAction* copy = frame().findChild<QAction*>("M_CopyScreen");
    EXPECT_EQ(copy->shortcut(), QKeySequence("Ctrl+C"));
    EXPECT_EQ(copy->property("tag").toString(), "99492");
    QAction* print = frame().findChild<QAction*>("M_Print");
    emit file->aboutToShow();
    EXPECT_EQ(print->isEnabled(), MainFrame::PrintersPresent());

    QImage red(12, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    frame().screenPicture = [red] { return red; };
    QGuiApplication::clipboard()->clear();
    copy->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), QSize(12, 8));
    EXPECT_EQ(copied.pixelColor(3, 3), QColor(Qt::red));

    frame().screenPicture = {};  // the drawing area itself
    QGuiApplication::clipboard()->clear();
    EXPECT_TRUE(frame().CopyScreen());
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), frame().view()->size());
    EXPECT_FALSE(CopyPictureToClipboard(QImage()));
}

TEST(PrintScaleDialog, ScaleFitAndPages) {
    App();
    KPrintSetup setup{};
    setup.pageWidth = 800;
    setup.pageHeight = 1000;
    setup.dotsPerInch = 100;
    setup.scale = 0;
    const KRect area{0, 0, 2540000 * 20, 2540000 * 10};
    PrintScaleDialog dialog(area, setup);
    auto* fit = dialog.findChild<QCheckBox*>("FitOnePage");
    auto* scale = dialog.findChild<QSpinBox*>("ScaleValue");
    auto* pages = dialog.findChild<QLabel*>("PagesCount");
    ASSERT_TRUE(fit && scale && pages);
    EXPECT_TRUE(fit->isChecked());
    EXPECT_EQ(dialog.scale(), 0);
    EXPECT_EQ(pages->text(), "Pages: 1 x 1 = 1");
    fit->setChecked(false);
    scale->setValue(200);
    EXPECT_EQ(dialog.scale(), 2000);
    EXPECT_EQ(pages->text(), "Pages: 5 x 2 = 10");

    // Behind the kernel's call: an accepted dialog sets the scale, a cancelled one leaves it.
    KPrintSetup asked = setup;
    asked.scale = 500;
    EXPECT_FALSE(RunPrintScaleDialog(area, asked, [](PrintScaleDialog& d) {
        d.findChild<QSpinBox*>("ScaleValue")->setValue(300);
        return false;
    }));
    EXPECT_EQ(asked.scale, 500);
    EXPECT_TRUE(RunPrintScaleDialog(area, asked, [](PrintScaleDialog& d) {
        EXPECT_FALSE(d.findChild<QCheckBox*>("FitOnePage")->isChecked());
        EXPECT_EQ(d.findChild<QSpinBox*>("ScaleValue")->value(), 50) << "the proposed scale";
        d.findChild<QSpinBox*>("ScaleValue")->setValue(300);
        return true;
    }));
    EXPECT_EQ(asked.scale, 3000);
    InstallPrintScaleDialog([](PrintScaleDialog&) { return false; });
    kernel::setPrintScaleDialog({});
}

}  // namespace
}  // namespace qor::widgets
