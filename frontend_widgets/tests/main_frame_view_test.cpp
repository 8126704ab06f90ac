// The main window's view over the demo design: settings panel, keys, mouse, menus and the EM
// window's drawing commands.
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <optional>

#include "frame_test_support.h"
#include "qor/frontend/text_utils.h"
#include "qor/frontend/view_state.h"
#include "qor/widgets/painter_surface.h"

namespace qor::widgets {
namespace {

class ViewTest : public FrameTest {
  protected:
    // emptyStepTables: the kernel's grid, snap and angle tables read 0, as a host without them
    // gives, so the window's own start values are used.
    MainFrame& Start(FrameDescription description = Thermal(), bool emptyStepTables = false) {
        OpenDemo();
        if (emptyStepTables)
            for (const int table : {5, 6, 7}) std::fill_n(E_SysTable(table), 32, 0);
        FrameComponent& c = Make(description);
        EXPECT_TRUE(c.Load(0));
        MainFrame& w = window();
        w.beep = [this] { ++beeps; };
        w.inputLine = [this](const std::string& prompt, const std::string& second,
                             const std::string& defaultText) {
            prompts.push_back(prompt + "|" + second + "|" + defaultText);
            return answer;
        };
        QApplication::processEvents();
        return w;
    }
    template <class T>
    T* Find(const char* name) {
        T* found = window().findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* Action(const char* name) { return Find<QAction>(name); }
    QString Text(const char* label) { return Find<QLabel>(label)->text(); }
    // Types into an editable box and leaves it with Enter.
    void Type(const char* box, const char* text) {
        QLineEdit* edit = Find<QComboBox>(box)->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    frontend::ViewState& State() { return window().view()->state(); }

    int beeps = 0;
    std::string answer;
    std::vector<std::string> prompts;
};

TEST_F(ViewTest, TypedZoomValuesKeepOrClampTheZoom) {
    MainFrame& w = Start();
    QComboBox* zoom = Find<QComboBox>("ZoomCombo");
    const int32_t before = w.view()->zoom();
    EXPECT_EQ(zoom->currentText().toStdString(), State().ZoomText());
    struct Case {
        const char* text;
        int32_t expected;  // 0: the zoom before
    };
    const Case cases[] = {
        {"0", 0}, {"zoom", 0}, {"0.000001", 100}, {"0.001", 2540}, {"0.1", 254000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        State().setZoom(before);
        Type("ZoomCombo", c.text);
        EXPECT_EQ(w.view()->zoom(), c.expected ? c.expected : before);
        EXPECT_EQ(zoom->currentText().toStdString(), State().ZoomText()) << "written back";
    }
    // The unit changes the text and the lists.
    State().setZoom(2500);
    Action("M_Millimetres")->trigger();
    EXPECT_EQ(zoom->currentText(), "0.025mm");
    Type("ZoomCombo", "0.05");
    EXPECT_EQ(w.view()->zoom(), 5000);
}

TEST_F(ViewTest, MagnifierStepsStopAtTheZoomLimits) {
    MainFrame& w = Start();
    auto* in = Find<QToolButton>("cmdMagnify(0)");
    auto* out = Find<QToolButton>("cmdMagnify(1)");
    State().setZoom(2540);
    State().setOrigin(100000, 200000);
    QTest::mouseClick(in, Qt::LeftButton);
    EXPECT_EQ(w.view()->zoom(), 2413);
    EXPECT_EQ(w.view()->originX(), 100000) << "the centre stays";
    State().setZoom(100);
    QTest::mouseClick(in, Qt::LeftButton);
    EXPECT_EQ(w.view()->zoom(), 100);
    QTest::mouseClick(out, Qt::LeftButton);
    EXPECT_EQ(w.view()->zoom(), 105);
    State().setZoom(2540000);
    QTest::mouseClick(out, Qt::LeftButton);
    // At most an inch per pixel, and the repaint keeps the visible area inside the design.
    const int pixels = std::max(w.view()->width(), w.view()->height());
    EXPECT_EQ(w.view()->zoom(), std::min(2540000, static_cast<int>(4.4e8 / pixels)));
    // Shift+U / Shift+D centre on the last pointer position.
    State().setZoom(2540);
    QTest::mouseMove(w.view(), QPoint(10, 10));
    const QPointF p = w.view()->DesignPoint(QPointF(10, 10));
    QTest::keyClick(&w, Qt::Key_D, Qt::ShiftModifier);
    EXPECT_EQ(w.view()->zoom(), 2667);
    EXPECT_NEAR(w.view()->originX(), p.x(), 0.5);
    EXPECT_NEAR(w.view()->originY(), p.y(), 0.5);
    // Shift+V centres on the pointer without changing the zoom.
    QTest::mouseMove(w.view(), QPoint(30, 60));
    const QPointF q = w.view()->DesignPoint(QPointF(30, 60));
    QTest::keyClick(&w, Qt::Key_V, Qt::ShiftModifier);
    EXPECT_EQ(w.view()->zoom(), 2667);
    EXPECT_NEAR(w.view()->originX(), q.x(), 0.5);
    EXPECT_NEAR(w.view()->originY(), q.y(), 0.5);
}

TEST_F(ViewTest, ArrowKeysMoveThePointerInsideTheDrawingArea) {
    MainFrame& w = Start();
    BoardView* view = w.view();
    view->setFocus();
    const QPoint corner = view->mapToGlobal(QPoint(0, 0));
    QCursor::setPos(corner);
    QTest::keyClick(view, Qt::Key_Left);
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(QCursor::pos(), corner) << "kept inside the area";
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(QCursor::pos(), corner + QPoint(1, 2));
}

TEST_F(ViewTest, HostBoxCommandZoomsAsABoxZoomDoes) {
    MainFrame& w = Start();
    const int h = DB_CurHier();
    // Second corner (0, 0), first corner (4000000, 2000000): width and height 4000000, 2000000.
    component_->NotifyMe("", "All,BL,4000000,2000000,0,0,4000000,2000000," + std::to_string(h));
    const auto box = frontend::BoxZoom(0, 0, 4000000, 2000000, w.view()->width(),
                                       w.view()->height(), frontend::Analyzer::Thermal);
    ASSERT_TRUE(box);
    EXPECT_EQ(w.view()->zoom(), box->zoom);
    EXPECT_EQ(w.view()->originX(), 2000000);
    EXPECT_EQ(w.view()->originY(), 1000000);
    EXPECT_EQ(Find<QComboBox>("ZoomCombo")->currentText().toStdString(), State().ZoomText());
    const int32_t zoom = w.view()->zoom();
    component_->NotifyMe("", "All,BL,0,0,0,0,5,5," + std::to_string(h));
    EXPECT_EQ(w.view()->zoom(), zoom) << "an empty box changes nothing";
}

TEST_F(ViewTest, ScrollBarsMoveTheOriginAndProgramPositionsDoNotRepaint) {
    MainFrame& w = Start();
    BoardView* view = w.view();
    auto* h = Find<QScrollBar>("ViewHScroll");
    auto* v = Find<QScrollBar>("ViewVScroll");
    EXPECT_EQ(h->minimum(), -32000);
    EXPECT_EQ(h->maximum(), 32000);
    EXPECT_EQ(h->singleStep(), 100);
    EXPECT_EQ(h->pageStep(), 1000);
    State().setZoom(1000);
    int draws = view->fullDrawCount();
    h->setValue(32000);
    EXPECT_EQ(view->fullDrawCount(), draws + 1);
    // The extreme is the design limit; the repaint then keeps the visible area inside it.
    EXPECT_EQ(view->originX(), 2.2e8 - view->width() / 2.0 * 1000);
    v->setValue(-32000);
    EXPECT_EQ(view->originY(), 2.2e8 - view->height() / 2.0 * 1000);

    // "FL" sets both bars and repaints once.
    draws = view->fullDrawCount();
    const int h0 = DB_CurHier();
    component_->NotifyMe("", "All,FL,687500,-1375000," + std::to_string(h0));
    EXPECT_EQ(view->fullDrawCount(), draws + 1);
    EXPECT_EQ(h->value(), 100);
    EXPECT_EQ(v->value(), 200);
    EXPECT_EQ(view->originY(), -1375000);
}

TEST_F(ViewTest, GridSnapAndAngleStartFromTheKernelTables) {
    Start();
    const int32_t* grid = E_SysTable(5);
    const int32_t* snap = E_SysTable(6);
    ASSERT_GT(grid[0], 0);
    EXPECT_EQ(State().gridStep, grid[grid[0]]);
    EXPECT_EQ(State().snapStep, snap[snap[0]]);
    EXPECT_EQ(State().angleSnap, E_SysTable(7)[0]);
    EXPECT_EQ(Find<QComboBox>("F_GridSnap(0)")->currentText().toStdString(),
              State().StepText(grid[grid[0]]));
}

TEST_F(ViewTest, GridAndSnapEntriesAreValidatedWithABeep) {
    MainFrame& w = Start(Thermal(), true);
    QComboBox* grid = Find<QComboBox>("F_GridSnap(0)");
    QComboBox* snap = Find<QComboBox>("F_GridSnap(1)");
    // The kernel's tables are empty here: the thermal fallbacks 0.1 mm and 0.05 mm.
    EXPECT_EQ(State().gridStep, 10000);
    EXPECT_EQ(State().snapStep, 5000);
    const QString fallback = QString::fromStdString(State().StepText(10000));
    EXPECT_EQ(grid->currentText(), fallback);
    EXPECT_EQ(fallback, "0.00394\"");
    Type("F_GridSnap(0)", "0");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(State().gridStep, 10000);
    EXPECT_EQ(grid->currentText(), fallback) << "the old value is written back";
    Type("F_GridSnap(0)", "1.5");
    EXPECT_EQ(beeps, 2) << "more than one inch";
    Type("F_GridSnap(0)", "1");
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(State().gridStep, 2540000);
    EXPECT_EQ(grid->currentText(), "1.0000\"");
    Type("F_GridSnap(1)", "0.05");
    EXPECT_EQ(State().snapStep, 127000);
    EXPECT_EQ(snap->currentText(), "0.0500\"");
    auto* angle = Find<QLineEdit>("F_AngleSnap");
    angle->setText("100");
    QTest::keyClick(angle, Qt::Key_Return);
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(State().angleSnap, 1);

    // The grid box shown: switching it on repaints with the grid.
    const int draws = w.view()->fullDrawCount();
    Find<QCheckBox>("GridCheck3D")->setChecked(true);
    EXPECT_TRUE(State().gridOn);
    EXPECT_EQ(w.view()->fullDrawCount(), draws + 1);
    EXPECT_EQ(Text("F_MsgLine"), "");
}

TEST_F(ViewTest, TypedReferencePointRelativeToTheBoardDatum) {
    MainFrame& w = Start();
    Action("M_Millimetres")->trigger();
    answer = "1,2,d";
    QTest::keyClick(&w, Qt::Key_R, Qt::ShiftModifier);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0],
              "Ref.point X,Y (mm)|Format: x,y[,D]\nD for x,y displacement from board datum.|");
    const frontend::Marker& ref = State().markers[frontend::kRefPointMarker];
    const frontend::BoardExtent& e = w.view()->boardExtent();
    ASSERT_TRUE(ref.shown);
    EXPECT_EQ(ref.x, e.left + 100000.0);
    EXPECT_EQ(ref.y, e.bottom + 200000.0);
    // Measuring from the reference point.
    Action("M_XYMeasure(2)")->trigger();
    QTest::mouseMove(w.view(), QPoint(40, 30));
    const QPointF p = w.view()->DesignPoint(QPointF(40, 30));
    EXPECT_EQ(Text("F_Xpos").toStdString(),
              "X= " + frontend::LengthText(p.x() - ref.x, frontend::kUnitMillimetre));
    // Any of the keys removes it again; a bad answer beeps.
    QTest::keyClick(&w, Qt::Key_P, Qt::ShiftModifier);
    EXPECT_FALSE(ref.shown);
    answer = "12";
    QTest::keyClick(&w, Qt::Key_R, Qt::ShiftModifier);
    EXPECT_FALSE(ref.shown);
    EXPECT_EQ(beeps, 1);
    QTest::keyClick(&w, Qt::Key_G, Qt::ShiftModifier);
    EXPECT_TRUE(ref.shown);
    EXPECT_EQ(std::fmod(ref.x, State().snapStep), 0) << "snapped";
}

TEST_F(ViewTest, ReadoutShowsCoordinatesOrDistance) {
    MainFrame& w = Start();
    QTest::mouseMove(w.view(), QPoint(60, 20));
    const QPointF p = w.view()->DesignPoint(QPointF(60, 20));
    EXPECT_EQ(Text("F_Xpos").toStdString(), "X= " + frontend::LengthText(p.x(), 0));
    EXPECT_EQ(Text("F_Ypos").toStdString(), "Y= " + frontend::LengthText(p.y(), 0));
    QAction* coords = Action("M_Coords");
    EXPECT_EQ(coords->shortcut(), QKeySequence("Ctrl+M"));
    coords->trigger();
    EXPECT_EQ(coords->text(), "Distance:");
    EXPECT_EQ(Text("F_Xpos").toStdString(),
              "D= " + frontend::LengthText(std::hypot(p.x(), p.y()), 0));
    EXPECT_EQ(Text("F_Ypos"), "");
    coords->trigger();
    Action("M_XYMeasure(1)")->trigger();
    const frontend::BoardExtent& e = w.view()->boardExtent();
    EXPECT_EQ(Text("F_Ypos").toStdString(), "Y= " + frontend::LengthText(p.y() - e.bottom, 0));
    EXPECT_TRUE(Action("M_XYMeasure(1)")->isChecked());
    EXPECT_FALSE(Action("M_XYMeasure(0)")->isChecked());
}

TEST_F(ViewTest, BoxZoomWithShiftBAndTwoClicks) {
    MainFrame& w = Start();
    BoardView* view = w.view();
    QTest::keyClick(&w, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(Text("F_MsgLine"), "Select Box Zoom Area");
    const QPointF a = view->DesignPoint(QPointF(20, 30));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_EQ(view->operationCode(), frontend::kOperationBox);
    QTest::mouseMove(view, QPoint(120, 80));
    const QPointF b = view->DesignPoint(QPointF(120, 80));
    EXPECT_EQ(Text("F_MsgLine").toStdString(), State().BlockText(b.x() - a.x(), b.y() - a.y()));
    EXPECT_TRUE(Text("F_MsgLine").startsWith("Block: "));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(120, 80));
    EXPECT_EQ(view->operationCode(), 0);
    const auto expected = frontend::BoxZoom(a.x(), a.y(), b.x(), b.y(), view->width(),
                                            view->height(), frontend::Analyzer::Thermal);
    ASSERT_TRUE(expected);
    EXPECT_EQ(view->zoom(), std::max(expected->zoom, frontend::kMinZoom));
    EXPECT_NEAR(view->originX(), expected->centreX, 1);
    EXPECT_NEAR(view->originY(), expected->centreY, 1);
    EXPECT_EQ(Find<QComboBox>("ZoomCombo")->currentText().toStdString(), State().ZoomText());

    // Shift+S asks for a box copy; a right click centres the view.
    QTest::keyClick(&w, Qt::Key_S, Qt::ShiftModifier);
    EXPECT_EQ(Text("F_MsgLine"), "Select Box Copy Area");
    EXPECT_EQ(State().boxRequest, frontend::BoxRequest::Copy);
    view->ClearOperation();
    const QPointF c = view->DesignPoint(QPointF(10, 10));
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_NEAR(view->originX(), c.x(), 0.5);
}

TEST_F(ViewTest, RepaintsUseTheCachedPictureUntilThePictureChanges) {
    MainFrame& w = Start();
    BoardView* view = w.view();
    view->Repaint();
    const int draws = view->fullDrawCount(), repaints = view->repaintCount();
    view->Repaint();
    EXPECT_EQ(view->fullDrawCount(), draws) << "the cached picture";
    EXPECT_EQ(view->repaintCount(), repaints + 1);
    EXPECT_EQ(view->contextDepth(), 0);
    Action("M_Mirror")->trigger();
    EXPECT_TRUE(State().mirrored());
    EXPECT_EQ(view->fullDrawCount(), draws + 1);
    Action("M_Stacked")->trigger();
    EXPECT_EQ(State().layerOrder, frontend::kStackedLayers);
    EXPECT_EQ(view->fullDrawCount(), draws + 2);
    // Stacked and mirrored: the layers from 0 upwards.
    const auto passes = frontend::LayerPasses(0xF, 1, State().layerOrder, State().mirrored());
    EXPECT_EQ(passes, (std::vector<uint32_t>{1, 2, 4, 8}));
    // True Size is checked when its bit is clear.
    QAction* trueSize = Action("M_TrueSize");
    EXPECT_FALSE(trueSize->isChecked());
    trueSize->trigger();
    EXPECT_TRUE(trueSize->isChecked());
    EXPECT_TRUE(State().trueSize());
    // Nodes are drawn at once in exclusive-or, without a full repaint.
    const int steps = view->drawingSteps(), full = view->fullDrawCount();
    Action("M_Nodes")->trigger();
    EXPECT_EQ(view->drawingSteps(), steps + 1);
    EXPECT_EQ(view->fullDrawCount(), full);
    // The active-layers dialog repaints unless it was cancelled.
    bool accept = false;
    w.activeLayersDialog = [&] { return accept; };
    Action("M_ActiveLayers")->trigger();
    EXPECT_EQ(view->fullDrawCount(), full);
    accept = true;
    Action("M_ActiveLayers")->trigger();
    EXPECT_EQ(view->fullDrawCount(), full + 1);
    // The picture is kept for the copy screen and the printer.
    EXPECT_EQ(view->picture().size(), view->size());
}

TEST_F(ViewTest, F10CancelsTheDrawing) {
    MainFrame& w = Start();
    int tests = 0;
    w.view()->cancelTest = [&] { return ++tests >= 3; };
    QTest::mouseClick(Find<QPushButton>("RedrawBtn"), Qt::LeftButton);
    EXPECT_TRUE(State().cancelled);
    EXPECT_EQ(Text("F_MsgLine"), " Redraw Cancelled <F10>");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(tests, 3) << "no step runs after the cancel";
    EXPECT_EQ(w.view()->contextDepth(), 0) << "the context is closed";
    // A repaint asked for while drawing runs once more afterwards, never inside the drawing.
    int nested = 0;
    const int draws = w.view()->fullDrawCount();
    w.view()->cancelTest = [&] {
        if (nested++ == 0) w.view()->Repaint();
        EXPECT_LE(w.view()->contextDepth(), 1);
        return false;
    };
    w.Repaint();
    EXPECT_EQ(w.view()->fullDrawCount(), draws + 2);
    w.view()->cancelTest = {};
    QTest::keyClick(&w, Qt::Key_F10);  // pressed before a drawing: does not cancel it
    w.Repaint();
    EXPECT_FALSE(State().cancelled);
    EXPECT_EQ(Text("F_MsgLine"), "");
}

TEST_F(ViewTest, ZoomModesCenterAndComponent) {
    MainFrame& w = Start();
    QComboBox* mode = Find<QComboBox>("ZoomMode");
    ASSERT_EQ(mode->count(), 4);
    State().setOrigin(500000, 500000);
    mode->setCurrentIndex(1);
    emit mode->activated(1);
    EXPECT_EQ(w.view()->originX(), 0);
    EXPECT_EQ(w.view()->originY(), 0);

    const int32_t map = DB_LayCompMap();
    int32_t cursor = OM_GetFirst(map);
    const int32_t first = OM_SearchMask(map, &cursor, 0, 0);
    KComponentRecord c{};
    ASSERT_EQ(L_ReadComponent(first, &c), 1);
    answer = c.name;
    mode->setCurrentIndex(3);
    emit mode->activated(3);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0], "Zoom on component : ( Comp Name ) ||");
    EXPECT_EQ(w.view()->originX(), c.x);
    EXPECT_EQ(w.view()->originY(), c.y);
    answer = "NO_SUCH_PART";
    QTest::mouseClick(Find<QPushButton>("RedrawBtn"), Qt::LeftButton);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, w.messages().ErrorMessage(23, "").text);
}

TEST_F(ViewTest, MenusCarryTheirNamesShortcutsAndStates) {
    MainFrame& w = Start();
    EXPECT_EQ(Action("M_ScrollBars")->shortcut(), QKeySequence("Ctrl+R"));
    Action("M_ScrollBars")->trigger();
    EXPECT_TRUE(Find<QScrollBar>("ViewHScroll")->isHidden());
    Action("M_ColorPalette")->trigger();
    EXPECT_TRUE(Find<QWidget>("F_CoPan")->isHidden());
    for (const char* name : {"M_PadFrames", "M_Ratsnest", "M_Copper", "M_Notes", "M_Dimensions",
                             "M_Monochrome", "M_ActiveOnTop", "M_Inches"})
        EXPECT_NE(w.findChild<QAction*>(name), nullptr) << name;
    State().setOrigin(1e8, 1e8);  // far from the board
    Action("M_Monochrome")->trigger();
    EXPECT_TRUE(State().monochrome());
    EXPECT_EQ(w.view()->picture().pixelColor(0, 0), QColor(Qt::white))
        << "a monochrome picture has a white background";
    Action("M_ActiveOnTop")->trigger();
    EXPECT_EQ(State().layerOrder, frontend::kActiveLayerOnTop);
    // The minimum size is the size at start-up.
    EXPECT_EQ(w.minimumSize(), w.size());
}

TEST_F(ViewTest, EmFrameCommandsDrawInOneStepEach) {
    MainFrame& w = Start(Em(), true);
    BoardView* view = w.view();
    EXPECT_EQ(State().gridStep, 254000) << "the EM fallbacks";
    EXPECT_EQ(State().snapStep, 127000);
    EXPECT_EQ(State().angleSnap, 1000);
    struct Case {
        const char* command;
        int steps;
    };
    const Case cases[] = {
        {"REDRAWTRACE,-1", 1},    {"REDRAWTRACE,31000", 0}, {"HIGHLIGTH,0,1", 1},
        {"HIGHLIGTH,1,1", 1},     {"DRAWRECORD,-1,1,0", 1}, {"DRAWRECORD,-1,1,1", 1},
        {"DRAWRECORD,-1,1,5", 0}, {"NOSUCH,1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const int before = view->drawingSteps();
        ASSERT_TRUE(component_->SetHiddenText("F_FrmCmd", c.command));
        EXPECT_EQ(view->drawingSteps() - before, c.steps);
        EXPECT_EQ(view->contextDepth(), 0);
    }
    EXPECT_FALSE(w.ExecuteFrameCommand("NOSUCH"));
}

TEST_F(ViewTest, EmDifferencesOfMagnifierZeroEntriesAndComponentNames) {
    MainFrame& w = Start(Em(), true);
    // The magnifier acts on the release.
    State().setZoom(2540);
    auto* in = Find<QToolButton>("cmdMagnify(0)");
    QTest::mousePress(in, Qt::LeftButton);
    EXPECT_EQ(w.view()->zoom(), 2540);
    QTest::mouseRelease(in, Qt::LeftButton);
    EXPECT_EQ(w.view()->zoom(), 2413);
    // Leaving a box that reads 0 validates it again even without a change.
    QLineEdit* grid = Find<QComboBox>("F_GridSnap(0)")->lineEdit();
    grid->setText("0");
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(grid->text().toStdString(), State().StepText(254000));
    // Only the answer up to its first blank is the component's name.
    const int32_t map = DB_LayCompMap();
    int32_t cursor = OM_GetFirst(map);
    KComponentRecord c{};
    ASSERT_EQ(L_ReadComponent(OM_SearchMask(map, &cursor, 0, 0), &c), 1);
    answer = std::string(c.name) + " and more";
    QComboBox* mode = Find<QComboBox>("ZoomMode");
    mode->setCurrentIndex(3);
    emit mode->activated(3);
    EXPECT_EQ(prompts.back(), "Zoom on component: ( Comp Name ) ||");
    EXPECT_EQ(w.view()->originX(), c.x);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ViewTest, ThermalWindowReadsAnUnchangedBoxOnlyAfterAChange) {
    MainFrame& w = Start(Thermal(), true);
    QLineEdit* grid = Find<QComboBox>("F_GridSnap(0)")->lineEdit();
    grid->setText("0");
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(State().gridStep, 10000);
    (void)w;
}

TEST_F(ViewTest, OperationsDisableMenusAndEnterWithAModifierClicks) {
    MainFrame& w = Start();
    QTest::keyClick(&w, Qt::Key_B, Qt::ShiftModifier);
    QTest::mouseClick(w.view(), Qt::LeftButton, {}, QPoint(30, 30));
    ASSERT_EQ(w.view()->operationCode(), frontend::kOperationBox);
    EXPECT_FALSE(Find<QMenu>("M_File")->isEnabled());
    EXPECT_FALSE(Find<QWidget>("F_FSIPan")->isEnabled());
    EXPECT_EQ(Record("QORTHERM"), "Qor32 - Thermal Analyzer, 0, 0, 99, 0");
    QCursor::setPos(w.view()->mapToGlobal(QPoint(90, 70)));
    QTest::keyRelease(w.view(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(w.view()->operationCode(), 0) << "the second corner";
    EXPECT_TRUE(Find<QMenu>("M_File")->isEnabled());
    EXPECT_TRUE(Find<QWidget>("F_FSIPan")->isEnabled());
}

TEST_F(ViewTest, CrosshairRatsnestAndDisplayStates) {
    MainFrame& w = Start();
    BoardView* view = w.view();
    QTest::mouseMove(view, QPoint(50, 50));
    const QImage before = view->picture();
    QTest::keyClick(&w, Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_TRUE(State().fullCrosshair);
    EXPECT_EQ(view->picture(), before) << "overlays stay out of the picture handed out";
    QTest::keyClick(&w, Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_FALSE(State().fullCrosshair);

    // The ratsnest is drawn at once when switched on, and repainted away when switched off.
    int steps = view->drawingSteps(), full = view->fullDrawCount();
    Action("M_Ratsnest")->trigger();
    EXPECT_EQ(view->drawingSteps(), steps + 1);
    EXPECT_EQ(view->fullDrawCount(), full);
    Action("M_Ratsnest")->trigger();
    EXPECT_EQ(view->fullDrawCount(), full + 1);

    // Display states 1 to 4 hand the drawing of the analysis to the front end's hook.
    std::vector<int> drawn;
    view->drawAnalysis = [&](int state) {
        drawn.push_back(state);
        EXPECT_EQ(view->contextDepth(), 1);
    };
    for (int state = 0; state <= 4; ++state) {
        State().displayState = state;
        w.Repaint();
    }
    EXPECT_EQ(drawn, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(ViewTest, ColourMapsLieUnderTheDesignAndTheMonochromeOutlineShows) {
    MainFrame& w = Start();
    BoardView* view = w.view();
    State().setOrigin(0, 0);
    const QColor paper = PaletteColour(223);
    const auto corner = [&] { return view->picture().pixelColor(2, 2); };
    w.Repaint();
    EXPECT_EQ(corner(), paper);
    view->drawAnalysis = [](int) {
        G_SetStyle(1);
        G_SetColor(4);
        G_Rectangle(-220000000, -220000000, 440000000, 440000000, 0);
    };
    State().displayState = 1;
    w.Repaint();
    EXPECT_EQ(corner(), PaletteColour(4)) << "no background over the colour map";
    State().displayState = 0;

    // Monochrome: white paper, the outline in black.
    view->ZoomToBoard();
    Action("M_Monochrome")->trigger();
    const frontend::BoardExtent& e = view->boardExtent();
    const QPointF left = view->PixelOf(e.left, e.bottom + 0.2 * (double(e.top) - e.bottom));
    int dark = 0;
    const QImage picture = view->picture();
    for (int dx = -1; dx <= 1; ++dx)
        if (picture.pixelColor(int(left.x()) + dx, int(left.y())).lightness() < 128) ++dark;
    EXPECT_GT(dark, 0) << left.x() << "," << left.y();
}

TEST_F(ViewTest, MenuItemsSetTheirHelpTopicsPerAnalyzer) {
    std::vector<int> topics;
    kernel::setHelpDisplay([&](int32_t, const std::string&, int32_t t) { topics.push_back(t); });
    E_SysTable(12)[0] = 1;
    const auto topic = [](int menu, int item) { return menu * 13301 + item * 133 - 13432; };
    {
        Start();
        topics.clear();
        Action("M_Mirror")->trigger();
        Action("M_Millimetres")->trigger();
        Action("M_Stacked")->trigger();
        EXPECT_EQ(topics, (std::vector<int>{topic(6, 9), topic(7, 4), topic(3, 1)}));
    }
    DB_CloseDesign();
    {
        Start(Em());
        topics.clear();
        Action("M_Mirror")->trigger();
        Action("M_Millimetres")->trigger();
        Action("M_Stacked")->trigger();
        EXPECT_EQ(topics, (std::vector<int>{topic(5, 8), topic(6, 1), topic(2, 1)}));
    }
    E_SysTable(12)[0] = 0;
    kernel::setHelpDisplay({});
}

// A front end's frame: its editing function records the clicks it gets.
class EditingFrame : public MainFrame {
  public:
    using MainFrame::MainFrame;
    std::vector<std::pair<QPointF, QPoint>> clicks;

  protected:
    bool RunEditFunction(double x, double y, QPoint pixel) override {
        clicks.push_back({QPointF(x, y), pixel});
        return true;
    }
};

TEST_F(ViewTest, ClicksWithoutABoxGoToTheEditingFunction) {
    OpenDemo();
    EditingFrame* frame = nullptr;
    component_ = std::make_unique<FrameComponent>(
        [&](StartupValues& values) {
            auto w = std::make_unique<EditingFrame>(Thermal(), values,
                                                    std::make_unique<FakeEngine>(engine));
            frame = w.get();
            return w;
        },
        values_);
    component_->SetSeverPath(std::string(QOR_SOURCE_DIR) + "/examples/menus");
    ASSERT_TRUE(component_->Load(0));
    ASSERT_NE(frame, nullptr);
    QTest::mouseClick(frame->view(), Qt::LeftButton, {}, QPoint(70, 40));
    ASSERT_EQ(frame->clicks.size(), 1u);
    EXPECT_EQ(frame->clicks[0].second, QPoint(70, 40));
    EXPECT_EQ(frame->clicks[0].first, frame->view()->DesignPoint(QPointF(70, 40)));
    // Another analyzer in the middle of an operation: the click starts nothing.
    E_SetString("QOREMAMW_", "1");
    E_SetString("QOREMA", "Qor32 - Electromagnetic Analyzer, 0, 0, 99, 0");
    QTest::mouseClick(frame->view(), Qt::LeftButton, {}, QPoint(70, 40));
    EXPECT_EQ(frame->clicks.size(), 1u);
    EXPECT_EQ(messages.size(), 1u);
    E_SetString("QOREMAMW_", "");
    E_SetString("QOREMA", "");
}

TEST_F(ViewTest, APaintEventThatDrawsThePictureShowsIt) {
    MainFrame& w = Start();
    BoardView* view = w.view();
    State().setOrigin(1e8, 1e8);                 // far from the board: the paper colour everywhere
    view->resize(view->size() - QSize(10, 10));  // the picture must be drawn anew
    const QImage shown = view->grab().toImage();
    EXPECT_EQ(shown.pixelColor(2, 2), PaletteColour(223));
}

TEST_F(ViewTest, ThermalWindowIgnoresFrameCommands) {
    MainFrame& w = Start();
    const int before = w.view()->drawingSteps();
    ASSERT_TRUE(component_->SetHiddenText("F_FrmCmd", "REDRAWTRACE,-1"));
    EXPECT_EQ(w.view()->drawingSteps(), before);
}

}  // namespace
}  // namespace qor::widgets

namespace qor::widgets {
namespace {

// The node of a component's pin, found over every net's nodes.
std::optional<KNodeRecord> PinNode(int32_t component, int32_t pin) {
    int32_t nets = OM_GetFirst(DB_NetMap());
    while (const int32_t net = OM_SearchMask(DB_NetMap(), &nets, 0, 0)) {
        const int32_t map = N_NodeMap(net);
        int32_t cursor = OM_GetFirst(map);
        while (const int32_t node = OM_SearchMask(map, &cursor, 0, 0)) {
            KNodeRecord r{};
            if (N_ReadNode(node, &r) && r.component == component && r.pin == pin) return r;
        }
    }
    return std::nullopt;
}

TEST_F(ViewTest, ComponentInformationOfAClickedPadAndOfEmptyBoard) {
    MainFrame& w = Start();
    const int32_t u1 = OM_FindName(DB_LayCompMap(), "U1");
    ASSERT_NE(u1, 0);
    const auto node = PinNode(u1, 1);
    ASSERT_TRUE(node);
    const QPoint pixel = w.view()->PixelOf(node->x, node->y).toPoint();
    ASSERT_TRUE(w.PickComponentInfo(node->x, node->y, pixel));
    QWidget* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "THMINFOB" && top->isVisible()) window = top;
    ASSERT_NE(window, nullptr);
    auto* text = window->findChild<QPlainTextEdit*>("F_TxtBuffer");
    ASSERT_NE(text, nullptr);
    const QString lines = text->toPlainText();
    EXPECT_TRUE(lines.startsWith("Comp: U1")) << lines.toStdString();
    EXPECT_TRUE(lines.contains("Pad no. :1")) << lines.toStdString();
    // Far outside the board there is nothing to show.
    EXPECT_FALSE(w.PickComponentInfo(-50000000, -50000000, QPoint(0, 0)));
}

}  // namespace
}  // namespace qor::widgets
