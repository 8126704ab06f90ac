// The main window's view: the settings panel, the scroll bars, the View, Preferences and Unit
// menus, the view's keys and mouse, the reference point and the EM window's drawing commands.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <string_view>
#include <tuple>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/text_utils.h"
#include "qor/frontend/view_state.h"
#include "qor/kernel/kernel.h"
#include "qor/widgets/board_view.h"
#include "qor/widgets/main_frame.h"
#include "qor/widgets/painter_surface.h"
#include "qor/widgets/shared_dialogs.h"

namespace qor::widgets {

using frontend::LocalText;
using frontend::ViewState;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// The auxiliary symbols: name and number offset below the negated hierarchy number.
struct AuxiliarySymbol {
    const char* name;
    int32_t offset;
    int32_t AuxiliarySymbols::*slot;
};
constexpr AuxiliarySymbol kAuxiliary[] = {
    {"@COPPAR", 400, &AuxiliarySymbols::copper},
    {"@BRDNOTES", 200, &AuxiliarySymbols::notes},
    {"@BRDDIM", 300, &AuxiliarySymbols::dimensions},
    {"@AGAPMSK", 800, &AuxiliarySymbols::airGapMask},
};

// The context help topics (menu, item) of the view's menu items, thermal and EM.
struct HelpPair {
    const char* name;
    int thermalMenu, thermalItem, emMenu, emItem;
};
constexpr HelpPair kHelpTopics[] = {
    {"M_ScrollBars", 3, 1, 2, 1},   {"M_ColorPalette", 3, 1, 2, 1}, {"M_ActiveOnTop", 3, 1, 2, 1},
    {"M_Stacked", 3, 1, 2, 1},      {"M_Coords", 3, 1, 2, 1},       {"M_XYMeasure(0)", 3, 1, 2, 1},
    {"M_XYMeasure(1)", 3, 1, 2, 1}, {"M_XYMeasure(2)", 3, 1, 2, 1}, {"M_ActiveLayers", 6, 1, 5, 1},
    {"M_TrueSize", 6, 2, 5, 1},     {"M_PadFrames", 6, 3, 5, 4},    {"M_Nodes", 6, 4, 5, 5},
    {"M_Ratsnest", 6, 5, 5, 6},     {"M_Copper", 6, 6, 5, 7},       {"M_Notes", 6, 7, 5, 13},
    {"M_Dimensions", 6, 8, 5, 14},  {"M_Mirror", 6, 9, 5, 8},       {"M_Monochrome", 6, 10, 5, 9},
    {"M_Inches", 7, 3, 6, 1},       {"M_Millimetres", 7, 4, 6, 1},
};

}  // namespace

// A menu item of the view; choosing it first sets its context help topic.
QAction* MainFrame::viewItem(QMenu* menu, const char* name, const char* text, int number,
                             bool checkable) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    a->setObjectName(name);
    if (number) SetTag(a, number);
    a->setCheckable(checkable);
    for (const HelpPair& h : kHelpTopics) {
        if (std::string_view(h.name) != name) continue;
        const bool em = description_.analyzer == frontend::Analyzer::Em;
        connect(a, &QAction::triggered, this,
                [this, m = em ? h.emMenu : h.thermalMenu, i = em ? h.emItem : h.thermalItem] {
                    if (help_) help_->ShowContextHelp(m, i, 0, 0);
                });
    }
    return a;
}

// ---- menus and controls -------------------------------------------------------------------------

void MainFrame::buildViewMenus(QMenu* prefs) {
    scrollBarsAction_ = viewItem(prefs, "M_ScrollBars", "Scroll Bars", 991161, true);
    scrollBarsAction_->setShortcut(QKeySequence("Ctrl+R"));
    scrollBarsAction_->setChecked(true);
    connect(scrollBarsAction_, &QAction::toggled, this, [this](bool on) {
        hScroll_->setVisible(on);
        vScroll_->setVisible(on);
    });
    paletteAction_ = viewItem(prefs, "M_ColorPalette", "Color Palette", 3928, true);
    paletteAction_->setChecked(true);
    connect(paletteAction_, &QAction::toggled, this, [this](bool on) { legend_->setVisible(on); });
    prefs->addSeparator();
    QAction* onTop = viewItem(prefs, "M_ActiveOnTop", "Active Layer On &Top", 99178, true);
    connect(onTop, &QAction::toggled, this, [this](bool on) {
        ViewState& s = view_->state();
        s.layerOrder = on ? s.layerOrder | frontend::kActiveLayerOnTop
                          : s.layerOrder & ~frontend::kActiveLayerOnTop;
        changePicture();
    });
    QAction* stacked = viewItem(prefs, "M_Stacked", "&Stacked Layers", 9982, true);
    connect(stacked, &QAction::toggled, this, [this](bool on) {
        ViewState& s = view_->state();
        s.layerOrder =
            on ? s.layerOrder | frontend::kStackedLayers : s.layerOrder & ~frontend::kStackedLayers;
        changePicture();
    });
    prefs->addSeparator();
    coordsAction_ = viewItem(prefs, "M_Coords", "X/Y Coords:", 991417, false);
    coordsAction_->setShortcut(QKeySequence("Ctrl+M"));
    connect(coordsAction_, &QAction::triggered, this, [this] {
        ViewState& s = view_->state();
        s.distanceMode = !s.distanceMode;
        coordsAction_->setText(
            q(s.distanceMode ? LocalText("Distance:", 99575) : LocalText("X/Y Coords:", 991417)));
        refreshReadout();
    });
    auto* measure = new QActionGroup(this);
    const char* measureTexts[] = {"&Centre", "&Board Datum", "&RefPoint"};
    const int measureNumbers[] = {9916, 9913, 9969};
    for (int i = 0; i < 3; ++i) {
        const std::string name = "M_XYMeasure(" + std::to_string(i) + ")";
        QAction* a = viewItem(prefs, name.c_str(), measureTexts[i], measureNumbers[i], true);
        measure->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] {
            ViewState& s = view_->state();
            s.measureOrigin = static_cast<frontend::MeasureOrigin>(i);
            refreshReadout();
        });
        measureActions_[static_cast<size_t>(i)] = a;
    }
    measureActions_[0]->setChecked(true);

    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    viewMenu->setObjectName("M_View");
    QAction* active = viewItem(viewMenu, "M_ActiveLayers", "&Active Layers", 998, false);
    connect(active, &QAction::triggered, this, [this] {
        if (activeLayersDialog && !activeLayersDialog()) return;
        changePicture();
    });
    trueSizeAction_ = viewItem(viewMenu, "M_TrueSize", "&True Size", 9986, true);
    connect(trueSizeAction_, &QAction::triggered, this, [this] {
        ViewState& s = view_->state();
        s.ToggleDrawFlag(frontend::kDrawNotTrueSize);
        trueSizeAction_->setChecked(s.trueSize());
        changePicture();
    });
    QAction* pads = viewItem(viewMenu, "M_PadFrames", "&Pad Frames", 9963, true);
    connect(pads, &QAction::triggered, this, [this] {
        ViewState& s = view_->state();
        s.ToggleDrawFlag(frontend::kDrawPadFrames);
        changePicture();
    });
    QAction* nodes = viewItem(viewMenu, "M_Nodes", "&Nodes", 9959, true);
    connect(nodes, &QAction::triggered, this, [this](bool on) {
        ViewState& s = view_->state();
        s.nodes = on;
        // Drawn or taken away at once in exclusive-or, without a full repaint.
        view_->DrawingStep([&s] {
            G_SetDrawMode(s.ContextFlags(false) | frontend::kDrawXorBits);
            N_DrawAllNodes(1);
            G_SetDrawMode(s.ContextFlags(false));
        });
        view_->Invalidate();
    });
    QAction* ratsnest = viewItem(viewMenu, "M_Ratsnest", "&Ratsnest", 9967, true);
    connect(ratsnest, &QAction::triggered, this, [this](bool on) {
        ViewState& s = view_->state();
        s.ratsnest = on;
        if (!on) {
            changePicture();
            return;
        }
        view_->DrawingStep([] {
            G_SetColor(66);
            const int32_t nets = DB_NetMap();
            int32_t cursor = OM_GetFirst(nets);
            for (int32_t net; (net = OM_SearchMask(nets, &cursor, 1, 1)) != 0;)
                N_DrawNetRatsnest(net);
        });
        view_->Invalidate();
    });
    const auto extra = [&](const char* name, const char* text, int number, bool ViewState::*flag) {
        QAction* a = viewItem(viewMenu, name, text, number, true);
        connect(a, &QAction::triggered, this, [this, flag](bool on) {
            ViewState& s = view_->state();
            s.*flag = on;
            changePicture();
        });
    };
    extra("M_Copper", "Co&pper", 99427, &ViewState::copper);
    extra("M_Notes", "N&otes", 15293, &ViewState::notes);
    extra("M_Dimensions", "&Dimensions", 157, &ViewState::dimensions);
    QAction* mirror = viewItem(viewMenu, "M_Mirror", "&Mirror", 9953, true);
    connect(mirror, &QAction::triggered, this, [this] {
        ViewState& s = view_->state();
        s.ToggleDrawFlag(frontend::kDrawMirror);
        changePicture();
    });
    QAction* mono = viewItem(viewMenu, "M_Monochrome", "Monochrome", 99907, true);
    connect(mono, &QAction::triggered, this, [this] {
        ViewState& s = view_->state();
        s.ToggleDrawFlag(frontend::kDrawMonochrome);
        changePicture();
    });

    QMenu* unitMenu = menuBar()->addMenu(tr("&Unit"));
    unitMenu->setObjectName("M_Unit");
    auto* units = new QActionGroup(this);
    unitActions_[0] = viewItem(unitMenu, "M_Inches", "Inches", 39126, true);
    unitActions_[1] = viewItem(unitMenu, "M_Millimetres", "Millimetres", 39127, true);
    unitActions_[0]->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        units->addAction(unitActions_[static_cast<size_t>(i)]);
        connect(unitActions_[static_cast<size_t>(i)], &QAction::triggered, this, [this, i] {
            ViewState& s = view_->state();
            if (s.unit() == i) return;
            s.setUnit(i);
            fillLists();
            refreshReadout();
        });
    }
}

void MainFrame::connectViewControls() {
    view_->showMessage = [this](const std::string& text) { showMessageLine(text); };
    view_->beep = [this] { doBeep(); };
    view_->onZoomChanged = [this] { refreshZoomText(); };
    view_->onGridAdjusted = [this](int32_t) { refreshStepTexts(); };
    view_->onPointerMove = [this](QPoint p) { pointerMoved(p); };
    view_->onRelease = [this](QPoint p, Qt::MouseButton b) { released(p, b); };

    for (int i = 0; i < 2; ++i) {
        QToolButton* b = magnify_[static_cast<size_t>(i)];
        // The EM window acts on the button's release, the thermal window on its press.
        if (description_.analyzer == frontend::Analyzer::Em)
            connect(b, &QToolButton::released, this, [this, i] { magnify(i); });
        else
            connect(b, &QToolButton::pressed, this, [this, i] { magnify(i); });
    }
    connect(redrawButton_, &QPushButton::clicked, this, [this] { RedrawView(); });
    connect(zoomMode_, &QComboBox::activated, this, [this](int index) {
        ViewState& s = view_->state();
        s.zoomMode = static_cast<frontend::ZoomMode>(std::clamp(index, 0, 3));
        RedrawView();
    });
    connect(zoomCombo_, &QComboBox::activated, this, [this](int) { zoomEntered(true); });
    connect(zoomCombo_->lineEdit(), &QLineEdit::textEdited, this, [this] { edited_[0] = true; });
    connect(zoomCombo_->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { zoomEntered(false); });
    for (int i = 0; i < 2; ++i) {
        QComboBox* box = gridSnap_[static_cast<size_t>(i)];
        connect(box, &QComboBox::activated, this, [this, i](int) { stepEntered(i, true); });
        connect(box->lineEdit(), &QLineEdit::textEdited, this,
                [this, i] { edited_[static_cast<size_t>(i) + 1] = true; });
        connect(box->lineEdit(), &QLineEdit::editingFinished, this,
                [this, i] { stepEntered(i, false); });
    }
    connect(angleSnap_, &QLineEdit::editingFinished, this, [this] {
        ViewState& s = view_->state();
        if (!s.SetAngleSnapText(angleSnap_->text().toStdString())) doBeep();
        angleSnap_->setText(q(s.AngleSnapText()));
    });
    connect(gridCheck_, &QCheckBox::toggled, this, [this](bool on) {
        ViewState& s = view_->state();
        if (s.gridOn == on) return;
        s.gridOn = on;
        changePicture();
    });
    for (QScrollBar* bar : {hScroll_, vScroll_}) {
        connect(bar, &QScrollBar::valueChanged, this, [this, bar](int position) {
            ViewState& s = view_->state();
            if (settingScroll_) return;  // positions set by the program repaint on their own
            fitOnResize_ = false;
            if (bar == hScroll_)
                s.setOrigin(frontend::ScrollOrigin(position), s.originY());
            else
                s.setOrigin(s.originX(), -frontend::ScrollOrigin(position));
            changePicture();
        });
    }
    connect(frmCmd_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (description_.analyzer == frontend::Analyzer::Em)
            ExecuteFrameCommand(text.toStdString());
    });
}

void MainFrame::doBeep() {
    if (beep)
        beep();
    else
        QApplication::beep();
}

void MainFrame::pressCancelKey() {
    view_->cancelKey().pressed();
    view_->cancelKey().released();
}

// Every option that changes the picture discards the cached one and repaints.
void MainFrame::changePicture() {
    view_->Invalidate();
    view_->Repaint();
}

// ---- start-up -----------------------------------------------------------------------------------

void MainFrame::DeleteLabelTexts() {
    const int32_t texts = DB_LayoutTextArray();
    if (!texts) return;
    const int32_t mask = description_.analyzer == frontend::Analyzer::Em ? 8 : 4;
    for (int32_t at = OA_SearchMask(texts, 1, mask); at != 0; at = OA_SearchMask(texts, at, mask)) {
        // The items after a deleted one move up: search again from the same position.
        if (!OA_Delete(texts, at)) ++at;
    }
}

void MainFrame::initializeViewState() {
    ViewState& s = view_->state();
    DeleteLabelTexts();
    view_->layers().ReadFromKernel();
    AuxiliarySymbols& symbols = view_->symbols();
    for (const AuxiliarySymbol& a : kAuxiliary) {
        int32_t number = S_FindSymbol(a.name);
        if (number != 0)
            S_MaskSymbol(number, 2, 2);
        else
            number = S_CreateSymbol(-values_.hierarchy - a.offset, a.name);
        symbols.*(a.slot) = number;
    }
    s.measureOrigin = frontend::MeasureOrigin::Centre;
    measureActions_[0]->setChecked(true);
    const frontend::InitialSteps steps = frontend::InitialGridSnap(
        E_SysTable(5), E_SysTable(6), E_SysTable(7), description_.analyzer);
    s.gridStep = steps.grid;
    s.snapStep = steps.snap;
    s.angleSnap = steps.angle;
    s.gridOn = false;
    {
        const QSignalBlocker block(gridCheck_);
        gridCheck_->setChecked(false);
    }
    QPalette p = view_->palette();
    p.setColor(QPalette::Window, PaletteColour(G_BackgroundColor()));
    view_->setPalette(p);
    fillLists();
}

void MainFrame::startZoom() {
    // The kernel's current zoom with the origin at 0,0; without one, the board fills the area
    // (again once the area has its size).
    ViewState& s = view_->state();
    const int32_t zoom = frontend::SelectedEntry(E_SysTable(21));
    fitOnResize_ = zoom <= 0;
    if (zoom > 0) {
        s.setZoom(zoom);
        s.setOrigin(0, 0);
    } else {
        view_->ZoomToBoard();
    }
    pickApertureUnits_ = G_PickAperture() * s.zoom();
    refreshZoomText();
    updateScrollBars();
    view_->Invalidate();
}

void MainFrame::viewResized() {
    if (!fitOnResize_ || !loaded_) return;
    view_->ZoomToBoard();
    refreshZoomText();
    updateScrollBars();
}

void MainFrame::fillLists() {
    const ViewState& s = view_->state();
    const auto fill = [&](QComboBox* box, const std::vector<int32_t>& entries) {
        const QSignalBlocker block(box);
        box->clear();
        for (int32_t v : entries) box->addItem(q(s.StepText(v)), v);
    };
    fill(zoomCombo_, frontend::ZoomTableEntries(E_SysTable(21), s.unit()));
    fill(gridSnap_[0], frontend::StepTableEntries(E_SysTable(5), s.unit()));
    fill(gridSnap_[1], frontend::StepTableEntries(E_SysTable(6), s.unit()));
    refreshZoomText();
    refreshStepTexts();
}

void MainFrame::refreshZoomText() {
    const QSignalBlocker block(zoomCombo_);
    zoomCombo_->setEditText(q(view_->state().ZoomText()));
    edited_[0] = false;
}

void MainFrame::refreshStepTexts() {
    const ViewState& s = view_->state();
    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker block(gridSnap_[static_cast<size_t>(i)]);
        gridSnap_[static_cast<size_t>(i)]->setEditText(
            q(s.StepText(i == 0 ? s.gridStep : s.snapStep)));
        edited_[static_cast<size_t>(i) + 1] = false;
    }
    angleSnap_->setText(q(s.AngleSnapText()));
}

void MainFrame::updateScrollBars() {
    settingScroll_ = true;
    hScroll_->setValue(view_->state().hScrollPosition());
    vScroll_->setValue(view_->state().vScrollPosition());
    settingScroll_ = false;
}

// ---- zoom ---------------------------------------------------------------------------------------

void MainFrame::RedrawView() {
    ViewState& s = view_->state();
    // A text that still shows the current zoom keeps it exactly (the text is rounded).
    const std::string text = zoomCombo_->currentText().toStdString();
    if (text != s.ZoomText()) s.setZoom(frontend::ZoomFromText(text, s.unit(), s.zoom()));
    switch (s.zoomMode) {
        case frontend::ZoomMode::Current:
            break;
        case frontend::ZoomMode::Center:
            s.setOrigin(0, 0);
            break;
        case frontend::ZoomMode::Board:
            view_->ZoomToBoard();
            break;
        case frontend::ZoomMode::Component: {
            const bool em = description_.analyzer == frontend::Analyzer::Em;
            const std::string prompt = LocalText(
                em ? "Zoom on component: ( Comp Name ) " : "Zoom on component : ( Comp Name ) ",
                991456);
            std::string name = inputLine ? inputLine(prompt, "", "") : std::string();
            if (em) name = name.substr(0, name.find(' '));
            if (name.empty()) break;
            const int32_t index = OM_FindName(DB_LayCompMap(), name.c_str());
            KComponentRecord c{};
            if (index == 0 || L_ReadComponent(index, &c) != 1) {
                messages_.ReportError(23);
                break;
            }
            s.setOrigin(c.x, c.y);
            break;
        }
    }
    afterZoom();
}

void MainFrame::afterZoom() {
    ViewState& s = view_->state();
    fitOnResize_ = false;
    refreshZoomText();
    pickApertureUnits_ = G_PickAperture() * s.zoom();
    updateScrollBars();
    changePicture();
    refreshReadout();
}

void MainFrame::zoomEntered(bool chosen) {
    const std::string text = zoomCombo_->currentText().toStdString();
    const bool em = description_.analyzer == frontend::Analyzer::Em;
    // The thermal window reads the box after a change only; the EM window also when it reads 0.
    if (!chosen && !edited_[0] && !(em && frontend::TextToNumber(text) == 0)) return;
    edited_[0] = false;
    RedrawView();
}

void MainFrame::magnify(int button) {
    ViewState& s = view_->state();
    s.setZoom(frontend::StepZoom(s.zoom(), button == 0));
    afterZoom();
}

void MainFrame::stepEntered(int which, bool chosen) {
    ViewState& s = view_->state();
    QComboBox* box = gridSnap_[static_cast<size_t>(which)];
    const std::string text = box->currentText().toStdString();
    const bool em = description_.analyzer == frontend::Analyzer::Em;
    if (!chosen && !edited_[static_cast<size_t>(which) + 1] &&
        !(em && frontend::TextToNumber(text) == 0))
        return;
    const int32_t before = which == 0 ? s.gridStep : s.snapStep;
    const bool ok = which == 0 ? s.SetGridText(text) : s.SetSnapText(text);
    if (!ok) doBeep();
    refreshStepTexts();
    if (ok && which == 0 && s.gridOn && s.gridStep != before) changePicture();
}

// ---- pointer ------------------------------------------------------------------------------------

void MainFrame::refreshReadout() {
    const auto [x, y] = view_->state().ReadoutTexts(lastX_, lastY_);
    xPos_->setText(q(x));
    yPos_->setText(q(y));
}

void MainFrame::pointerMoved(QPoint pixel) {
    ViewState& s = view_->state();
    lastPixel_ = pixel;
    const QPointF p = view_->DesignPoint(pixel);
    lastX_ = p.x();
    lastY_ = p.y();
    if (s.operation == frontend::kOperationBox) {
        // The read-out pauses while the box is drawn.
        view_->ShowRubberBand({boxX_, boxY_}, p, true);
        showMessageLine(s.BlockText(lastX_ - boxX_, lastY_ - boxY_));
    } else {
        refreshReadout();
    }
    if (s.displayState != 0) UpdateAnalysisReadout(lastX_, lastY_);
    view_->ShowCrosshair(pixel);
}

bool MainFrame::RunEditFunction(double, double, QPoint) {
    return false;
}

bool MainFrame::PickComponentInfo(double x, double y, QPoint pixel) {
    const auto at = [](double v) {
        return static_cast<int32_t>(std::clamp(std::lround(v), -220000000L, 220000000L));
    };
    int32_t pad = 0;
    const int32_t component = L_CoverComponent(at(x), at(y), pickApertureUnits_, &pad);
    if (!component) return false;
    return ShowComponentInfo(*this, component, pad, pixel, view_->state().unit());
}

void MainFrame::UpdateAnalysisReadout(double, double) {}

void MainFrame::released(QPoint pixel, Qt::MouseButton button) {
    ViewState& s = view_->state();
    const QPointF p = view_->DesignPoint(pixel);
    lastPixel_ = pixel;
    lastX_ = p.x();
    lastY_ = p.y();
    if (button == Qt::RightButton) {
        CentreOn(p.x(), p.y());
        return;
    }
    if (button != Qt::LeftButton) return;
    busy_->show();
    if (s.operation == frontend::kOperationBox) {
        // Second click: the box is complete.
        const frontend::BoxRequest request = s.boxRequest;
        view_->ClearOperation();
        SetWindowClassCursor(view_, 0);
        if (request == frontend::BoxRequest::Copy) {
            const QPointF a = view_->PixelOf(boxX_, boxY_);
            const QRect r = QRect(a.toPoint(), pixel).normalized();
            if (QClipboard* c = QGuiApplication::clipboard()) c->clear();
            G_CopyScreen(view_->surfaceNumber(), r.left(), r.top(), r.right(), r.bottom());
            view_->Repaint();
        } else if (const auto box = frontend::BoxZoom(boxX_, boxY_, p.x(), p.y(), view_->width(),
                                                      view_->height(), description_.analyzer)) {
            s.setZoom(box->zoom);
            s.setOrigin(box->centreX, box->centreY);
            s.zoomMode = frontend::ZoomMode::Current;
            zoomMode_->setCurrentIndex(0);
            afterZoom();
        } else {
            view_->Repaint();
        }
        showMessageLine(panels_.PromptLine());
    } else if (s.operation == frontend::kOperationIdle) {
        if (!coordination_.CheckOtherAnalyzers(false).busy) {
            if (s.boxRequest != frontend::BoxRequest::None) {
                s.operation = frontend::kOperationBox;
                boxX_ = p.x();
                boxY_ = p.y();
                SetWindowClassCursor(view_, 1);
                view_->ShowRubberBand(p, p, true);
            } else {
                RunEditFunction(p.x(), p.y(), pixel);
            }
        }
    } else {
        RunEditFunction(p.x(), p.y(), pixel);
    }
    busy_->hide();
    if (!ReadoutPausedAfterClick()) refreshReadout();
    OperationChanged();
}

void MainFrame::OperationChanged() {
    const bool idle = view_->operationCode() == frontend::kOperationIdle;
    fileMenu_->setEnabled(idle);
    editMenu_->setEnabled(idle);
    toolPanel_->setEnabled(idle);
    coordination_.PublishStatus(true, view_->operationCode());
}

// ---- keys ---------------------------------------------------------------------------------------

void MainFrame::ReferencePointKey(char kind) {
    ViewState& s = view_->state();
    frontend::Marker& ref = s.markers[frontend::kRefPointMarker];
    if (ref.shown) {  // any of the keys removes a set reference point
        view_->DrawingStep([this] { view_->DrawMarker(frontend::kRefPointMarker); });
        ref.shown = false;
        view_->Invalidate();
        return;
    }
    double x = lastX_, y = lastY_;
    if (kind == 'G') std::tie(x, y) = s.Snapped(x, y);
    if (kind == 'R') {
        const auto lines = frontend::RefPointPrompt(s.unit());
        const std::string answer =
            inputLine ? inputLine(lines[0], lines[1] + "\n" + lines[2], "") : std::string();
        const auto point = frontend::ParseRefPoint(answer, s.unit(), s.extent);
        if (!point) {
            doBeep();
            return;
        }
        std::tie(x, y) = *point;
    }
    ref = {true, x, y};
    view_->DrawingStep([this] { view_->DrawMarker(frontend::kRefPointMarker); });
    view_->Invalidate();
    refreshReadout();
}

bool MainFrame::handleViewKey(QKeyEvent* event) {
    ViewState& s = view_->state();
    const int key = event->key();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
        if (!view_->hasFocus()) return false;
        const QRect area(view_->mapToGlobal(QPoint(0, 0)), view_->size());
        QPoint at = QCursor::pos() + QPoint(key == Qt::Key_Left    ? -1
                                            : key == Qt::Key_Right ? 1
                                                                   : 0,
                                            key == Qt::Key_Up     ? -1
                                            : key == Qt::Key_Down ? 1
                                                                  : 0);
        at.setX(std::clamp(at.x(), area.left(), area.right()));
        at.setY(std::clamp(at.y(), area.top(), area.bottom()));
        QCursor::setPos(at);
        return true;
    }
    if (!shift) return false;
    switch (key) {
        case Qt::Key_U:
        case Qt::Key_D:
            s.setZoom(frontend::StepZoom(s.zoom(), key == Qt::Key_U));
            s.setOrigin(lastX_, lastY_);
            afterZoom();
            return true;
        case Qt::Key_V:
            CentreOn(lastX_, lastY_);
            return true;
        case Qt::Key_B:
            view_->RequestBox(frontend::BoxRequest::Zoom);
            showMessageLine(LocalText("Select Box Zoom Area", 991172));
            return true;
        case Qt::Key_S:
            view_->RequestBox(frontend::BoxRequest::Copy);
            showMessageLine(LocalText("Select Box Copy Area", 991171));
            return true;
        case Qt::Key_Z:
            view_->HideCrosshair();
            s.fullCrosshair = !s.fullCrosshair;
            view_->ShowCrosshair(lastPixel_);
            return true;
        case Qt::Key_P:
            ReferencePointKey('P');
            return true;
        case Qt::Key_G:
            ReferencePointKey('G');
            return true;
        case Qt::Key_R:
            ReferencePointKey('R');
            return true;
        default:
            return false;
    }
}

// ---- the EM window's drawing commands -----------------------------------------------------------

bool MainFrame::ExecuteFrameCommand(const std::string& command) {
    const frontend::ParsedList list = frontend::ParseList(command);
    const std::string word = frontend::TrimBlanks(list.word(1));
    const ViewState& s = view_->state();
    const auto number = [&](int i) { return static_cast<int32_t>(list.number(i)); };
    if (word == "REDRAWTRACE") {
        const int32_t trace = number(2);
        KTraceRecord t{};
        if (T_ReadTrace(trace, &t))
            view_->DrawingStep([&] { T_DrawRecords(trace, 1, t.recordCount - 1); });
        return true;
    }
    if (word == "HIGHLIGTH") {
        const int32_t mode = number(2), net = number(3);
        view_->DrawingStep([&] {
            if (mode == 0) {
                G_SetColor(15);
                G_SetDrawMode(s.ContextFlags(false) | frontend::kDrawXorBits);
            }
            int32_t cursor = OM_GetFirst(DB_TraceMap());
            for (int32_t trace; (trace = T_SearchNet(&cursor, net)) != 0;)
                T_DrawAllRecords(trace, -1);
            if (s.nodes) N_DrawNetNodes(net, -1);
            G_SetDrawMode(s.ContextFlags(false));
        });
        view_->Invalidate();
        return true;
    }
    if (word == "DRAWRECORD") {
        const int32_t trace = number(2), record = number(3), form = number(4);
        if (form == 0) {
            view_->DrawingStep([&] { T_DrawRecords(trace, record, 1); });
        } else if (form == 1) {
            KTracePoint a{}, b{};
            if (T_ReadRecord(trace, record, &a) && T_ReadRecord(trace, record + 1, &b))
                view_->DrawingStep([&] {
                    G_SetColor(15);
                    G_Line(a.x, a.y, b.x, b.y);
                });
        }
        view_->Invalidate();
        return true;
    }
    return false;
}

}  // namespace qor::widgets
