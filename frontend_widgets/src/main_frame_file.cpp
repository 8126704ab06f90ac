// The main window's File menu items for printing and the clipboard, and the services its dialogs
// call back: the current help topic and the colour table.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPrinter>

#include "qor/frontend/print_pages.h"
#include "qor/widgets/board_view.h"
#include "qor/widgets/main_frame.h"

namespace qor::widgets {

namespace {

QAction* FileItem(QMenu* menu, const char* name, const char* text, int number) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    a->setObjectName(name);
    SetTag(a, number);
    return a;
}

}  // namespace

void MainFrame::buildFileMenu() {
    // The kernel's print-scale set-up shows its dialog over Qt.
    InstallPrintScaleDialog();
    // The help topics of the items: the EM window's (1, 4), (1, 5), (1, 6); the thermal window
    // sets (1, 1) for the clipboard copy only.
    const bool em = description_.analyzer == frontend::Analyzer::Em;
    const auto topic = [this](int item) {
        if (help_ && item) help_->ShowContextHelp(1, item, 0, 0);
    };
    QAction* setup = FileItem(fileMenu_, "M_PrinterSetup", "Printer &Setup", 3983);
    connect(setup, &QAction::triggered, this, [this, topic, em] {
        topic(em ? 4 : 0);
        PrinterSetup();
    });
    QAction* print = FileItem(fileMenu_, "M_Print", "&Print", 9965);
    print->setEnabled(false);
    connect(fileMenu_, &QMenu::aboutToShow, this,
            [print] { print->setEnabled(PrintersPresent()); });
    connect(print, &QAction::triggered, this, [this, topic, em] {
        topic(em ? 5 : 0);
        QPrinter printer(QPrinter::HighResolution);
        PrintPicture(printer);
    });
    QAction* copy = FileItem(fileMenu_, "M_CopyScreen", "Copy Screen to Clipboard", 99492);
    copy->setShortcut(QKeySequence("Ctrl+C"));
    copy->setShortcutContext(Qt::WindowShortcut);
    connect(copy, &QAction::triggered, this, [this, topic, em] {
        topic(em ? 6 : 1);
        CopyScreen();
    });
}

bool MainFrame::PrinterSetup() {
    return printing_->Setup(this);
}

int MainFrame::PrintPicture(QPrinter& printer) {
    if (!loaded_ || !view_->ReadBoardExtent()) return 0;
    const KRect area = frontend::PrintArea(view_->boardExtent(),
                                           shownFrames ? shownFrames() : std::vector<KRect>{});
    printing_->message = [this](const std::string& text) {
        showMessageLine(text);
        messageLine_->repaint();
    };
    const int pages =
        printing_->Print(printer, area, drawPicture ? drawPicture : DrawBoardPicture, this);
    // Printed, cancelled or failed: the window is idle again.
    showMessageLine(panels_.PromptLine());
    return pages;
}

bool MainFrame::CopyScreen() {
    const QImage picture = screenPicture ? screenPicture() : view_->grab().toImage();
    return CopyPictureToClipboard(picture);
}

void MainFrame::ShowCurrentHelp() {
    if (help_) help_->ShowCurrentHelp();
}

void MainFrame::SetColours(const std::array<int32_t, 16>& colours) {
    values_.colours = colours;
    paintLegend();
}

}  // namespace qor::widgets
