// The main window's File menu items for printing and the clipboard, and the services its dialogs
// call back: the current help topic and the colour table.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPrinter>

#include "qor/frontend/print_pages.h"
#include "qor/widgets/board_view.h"
#include "qor/widgets/main_frame.h"
#include "qor/widgets/printing.h"

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

// The frames of what the picture shows besides the board: the notes, copper and dimensions
// symbols when shown, and in the isotherm display the temporary label texts.
std::vector<KRect> MainFrame::ShownFrames() const {
    std::vector<KRect> frames;
    const auto addItems = [&frames](int32_t array, int32_t mask) {
        const int32_t count = OA_GetCount(array);
        for (int32_t position = 1; position <= count; ++position) {
            if (mask) {
                position = OA_SearchMask(array, position, mask);
                if (!position) break;
            }
            KRect r{};
            if (I_FrameItem(array, position, &r)) frames.push_back(r);
        }
    };
    const frontend::ViewState& state = view_->state();
    const AuxiliarySymbols& symbols = view_->symbols();
    if (state.notes && symbols.notes) addItems(S_SymbolItemArray(symbols.notes), 0);
    if (state.copper && symbols.copper) addItems(S_SymbolItemArray(symbols.copper), 0);
    if (state.dimensions && symbols.dimensions) addItems(S_SymbolItemArray(symbols.dimensions), 0);
    if (state.displayState == 4)
        addItems(DB_LayoutTextArray(), description_.analyzer == frontend::Analyzer::Em ? 8 : 4);
    return frames;
}

int MainFrame::PrintPicture(QPrinter& printer) {
    if (!loaded_ || !view_->ReadBoardExtent()) return 0;
    const frontend::BoardExtent& e = view_->boardExtent();
    const KRect board{e.left, e.bottom, e.right, e.top};
    const KRect area = frontend::PrintArea(board, shownFrames ? shownFrames() : ShownFrames());
    printing_->message = [this](const std::string& text) {
        showMessageLine(text);
        messageLine_->repaint();
    };
    const std::function<void()> draw =
        drawPicture ? drawPicture : std::function<void()>([this] { view_->DrawPicture(true); });
    const int pages = printing_->Print(printer, area, draw, this);
    // Printed, cancelled or failed: the window is idle again.
    showMessageLine(panels_.PromptLine());
    return pages;
}

bool MainFrame::CopyScreen() {
    // The drawing area repainted into its picture, without the rubber band or crosshair.
    if (!screenPicture) view_->Repaint();
    const QImage picture = screenPicture ? screenPicture() : view_->picture();
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
