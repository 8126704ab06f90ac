// The shared dialogs and the information window, offscreen, through their object names.
#include "qor/widgets/shared_dialogs.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include "frame_fixture.h"
#include "qor/frontend/text_utils.h"
#include "qor/localtext/localtext.h"
#include "qor/widgets/board_view.h"
#include "qor/widgets/main_frame.h"

namespace qor::widgets {
namespace {

using testing::LoadedFrame;
using testing::WhenModalShown;

template <typename T>
T* Child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void Click(QWidget* w, const char* button) {
    QPushButton* b = Child<QPushButton>(w, button);
    if (b) b->click();
}

// Presses the mouse on one row of F_Layer and releases it on another.
void DragRows(QTableWidget* grid, int from, int to) {
    const auto centre = [grid](int row) {
        return QPoint(grid->columnViewportPosition(1) + 4, grid->rowViewportPosition(row) + 4);
    };
    grid->scrollToTop();
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, centre(from));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre(to));
}

class DialogsTest : public LoadedFrame {};

TEST_F(DialogsTest, ActiveLayersClickTogglesARowAndAcceptWritesTheKernel) {
    Load();
    // The view's own table: the view writes it to the kernel before every repaint.
    frontend::LayerTable& table = frame().view()->layers();
    table.ReadFromKernel();
    table.SetEnabledMask(0b1);
    table.WriteToKernel();
    bool accepted = false;
    WhenModalShown([](QWidget* d) {
        EXPECT_EQ(d->objectName(), "THMACTIV");
        EXPECT_EQ(d->windowTitle(), "Select Active Layers");
        auto* grid = Child<QTableWidget>(d, "F_Layer");
        ASSERT_TRUE(grid);
        EXPECT_EQ(grid->rowCount(), 33);
        EXPECT_EQ(grid->columnCount(), 3);
        EXPECT_EQ(grid->item(0, 2)->text(), "Enabled");
        EXPECT_EQ(grid->item(1, 1)->text(), "Board");
        EXPECT_EQ(grid->item(1, 2)->text(), "Yes");
        EXPECT_EQ(grid->item(2, 2)->text(), "No ");
        DragRows(grid, 0, 0);  // the header toggles nothing
        DragRows(grid, 3, 3);  // one click, one layer
        EXPECT_EQ(grid->item(3, 2)->text(), "Yes");
        EXPECT_EQ(grid->item(4, 2)->text(), "No ");
        DragRows(grid, 5, 7);  // a drag toggles every row passed
        EXPECT_EQ(grid->item(7, 2)->text(), "Yes");
        Click(d, "Accept");
    });
    accepted = ShowActiveLayers(frame(), table);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(frontend::KernelLayerMask(), 0b1110101u);
}

TEST_F(DialogsTest, ActiveLayersCancelReadsTheTableBackAndReportsCancelled) {
    Load();
    // The view's own table: the view writes it to the kernel before every repaint.
    frontend::LayerTable& table = frame().view()->layers();
    table.ReadFromKernel();
    table.SetEnabledMask(0b11);
    table.WriteToKernel();
    WhenModalShown([](QWidget* d) {
        auto* grid = Child<QTableWidget>(d, "F_Layer");
        ASSERT_TRUE(grid);
        DragRows(grid, 1, 2);
        EXPECT_EQ(grid->item(1, 2)->text(), "No ");
        Click(d, "Cancel");
        EXPECT_EQ(grid->item(1, 2)->text(), "Yes") << "the grid is filled again";
    });
    EXPECT_FALSE(ShowActiveLayers(frame(), table));
    EXPECT_EQ(table.EnabledMask(), 0b11u);
    EXPECT_EQ(frontend::KernelLayerMask(), 0b11u);
}

TEST_F(DialogsTest, ActiveLayersInTheEmWindowAreLocalized) {
    const std::string catalog = (dir() / "de.txt").string();
    std::ofstream(catalog) << "991169=Aktive Lagen\n991435=Name\n99649=Aktiv\n99177=Annehmen\n";
    ASSERT_GT(L32_LoadCatalog(catalog.c_str()), 0);
    Load(frontend::Analyzer::Em);
    frontend::LayerTable table;
    table.ReadFromKernel();
    WhenModalShown([](QWidget* d) {
        EXPECT_EQ(d->objectName(), "EMAACTIV");
        EXPECT_EQ(d->windowTitle(), "Aktive Lagen");
        auto* grid = Child<QTableWidget>(d, "F_Layer");
        ASSERT_TRUE(grid);
        EXPECT_EQ(grid->item(0, 1)->text(), "Name");
        EXPECT_EQ(grid->item(0, 2)->text(), "Aktiv");
        EXPECT_EQ(Child<QPushButton>(d, "Accept")->text(), "Annehmen");
        Click(d, "Accept");
    });
    EXPECT_TRUE(ShowActiveLayers(frame(), table));
    const std::string none = (dir() / "none.txt").string();
    std::ofstream(none) << "";
    L32_LoadCatalog(none.c_str());
}

TEST_F(DialogsTest, ColoursPaintAScaleCellAndAcceptReplacesTheTable) {
    Load();
    const frontend::ColourTable before = frame().values().colours;
    ASSERT_EQ(before[0], 255);
    WhenModalShown([](QWidget* d) {
        EXPECT_EQ(d->objectName(), "CtempFRM");
        auto* top = Child<QLabel>(d, "Pan_ColTab(0)");
        EXPECT_EQ(top->property("colour").toInt(), 65280) << "colour 15 at the top";
        EXPECT_EQ(Child<QLabel>(d, "Pan_ColSel(0)")->property("colour").toInt(), 0xFFFFFF);
        EXPECT_EQ(Child<QFrame>(d, "SRect(0)")->frameShape(), QFrame::Box);
        QTest::mouseClick(Child<QLabel>(d, "Pan_ColSel(6)"), Qt::LeftButton);
        EXPECT_EQ(Child<QFrame>(d, "SRect(0)")->frameShape(), QFrame::NoFrame);
        EXPECT_EQ(Child<QFrame>(d, "SRect(6)")->frameShape(), QFrame::Box);
        QTest::mouseClick(Child<QLabel>(d, "Pan_ColTab(15)"), Qt::LeftButton);
        EXPECT_EQ(Child<QLabel>(d, "Pan_ColTab(15)")->property("colour").toInt(), 0xFF0000);
        Click(d, "Accept");
    });
    EXPECT_TRUE(ShowColours(frame()));
    frontend::ColourTable expected = before;
    expected[0] = 0xFF0000;  // blue, red in the low byte
    EXPECT_EQ(frame().values().colours, expected);
    EXPECT_EQ(Child<QLabel>(&frame(), "F_TColor(0)")->palette().color(QPalette::Window),
              QColor(0, 0, 255))
        << "the legend is recoloured";

    WhenModalShown([](QWidget* d) {
        QTest::mouseClick(Child<QLabel>(d, "Pan_ColTab(0)"), Qt::LeftButton);
        Click(d, "Cancel");
    });
    EXPECT_FALSE(ShowColours(frame()));
    EXPECT_EQ(frame().values().colours, expected) << "cancel changes nothing";
}

TEST_F(DialogsTest, TheEmWindowsColoursDialog) {
    Load(frontend::Analyzer::Em);
    WhenModalShown([](QWidget* d) {
        EXPECT_EQ(d->objectName(), "EMACISOL");
        Click(d, "Accept");
    });
    const frontend::ColourTable before = frame().values().colours;
    EXPECT_TRUE(ShowColours(frame()));
    EXPECT_EQ(frame().values().colours, before) << "accepted without a click: unchanged";
}

TEST_F(DialogsTest, IsothermDensityBarDefaultAcceptAndCancel) {
    Load();
    const std::string deg(frontend::kDegreeSign);
    WhenModalShown([&deg](QWidget* d) {
        EXPECT_EQ(d->objectName(), "DensityFRM");
        auto* bar = Child<QScrollBar>(d, "HSB_Value");
        auto* label = Child<QLabel>(d, "SSP_Value");
        EXPECT_EQ(bar->value(), 50);
        EXPECT_EQ(label->text().toStdString(), "5.0 " + deg + "C");
        Click(d, "Default");
        EXPECT_EQ(bar->value(), 10);
        EXPECT_EQ(label->text().toStdString(), "1.0 " + deg + "C");
        bar->setValue(1000);
        Click(d, "Accept");
    });
    EXPECT_EQ(ShowIsothermDensity(frame(), 250, frontend::kCentigrade), 5000);

    WhenModalShown([](QWidget* d) { Click(d, "Cancel"); });
    EXPECT_EQ(ShowIsothermDensity(frame(), 250, frontend::kCentigrade), std::nullopt);

    WhenModalShown([&deg](QWidget* d) {
        EXPECT_EQ(Child<QLabel>(d, "SSP_Value")->text().toStdString(), "1.8 " + deg + "F");
        Click(d, "Accept");
    });
    EXPECT_EQ(ShowIsothermDensity(frame(), 50, frontend::kFahrenheit), 50);
}

TEST_F(DialogsTest, IsolineDensityLabelFollowsTheFieldRange) {
    Load(frontend::Analyzer::Em);
    const auto format = [](double v) { return std::to_string(static_cast<int>(v)) + "uV/m"; };
    WhenModalShown([](QWidget* d) {
        EXPECT_EQ(d->objectName(), "EMADENS");
        auto* bar = Child<QScrollBar>(d, "HSB_Value");
        EXPECT_EQ(bar->singleStep(), 10);
        EXPECT_EQ(bar->pageStep(), 100);
        EXPECT_EQ(Child<QLabel>(d, "SSP_Value")->text(), "20uV/m");  // 100 x 2 x 100 / 1000
        bar->setValue(500);
        EXPECT_EQ(Child<QLabel>(d, "SSP_Value")->text(), "100uV/m");
        Click(d, "Accept");
    });
    EXPECT_EQ(ShowIsolineDensity(frame(), 100, 1, 3, format), 500);
    WhenModalShown([](QWidget* d) {
        EXPECT_EQ(Child<QLabel>(d, "SSP_Value")->text(), "50uV/m") << "no field range yet";
        Click(d, "Cancel");
    });
    EXPECT_EQ(ShowIsolineDensity(frame(), 100, 0, 0, format), std::nullopt);
}

TEST_F(DialogsTest, InputLineAnswers) {
    Load();
    const struct {
        const char* what;
        const char* typed;   // nullptr: keep the default
        const char* button;  // nullptr: Enter
        std::string result;
    } cases[] = {
        {"accept the default", nullptr, "Accept", "R12"},
        {"typed and trimmed", "  net 5 ", "Accept", "net 5"},
        {"Enter accepts", "GND", nullptr, "GND"},
        {"cancel", "GND", "Cancel", ""},
        {"empty entry", "", "Accept", ""},
        {"blank entry", "   ", "Accept", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WhenModalShown([&c](QWidget* d) {
            EXPECT_EQ(d->objectName(), "QorInpBG");
            EXPECT_EQ(Child<QPlainTextEdit>(d, "InpPrompt")->toPlainText(), "Second\nName:");
            auto* entry = Child<QLineEdit>(d, "InpText");
            EXPECT_EQ(entry->selectedText(), "R12") << "the default, fully selected";
            if (c.typed) entry->setText(c.typed);
            if (c.button)
                Click(d, c.button);
            else
                QTest::keyClick(entry, Qt::Key_Return);
        });
        EXPECT_EQ(InputLine(frame(), "Name:", "Second", "R12"), c.result);
    }
}

TEST_F(DialogsTest, InputBoxPlacementAndHelp) {
    Load();
    frame().move(40, 50);
    QPoint at;
    int helps = 0;
    WhenModalShown([&](QWidget* d) {
        at = d->pos();
        auto* box = static_cast<AnalyzerDialog*>(d);
        box->onHelp = [&helps] { ++helps; };
        QTest::keyRelease(d, Qt::Key_F1, Qt::ControlModifier);
        QTest::keyRelease(d, Qt::Key_F1);  // without Ctrl: nothing
        Click(d, "Cancel");
    });
    InputLine(frame(), "Name:", "", "");
    EXPECT_EQ(helps, 1);
    EXPECT_EQ(at, frame().frameGeometry().topLeft()) << "at the main window's corner";
}

TEST_F(DialogsTest, ComponentInfoWindowShowsTheLinesNextToTheClick) {
    Load();
    const int32_t u1 = OM_FindName(DB_LayCompMap(), "U1");
    ASSERT_TRUE(ShowComponentInfo(frame(), u1, 1, QPoint(10, 20), frontend::kUnitMillimetre));
    auto* info = frame().findChild<InfoWindow*>("THMINFOB");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    EXPECT_TRUE(info->windowFlags() & Qt::WindowStaysOnTopHint) << "topmost";
    EXPECT_EQ(info->windowTitle(), "Qor32 Info");
    const QString text = Child<QPlainTextEdit>(info, "F_TxtBuffer")->toPlainText();
    EXPECT_TRUE(text.startsWith("Comp: U1\nPart/Package: LM7805 / TO-220\n")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("Pad no. :1 in Net: VRAW")) << text.toStdString();
    EXPECT_LE(info->frameGeometry().right(), frame().frameGeometry().right() + 1);

    // A second component while the window is open: the text is replaced where it is.
    const QPoint where = info->pos();
    ASSERT_TRUE(ShowComponentInfo(frame(), OM_FindName(DB_LayCompMap(), "Y1"), 0, QPoint(300, 200),
                                  frontend::kUnitMillimetre));
    EXPECT_EQ(frame().findChildren<InfoWindow*>().size(), 1u);
    EXPECT_EQ(info->pos(), where);
    EXPECT_TRUE(Child<QPlainTextEdit>(info, "F_TxtBuffer")->toPlainText().startsWith("Comp: Y1"));

    Click(info, "Close");
    EXPECT_FALSE(info->isVisible());
    EXPECT_FALSE(info->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(ShowComponentInfo(frame(), 0, 0, QPoint(), 0)) << "no component there";
}

}  // namespace
}  // namespace qor::widgets
