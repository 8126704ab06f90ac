#include "qor/widgets/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <map>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/text_utils.h"
#include "qor/kernel/kernel.h"
#include "qor/widgets/board_view.h"
#include "qor/widgets/shared_dialogs.h"

namespace qor::widgets {

using frontend::LocalText;

namespace {

constexpr int kCellSize = 24;
constexpr int kTwipsPerPixel = 15;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A picture strip: one cell per caption, a framed square with the caption's characters.
QPixmap PictureStrip(const std::vector<std::string>& captions, QColor ink) {
    QPixmap strip(std::max<int>(1, static_cast<int>(captions.size())) * kCellSize, kCellSize);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    QFont f = p.font();
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    for (size_t i = 0; i < captions.size(); ++i) {
        const QRect cell(static_cast<int>(i) * kCellSize, 0, kCellSize, kCellSize);
        p.setPen(ink);
        p.drawRoundedRect(cell.adjusted(1, 1, -2, -2), 3, 3);
        p.drawText(cell, Qt::AlignCenter, q(captions[i]));
    }
    return strip;
}

QIcon StripCell(const QLabel* strip, int cell) {
    const QPixmap pixmap = strip->pixmap();
    if (cell < 0 || (cell + 1) * kCellSize > pixmap.width()) return {};
    return QIcon(pixmap.copy(cell * kCellSize, 0, kCellSize, kCellSize));
}

QColor Rgb(int32_t value) {
    // Profile colours are Windows RGB numbers: red in the low byte.
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QAction* TaggedAction(QMenu* menu, const char* name, const char* text, int number) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    a->setObjectName(name);
    if (number) SetTag(a, number);
    return a;
}

}  // namespace

MainFrame::MainFrame(FrameDescription description, StartupValues& values,
                     std::unique_ptr<frontend::AnalyzerEngine> engine)
    : description_(std::move(description)),
      values_(values),
      engine_(std::move(engine)),
      box_(this),
      messages_(description_.analyzer, box_),
      files_(messages_),
      coordination_(description_.analyzer, *this, box_),
      printing_(std::make_unique<Printing>(description_.analyzer)) {
    setObjectName(q(description_.windowName));
    buildWindow();
    // The shared dialogs behind the view's menu items and prompts.
    activeLayersDialog = [this] { return ShowActiveLayers(*this, view_->layers()); };
    inputLine = [this](const std::string& prompt, const std::string& secondPrompt,
                       const std::string& defaultText) {
        return InputLine(*this, prompt, secondPrompt, defaultText);
    };
}

MainFrame::~MainFrame() = default;

void MainFrame::buildWindow() {
    setWindowTitle(q(description_.caption));
    SetTag(this, description_.captionNumber);

    fileMenu_ = menuBar()->addMenu(tr("&File"));
    fileMenu_->setObjectName("M_File");
    SetTag(fileMenu_, 99591);
    buildFileMenu();
    QAction* exit = TaggedAction(fileMenu_, "M_Exit", "E&xit", 99593);
    connect(exit, &QAction::triggered, this, [this] { ShutDown(); });

    // The Edit menu stays hidden: its items are chosen through the tool shortcuts and F_Short.
    editMenu_ = new QMenu(tr("&Edit"), this);
    editMenu_->setObjectName("M_Edit");
    for (const auto& m : description_.editMenus) {
        QAction* a = editMenu_->addAction(q(m.caption));
        a->setObjectName(QString("M_FSI(%1)").arg(m.menu));
        if (m.number) SetTag(a, m.number);
        a->setData(m.menu);
        connect(a, &QAction::triggered, this, [this, n = m.menu] { SelectEditMenu(n); });
        editActions_.push_back(a);
    }

    QMenu* prefs = menuBar()->addMenu(tr("&Preferences"));
    prefs->setObjectName("M_Preferences");
    toolbarAction_ = TaggedAction(prefs, "M_Toolbar", "Toolbar", 991324);
    toolbarAction_->setCheckable(true);
    toolbarAction_->setShortcut(QKeySequence("Ctrl+B"));
    settingsPanelAction_ = TaggedAction(prefs, "M_SetPanel", "Settings Panel", 991204);
    settingsPanelAction_->setCheckable(true);
    settingsPanelAction_->setShortcut(QKeySequence("Ctrl+U"));
    std::map<std::string, QMenu*> pendingMenus;
    for (const auto& item : description_.pendingItems) {
        if (item.menu == "&File") {  // the File menu's own items go before "E&xit"
            QAction* a =
                TaggedAction(fileMenu_, item.name.c_str(), item.caption.c_str(), item.number);
            fileMenu_->insertAction(exit, a);
            a->setEnabled(false);
            continue;
        }
        QMenu*& menu = pendingMenus[item.menu];
        if (!menu) {
            menu = menuBar()->addMenu(q(item.menu));
            menu->setObjectName(q("M_" + item.menu).remove('&'));
        }
        TaggedAction(menu, item.name.c_str(), item.caption.c_str(), item.number)->setEnabled(false);
    }
    buildViewMenus(prefs);
    QMenu* help = menuBar()->addMenu(QString::fromUtf8("&?Help"));
    help->setObjectName("M_Help");
    SetTag(help, 993);
    QAction* contents = TaggedAction(help, "M_HelpContents", "&Contents", 0);
    connect(contents, &QAction::triggered, this, [this] {
        if (help_) help_->ShowHelpContents();
    });

    auto* central = new QWidget(this);
    central->setObjectName("F_Central");
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(2);

    // The settings panel across the top.
    settingsPanel_ = new QWidget(central);
    settingsPanel_->setObjectName("F_MenuPan");
    auto* top = new QHBoxLayout(settingsPanel_);
    top->setContentsMargins(0, 0, 0, 0);
    zoomCombo_ = new QComboBox(settingsPanel_);
    zoomCombo_->setObjectName("ZoomCombo");
    zoomCombo_->setEditable(true);
    zoomCombo_->setInsertPolicy(QComboBox::NoInsert);
    top->addWidget(zoomCombo_);
    for (int i = 0; i < 2; ++i) {
        auto* b = new QToolButton(settingsPanel_);
        b->setObjectName(QString("cmdMagnify(%1)").arg(i));
        b->setText(i == 0 ? "+" : "-");
        magnify_[static_cast<size_t>(i)] = b;
        top->addWidget(b);
    }
    redrawButton_ = new QPushButton(tr("Redra&w"), settingsPanel_);
    redrawButton_->setObjectName("RedrawBtn");
    top->addWidget(redrawButton_);
    zoomMode_ = new QComboBox(settingsPanel_);
    zoomMode_->setObjectName("ZoomMode");
    top->addWidget(zoomMode_);
    gridCheck_ = new QCheckBox(tr("Grid:"), settingsPanel_);
    gridCheck_->setObjectName("GridCheck3D");
    top->addWidget(gridCheck_);
    for (int i = 0; i < 2; ++i) {
        if (i == 1) {
            auto* snap = new QLabel(tr("Snap:"), settingsPanel_);
            snap->setObjectName("L_Snap");
            top->addWidget(snap);
        }
        auto* box = new QComboBox(settingsPanel_);
        box->setObjectName(QString("F_GridSnap(%1)").arg(i));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        gridSnap_[static_cast<size_t>(i)] = box;
        top->addWidget(box);
    }
    auto* angleLabel = new QLabel(tr("Angle:"), settingsPanel_);
    angleLabel->setObjectName("L_AngleSnap");
    top->addWidget(angleLabel);
    angleSnap_ = new QLineEdit(settingsPanel_);
    angleSnap_->setObjectName("F_AngleSnap");
    angleSnap_->setMaximumWidth(70);
    top->addWidget(angleSnap_);
    auto* readout = new QLabel(q(description_.readoutLabel), settingsPanel_);
    readout->setObjectName("L_TempMsg");
    if (description_.readoutNumber) SetTag(readout, description_.readoutNumber);
    top->addWidget(readout);
    auto* tempMsg = new QLabel(settingsPanel_);
    tempMsg->setObjectName("F_TempMsg");
    top->addWidget(tempMsg, 1);
    grid->addWidget(settingsPanel_, 0, 0, 1, 5);

    // The two tool panels down the left side.
    toolStrip_ = new QLabel(central);
    toolStrip_->setObjectName("P_FSI");
    toolStrip_->setPixmap(PictureStrip(description_.toolPictures, QColor(20, 60, 140)));
    toolStrip_->hide();
    subToolStrip_ = new QLabel(central);
    subToolStrip_->setObjectName("P_OST");
    subToolStrip_->setPixmap(PictureStrip(description_.subToolPictures, QColor(140, 60, 20)));
    subToolStrip_->hide();
    const auto makePanel = [&](const char* name, const char* button,
                               std::array<QToolButton*, 11>& buttons) {
        auto* panel = new QWidget(central);
        panel->setObjectName(name);
        panel->installEventFilter(this);
        auto* column = new QVBoxLayout(panel);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(1);
        for (int i = 0; i < 11; ++i) {
            auto* b = new QToolButton(panel);
            b->setObjectName(QString("%1(%2)").arg(button).arg(i));
            b->setCheckable(true);
            b->setIconSize(QSize(kCellSize, kCellSize));
            b->installEventFilter(this);
            column->addWidget(b);
            buttons[static_cast<size_t>(i)] = b;
        }
        column->addStretch(1);
        return panel;
    };
    toolPanel_ = makePanel("F_FSIPan", "F_FSI", tools_);
    busy_ = new QLabel(tr("Busy"), toolPanel_);
    busy_->setObjectName("F_Busy");
    busy_->hide();
    toolPanel_->layout()->addWidget(busy_);
    subToolPanel_ = makePanel("F_OSTPan", "F_OST", subTools_);
    for (int i = 0; i < 11; ++i) {
        connect(tools_[static_cast<size_t>(i)], &QToolButton::clicked, this,
                [this, i] { PressTool(i); });
        connect(subTools_[static_cast<size_t>(i)], &QToolButton::clicked, this,
                [this, i] { PressSubTool(i); });
    }
    grid->addWidget(toolPanel_, 1, 0);
    grid->addWidget(subToolPanel_, 1, 1);

    view_ = new BoardView(central);
    view_->installEventFilter(this);
    view_->onActivity = [this] {
        if (loaded_ && !unloading_) coordination_.PublishStatus(true, view_->operationCode());
    };
    grid->addWidget(view_, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);

    vScroll_ = new QScrollBar(Qt::Vertical, central);
    vScroll_->setObjectName("ViewVScroll");
    hScroll_ = new QScrollBar(Qt::Horizontal, central);
    hScroll_->setObjectName("ViewHScroll");
    for (QScrollBar* s : {hScroll_, vScroll_}) {
        s->setRange(-32000, 32000);
        s->setSingleStep(100);
        s->setPageStep(1000);
    }
    grid->addWidget(vScroll_, 1, 3);
    grid->addWidget(hScroll_, 2, 2);

    legend_ = new QWidget(central);
    legend_->setObjectName("F_CoPan");
    auto* legendColumn = new QVBoxLayout(legend_);
    legendColumn->setContentsMargins(0, 0, 0, 0);
    legendColumn->setSpacing(1);
    for (int i = 0; i < 16; ++i) {
        auto* l = new QLabel(legend_);
        l->setObjectName(QString("F_TColor(%1)").arg(i));
        l->setFixedSize(28, 14);
        l->setAutoFillBackground(true);
        legendColumn->addWidget(l);
        legendColours_[static_cast<size_t>(i)] = l;
    }
    legendColumn->addStretch(1);
    grid->addWidget(legend_, 1, 4);

    auto* bottom = new QHBoxLayout;
    xPos_ = new QLabel(central);
    xPos_->setObjectName("F_Xpos");
    xPos_->setMinimumWidth(110);
    yPos_ = new QLabel(central);
    yPos_->setObjectName("F_Ypos");
    yPos_->setMinimumWidth(110);
    messageLine_ = new QLabel(central);
    messageLine_->setObjectName("F_MsgLine");
    bottom->addWidget(xPos_);
    bottom->addWidget(yPos_);
    bottom->addWidget(messageLine_, 1);
    grid->addLayout(bottom, 3, 0, 1, 5);

    // The hidden command boxes.
    const auto hiddenBox = [&](const char* name) {
        auto* e = new QLineEdit(central);
        e->setObjectName(name);
        e->hide();
        return e;
    };
    frmCmd_ = hiddenBox("F_FrmCmd");
    shortCmd_ = hiddenBox("F_Short");
    hiddenBox("F_INCMD");
    hiddenBox("F_OUTCMD");
    connect(shortCmd_, &QLineEdit::textChanged, this, &MainFrame::handleShortText);

    connect(toolbarAction_, &QAction::toggled, this, [this](bool on) {
        toolPanel_->setVisible(on);
        subToolPanel_->setVisible(on);
    });
    connect(settingsPanelAction_, &QAction::toggled, settingsPanel_, &QWidget::setVisible);
    setCentralWidget(central);
    connectViewControls();
    resize(900, 600);
    // The window sees the keys before its controls do.
    for (QWidget* w : central->findChildren<QWidget*>()) w->installEventFilter(this);
}

// ---- Start-up ----------------------------------------------------------------------------------

void MainFrame::abortUnless(bool ok) {
    if (!ok) throw StartupAbort{};
}

bool MainFrame::StartUp() {
    unloading_ = false;
    values_.loadFailed = false;
    view_->ClearOperation();
    try {
        readDesign();
        QtFontSystem fonts;
        font_ = frontend::ChooseInterfaceFont(SystemLocaleNumber(), fonts);
        loadEngine();
        LocalizeWidgetWindow(this, font_);
        view_->setEnabled(false);
        values_.serverPath = frontend::TrimBlanks(values_.serverPath);
        values_.contextHelpFile = values_.serverPath + "/" + description_.componentName + ".HLP";
        help_.emplace(helpSystem_, box_, values_.contextHelpFile,
                      values_.serverPath + "/" + description_.helpContents);
        coordination_.Start();
        messages_.FetchApplicationTitle();
        settingsPanelAction_->setChecked(true);
        toolbarAction_->setChecked(true);
        settingsPanel_->show();
        toolPanel_->show();
        subToolPanel_->show();
        minimumStartSize_ = size();
        setMinimumSize(minimumStartSize_);  // the window is never made smaller
        move(0, 315 / kTwipsPerPixel);
        zoomMode_->clear();
        zoomMode_->addItems({tr("Current"), tr("Center"), tr("Board"), tr("Component")});
        frontend::ToolMenus menus;
        if (frontend::ReadMenuProfile(files_, values_.serverPath + "/" + description_.menuProfile,
                                      menus) != 0) {
            messages_.ReportError(8);
            abortUnless(false);
        }
        panels_ = frontend::ToolPanelState(std::move(menus));
        SelectEditMenu(1);
        initializeView();
        cursors_[0] = QCursor(Qt::CrossCursor);
        cursors_[1] = QCursor(Qt::SizeFDiagCursor);
        SetWindowClassCursor(view_, 0);
        readColours();
        loaded_ = true;
        show();
        view_->setEnabled(true);
        view_->update();
        view_->setFocus();
        coordination_.PublishStatus(true, -1);
        help_->ShowContextHelp(0, 0, 0, 0);
        return true;
    } catch (...) {
        // Start-up aborted (or failed on the way): unload without touching engine or profile.
        values_.loadFailed = true;
        loaded_ = true;  // so that the unload below runs and raises "SHUTDOWN"
        ShutDown();
        return false;
    }
}

void MainFrame::readDesign() {
    values_.design = DB_DataBase();
    if (values_.design == 0) {
        messages_.ReportError(100);
        abortUnless(false);
    }
    values_.designName = frontend::HostText(O_GetName(values_.design));
    values_.hierarchy = DB_CurHier();
    values_.hierarchyName =
        frontend::HostText(O_GetName(OM_Object(DB_HierarchyMap(), values_.hierarchy)));
}

void MainFrame::loadEngine() {
    if (!engine_) return;  // this analyzer's engine is not part of the build
    auto* label = new QWidget(this, Qt::Window | Qt::FramelessWindowHint);
    label->setObjectName(q(description_.labelName));
    auto* column = new QVBoxLayout(label);
    auto* title = new QLabel(q(description_.labelText), label);
    title->setObjectName("L_Title");
    SetTag(title, description_.labelTextNumber);
    auto* wait = new QLabel(tr("Please, wait for loading ..."), label);
    wait->setObjectName("L_Wait");
    SetTag(wait, 3978);
    column->addWidget(title);
    column->addWidget(wait);
    LocalizeWidgetWindow(label, font_);
    label->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        label->move(screen->geometry().center() - label->rect().center());
    label->show();
    label->repaint();
    const std::unique_ptr<QWidget> unloadLabel(label);

    KRect outline{};
    if (T_FrameTraceLines(-1, 63, &outline) == 0) {
        messages_.ReportError(10005);
        abortUnless(false);
    }
    values_.profileFile = frontend::FileAccess::ProfileFile();
    std::string why;
    if (!engine_->Bind(why)) {
        box_.show({messages_.Title(), why, frontend::MessageIcon::Stop, false});
        abortUnless(false);
    }
    if (!engine_->LoadDataBase(values_.profileFile)) {
        const int code = engine_->ErrorCode();
        // The engine keeps what a failed load allocated until it is deleted, and would then take
        // the next load for done: discard it now, as the abort skips the engine's clean-up.
        engine_->DeleteDataBase();
        messages_.ReportError(10000 + code);
        abortUnless(false);
    }
    engine_->LoadParameters();
}

void MainFrame::initializeView() {
    values_.jobDir = files_.ProfileRead("Qor32", "JobDir", "\\Qor32\\JOB");
    values_.libDir = files_.ProfileRead("Qor32", "LibDir", "\\Qor32\\LIB");
    values_.sysDir = files_.ProfileRead("Qor32", "SysDir", "\\Qor32\\SYS");
    values_.marn3JobDir = files_.ProfileRead("Qor32", "Marn3JobDir", "\\CADJOB");
    const auto readList = [this](const char* section, std::vector<std::string>& list) {
        list.clear();
        for (int i = 1;; ++i) {
            std::string v = files_.ProfileRead(section, std::to_string(i));
            if (v.empty()) break;
            list.push_back(std::move(v));
        }
    };
    readList("DEVLIBS", values_.devLibs);
    readList("SCHLIBS", values_.schLibs);
    readList("LAYLIBS", values_.layLibs);
    initializeViewState();
    if (!view_->ReadBoardExtent()) {
        messages_.ReportError(10005);
        abortUnless(false);
    }
    startZoom();
}

void MainFrame::readColours() {
    for (int i = 0; i < 16; ++i) {
        const std::string v = files_.ProfileRead("Colors", "Color#" + std::to_string(i));
        values_.colours[static_cast<size_t>(i)] = static_cast<int32_t>(frontend::TextToNumber(v));
    }
    paintLegend();
}

void MainFrame::paintLegend() {
    for (size_t i = 0; i < 16; ++i) {
        QPalette p = legendColours_[i]->palette();
        p.setColor(QPalette::Window, Rgb(values_.colours[i]));
        legendColours_[i]->setPalette(p);
    }
}

// ---- Shut-down ---------------------------------------------------------------------------------

void MainFrame::ShutDown() {
    if (!loaded_ || unloading_) return;
    if (view_->operationCode() != 0 || view_->pendingOperation()) return;
    unload();
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (loaded_ && (view_->operationCode() != 0 || view_->pendingOperation())) {
        event->ignore();
        return;
    }
    event->accept();
    if (loaded_ && !unloading_) unload();
}

void MainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The record carries the window state: a minimized or maximized window tells it at once.
    if (event->type() == QEvent::WindowStateChange && loaded_ && !unloading_) {
        // A minimized window comes back while an operation of the view runs.
        if ((QWidget::windowState() & Qt::WindowMinimized) && view_->operationCode() != 0)
            setWindowState(QWidget::windowState() & ~Qt::WindowMinimized);
        coordination_.PublishStatus(true, view_->operationCode());
    }
}

void MainFrame::unload() {
    unloading_ = true;
    if (!values_.loadFailed) {
        OM_MaskAll(DB_NetMap(), 0, 80);
        if (!values_.profileFile.empty()) {
            for (int i = 0; i < 16; ++i)
                files_.ProfileWrite(
                    "Colors", "Color#" + std::to_string(i),
                    frontend::TrimBlanks(std::to_string(values_.colours[static_cast<size_t>(i)])));
        }
        if (engine_) {
            if (!engine_->SaveParameters())
                box_.show({messages_.Title(), LocalText("Can't save parameters", 3925),
                           frontend::MessageIcon::None, false});
            engine_->DeleteDataBase();
        }
        view_->Invalidate();
        while (view_->contextDepth() > 0) view_->CloseContext();
        coordination_.PublishStatus(false, 0);
        view_->unsetCursor();
    }
    // Other windows of this analyzer, last opened first.
    while (!ownedWindows_.empty()) {
        QPointer<QWidget> w = ownedWindows_.back();
        ownedWindows_.pop_back();
        if (w) {
            w->close();
            delete w.data();
        }
        QApplication::processEvents();
    }
    DeleteLabelTexts();
    loaded_ = false;
    hide();
    if (notify_) notify_(frontend::AnalyzerKey(description_.analyzer), "SHUTDOWN");
}

// ---- Command channel ---------------------------------------------------------------------------

void MainFrame::AP_ExeCmd(const std::string& command) {
    try {
        frontend::ExecuteHostCommand(description_.analyzer, command, *this);
    } catch (...) {
        ShutDown();
    }
}

void MainFrame::AP_SendCmd(const std::string& aname, const std::string& command) {
    if (notify_) notify_(aname, command);
}

void MainFrame::AP_SendCmdAll(const std::string& command) {
    AP_SendCmd(frontend::AnalyzerKey(description_.analyzer), command);
}

void MainFrame::AP_Shell(const std::string& fileName, int mode) {
    AP_SendCmd(fileName, "SHELL," + std::to_string(mode));
}

void MainFrame::Repaint() {
    view_->Invalidate();
    view_->Repaint();
}
void MainFrame::Maximize() {
    setWindowState(Qt::WindowMaximized);
}
void MainFrame::Minimize() {
    setWindowState(Qt::WindowMinimized);
}
void MainFrame::RestoreSize() {
    setWindowState(Qt::WindowNoState);
}

void MainFrame::ReloadDesign() {
    if (!engine_) {
        Repaint();
        return;
    }
    engine_->DeleteDataBase();
    if (!engine_->LoadDataBase(values_.profileFile)) {
        engine_->DeleteDataBase();
        values_.loadFailed = true;
        unload();
        return;
    }
    try {
        initializeView();
    } catch (...) {
        ShutDown();
        return;
    }
    Repaint();
}

void MainFrame::Exit() {
    view_->ClearOperation();
    OperationChanged();
    ShutDown();
}

int MainFrame::CurrentHierarchy() {
    return values_.hierarchy;
}

void MainFrame::CentreOn(double x, double y) {
    fitOnResize_ = false;
    view_->CentreOn(x, y);
    updateScrollBars();
    Repaint();
}

void MainFrame::ZoomToBox(double width, double height, double x, double y) {
    // Exactly as a box zoom: a box beyond the design area or an empty one changes nothing.
    const auto box = frontend::BoxZoom(x - width / 2, y - height / 2, x + width / 2, y + height / 2,
                                       view_->width(), view_->height(), description_.analyzer);
    if (!box) return;
    view_->state().setZoom(box->zoom);
    view_->state().setOrigin(box->centreX, box->centreY);
    afterZoom();
}

std::string MainFrame::caption() const {
    return windowTitle().toStdString();
}

int MainFrame::windowState() const {
    const Qt::WindowStates s = QWidget::windowState();
    if (s & Qt::WindowMinimized) return 1;
    if (s & Qt::WindowMaximized) return 2;
    return 0;
}

// ---- Tool panels -------------------------------------------------------------------------------

void MainFrame::showMessageLine(const std::string& text) {
    messageLine_->setText(q(text));
}

void MainFrame::SelectEditMenu(int menu) {
    const frontend::ToolMenu& m = panels_.menus().menu(menu);
    if (!m.defined) return;
    panels_.SelectMenu(menu);
    for (QAction* a : editActions_)
        if (a->data().toInt() == menu) messages_.SetCurrentFunction(a->text().toStdString());
    buildToolPanel();
    showMessageLine(panels_.messageLine());
}

void MainFrame::buildToolPanel() {
    frontend::ToolMenu& m = panels_.current();
    for (int i = 0; i < 11; ++i) {
        QToolButton* b = tools_[static_cast<size_t>(i)];
        const frontend::Tool& t = m.tools[static_cast<size_t>(i)];
        b->setIcon(StripCell(toolStrip_, m.pictureBase + i));
        b->setVisible(t.enabled);
        b->setEnabled(t.enabled && ToolAvailable(panels_.currentMenu(), i));
        b->setToolTip(q(t.hint));
        b->setChecked(t.pressed);
    }
    buildSubToolPanel();
}

void MainFrame::buildSubToolPanel() {
    frontend::ToolMenu& m = panels_.current();
    const frontend::Tool& t = m.tools[static_cast<size_t>(m.currentTool)];
    for (int i = 0; i < 11; ++i) {
        QToolButton* b = subTools_[static_cast<size_t>(i)];
        const frontend::SubTool& s = t.subTools[static_cast<size_t>(i)];
        b->setIcon(StripCell(subToolStrip_, t.subPictureBase + i));
        b->setEnabled(s.enabled);
        b->setToolTip(q(s.hint));
        b->setProperty("group", s.group);
        b->setVisible(s.enabled);
        b->setChecked(s.enabled && s.pressed);
    }
}

void MainFrame::PressTool(int tool) {
    const auto topic = panels_.PressTool(tool);
    if (topic[0] != 0 && help_)
        help_->ShowContextHelp(topic[0], description_.toolHelpItem, topic[2], topic[3]);
    buildToolPanel();
    showMessageLine(panels_.messageLine());
    RunToolAction(panels_.currentMenu(), tool);
}

void MainFrame::PressSubTool(int subTool) {
    QToolButton* b = subTools_[static_cast<size_t>(subTool)];
    panels_.PressSubTool(subTool, b->isChecked(), view_->operationCode() != 0);
    buildSubToolPanel();
}

void MainFrame::RunToolAction(int, int) {}

bool MainFrame::ToolAvailable(int, int) const {
    return true;
}

void MainFrame::handleShortText(const QString& text) {
    if (!text.startsWith('+')) return;
    const int menu = static_cast<int>(frontend::TextToNumber(text.mid(1).toStdString()));
    for (QAction* a : editActions_)
        if (a->data().toInt() == menu && a->isEnabled()) SelectEditMenu(menu);
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::Resize) viewResized();
    if (event->type() == QEvent::KeyRelease && loaded_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && (key->modifiers() & Qt::ControlModifier)) {
            if (help_) help_->ShowCurrentHelp();
            return true;
        }
        // Enter with a modifier acts as a left click at the pointer inside the drawing area.
        const QPoint at = view_->mapFromGlobal(QCursor::pos());
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) &&
            view_->rect().contains(at)) {
            released(at, Qt::LeftButton);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && watched != this)
        return handleKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::Enter) {
        for (int i = 0; i < 11; ++i) {
            if (watched == tools_[static_cast<size_t>(i)]) {
                showMessageLine(panels_.ToolHintLine(panels_.currentMenu(), i));
                return false;
            }
            if (watched == subTools_[static_cast<size_t>(i)]) {
                showMessageLine(subTools_[static_cast<size_t>(i)]->toolTip().toStdString());
                return false;
            }
        }
        if (watched == toolPanel_ || watched == subToolPanel_ || watched == view_)
            showMessageLine(panels_.PromptLine());
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event)) QMainWindow::keyPressEvent(event);
}

bool MainFrame::handleKey(QKeyEvent* event) {
    if (view_->repainting()) {  // while drawing the window takes only the cancel key
        if (event->key() == Qt::Key_F10) pressCancelKey();
        return true;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    const int key = event->key();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool operationRunning = view_->operationCode() != 0;
    if (!operationRunning && !event->text().isEmpty() &&
        (panels_.shortcutActive() || event->text() == "*")) {
        const char c = event->text().toLatin1().at(0);
        const frontend::ShortcutOutcome o = panels_.ShortcutKey(c, [this](int menu) {
            for (QAction* a : editActions_)
                if (a->data().toInt() == menu) return a->isEnabled();
            return false;
        });
        showMessageLine(panels_.messageLine());
        if (o.kind == frontend::ShortcutOutcome::PressTool) PressTool(o.tool);
        if (o.kind == frontend::ShortcutOutcome::SwitchedMenu) SelectEditMenu(o.menu);
        return true;
    }
    if (key == Qt::Key_F10) pressCancelKey();
    if (!shift && key >= Qt::Key_F1 && key <= Qt::Key_F11) {
        QToolButton* b = subTools_[static_cast<size_t>(key - Qt::Key_F1)];
        if (b->isEnabled() && b->isVisible()) b->click();
        refreshReadout();
        return true;
    }
    if (key == Qt::Key_Escape) {
        QToolButton* b = subTools_[10];
        if (b->isEnabled() && b->isVisible()) b->click();
        return true;
    }
    return handleViewKey(event);
}

// ---- Windows of the analyzer -------------------------------------------------------------------

void MainFrame::ShowModalDialog(QDialog* dialog) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        const frontend::Placement p = frontend::AnalyzerCoordination::CentreOnScreen(
            description_.analyzer, dialog->height(), dialog->width(), s.height(), s.width());
        dialog->move(p.left, p.top);
    }
    LocalizeWidgetWindow(dialog, font_);
    QApplication::restoreOverrideCursor();
    coordination_.ShowModalDialog([dialog] {
        dialog->exec();
        delete dialog;
    });
}

void MainFrame::AddOwnedWindow(QWidget* window) {
    window->setParent(this, window->windowFlags() | Qt::Window);
    ownedWindows_.push_back(window);
    LocalizeWidgetWindow(window, font_);
    window->show();
}

void MainFrame::SetWindowClassCursor(QWidget* window, int cursorChoice) {
    window->setCursor(cursors_[cursorChoice == 0 ? 0 : 1]);
}

bool MainFrame::PrintersPresent() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

}  // namespace qor::widgets
