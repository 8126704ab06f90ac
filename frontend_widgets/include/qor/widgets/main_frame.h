// The main window frame of an analyzer (THMMAIN, EMAMAIN): start-up and shut-down, the command
// channel, the tool panels, the settings panel, the colour legend and the drawing area. The
// analyzers' own menus and tools are added by the front ends.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qor/frontend/analyzer.h"
#include "qor/frontend/context_help.h"
#include "qor/frontend/coordination.h"
#include "qor/frontend/engine.h"
#include "qor/frontend/files.h"
#include "qor/frontend/host_commands.h"
#include "qor/frontend/localization.h"
#include "qor/frontend/messages.h"
#include "qor/frontend/tool_menus.h"
#include "qor/widgets/printing.h"
#include "qor/widgets/qt_services.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QPushButton;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QScrollBar;
class QToolButton;
class QWidget;

namespace qor::widgets {

class BoardView;

// What distinguishes the two analyzers' frames.
struct FrameDescription {
    frontend::Analyzer analyzer = frontend::Analyzer::Thermal;
    std::string windowName;  // "THMMAIN"
    std::string labelName;   // the start-up label window, "THMLABEL"
    std::string labelText;   // its title line
    int labelTextNumber = 0;
    std::string caption;  // the main window's default caption
    int captionNumber = 0;
    std::string componentName;  // the component's file name: context help file name
    std::string helpContents;   // "QORTHERM.HLP"
    std::string menuProfile;    // "THMFSI.MEN"
    std::string readoutLabel;   // "Temp: "
    int readoutNumber = 0;
    int toolHelpItem = 1;  // the tool help topics: (9, item, tool + 1, 0)
    // The editing menus (Edit menu items M_FSI(n)).
    struct EditMenu {
        int menu;
        std::string caption;
        int number;
    };
    std::vector<EditMenu> editMenus;
    // Menu items of the analyzer whose actions the front end has not built yet: shown disabled,
    // under their menu's title.
    struct PendingItem {
        std::string menu;
        std::string name;
        std::string caption;
        int number;
    };
    std::vector<PendingItem> pendingItems;
    // The captions of the picture strips' cells (P_FSI, P_OST), a few characters each.
    std::vector<std::string> toolPictures;
    std::vector<std::string> subToolPictures;
};

// The start-up values that live as long as the front-end library: the server path set by the
// host, and what start-up reads from the design and the profile.
struct StartupValues {
    std::string serverPath;
    std::string contextHelpFile;
    std::string profileFile;
    int32_t design = 0;
    std::string designName;
    int32_t hierarchy = 0;
    std::string hierarchyName;
    std::string jobDir, libDir, sysDir, marn3JobDir;
    std::vector<std::string> devLibs, schLibs, layLibs;
    std::array<int32_t, 16> colours{};
    bool loadFailed = false;
};

class MainFrame : public QMainWindow,
                  public frontend::CommandTarget,
                  public frontend::StatusWindow {
    Q_OBJECT
  public:
    // engine: null for an analyzer whose engine is not part of this build (its board is not
    // loaded and its analysis tools stay disabled).
    MainFrame(FrameDescription description, StartupValues& values,
              std::unique_ptr<frontend::AnalyzerEngine> engine);
    ~MainFrame() override;

    // The start-up sequence; false when it was aborted (the window then unloaded at once).
    bool StartUp();
    // Loaded: started and not yet unloaded.
    bool isLoaded() const { return loaded_; }

    // The host's commands and the window's outgoing calls.
    void AP_ExeCmd(const std::string& command);
    void AP_SendCmd(const std::string& aname, const std::string& command);
    void AP_SendCmdAll(const std::string& command);
    void AP_Shell(const std::string& fileName, int mode);
    // Unloads the window unless an operation is under way.
    void ShutDown();
    void SetNotifyClass(std::function<void(const std::string&, const std::string&)> handler) {
        notify_ = std::move(handler);
    }

    // Shows a dialog modally with the frame's bookkeeping (centred, modal depth, status record);
    // the dialog is deleted afterwards.
    void ShowModalDialog(QDialog* dialog);
    // Opens a window of this analyzer; shut-down unloads it, last opened first.
    void AddOwnedWindow(QWidget* window);
    // Sets the drawing area's cursor to kernel cursor 1 (choice 0) or 2.
    void SetWindowClassCursor(QWidget* window, int cursorChoice);
    // True when at least one printer is installed.
    static bool PrintersPresent();
    frontend::Analyzer analyzer() const { return description_.analyzer; }
    // Ctrl+F1 in a dialog: the current help topic, without the host's switch.
    void ShowCurrentHelp();
    // Replaces the colour table (Setup "&Colors") and recolours the legend.
    void SetColours(const std::array<int32_t, 16>& colours);

    // The File menu's printing and clipboard items.
    Printing& printing() { return *printing_; }
    // "Printer &Setup": false when cancelled.
    bool PrinterSetup();
    // "&Print" on a printer: the pages printed (0 when cancelled or the printer failed).
    int PrintPicture(QPrinter& printer);
    // "Copy Screen to Clipboard": false when there was no picture.
    bool CopyScreen();
    // The frames of what is shown besides the board (notes, copper and dimension symbols,
    // temporary labels), joined to the print area.
    std::vector<KRect> ShownFrames() const;
    // Test seams for printing and copying; unset, the view draws the current display state into
    // the open kernel context, ShownFrames() gives the frames, and the view's picture is copied.
    std::function<void()> drawPicture;
    std::function<std::vector<KRect>()> shownFrames;
    std::function<QImage()> screenPicture;

    // CommandTarget
    void Repaint() override;
    void Maximize() override;
    void Minimize() override;
    void RestoreSize() override;
    void ReloadDesign() override;
    void Exit() override;
    int CurrentHierarchy() override;
    void CentreOn(double x, double y) override;
    void ZoomToBox(double width, double height, double x, double y) override;

    // StatusWindow
    std::string caption() const override;
    int windowState() const override;

    // ---- the view ----
    // "Redra&w": reads the typed zoom, applies the zoom mode, refreshes the zoom text and
    // repaints (also run when a zoom mode is chosen).
    void RedrawView();
    // The EM window's drawing commands of F_FrmCmd ("REDRAWTRACE", "HIGHLIGTH", "DRAWRECORD");
    // false for another text.
    bool ExecuteFrameCommand(const std::string& command);
    // The reference point set or removed as Shift+P, Shift+G and Shift+R do (kind 'P', 'G', 'R').
    void ReferencePointKey(char kind);
    // Deletes the temporary label texts of the layout (mask 4, EM 8).
    void DeleteLabelTexts();
    // After the view's operation code changed: while an operation runs, the Edit and File menus
    // and the tool panel are disabled.
    void OperationChanged();
    // The component-information tool's click: the component (and pad) under a design point
    // within the pick aperture shown in the information window next to the click; false when
    // nothing is there.
    bool PickComponentInfo(double x, double y, QPoint pixel);
    // The pick aperture in design units (the kernel's aperture times the zoom).
    int32_t pickApertureUnits() const { return pickApertureUnits_; }

    // Seams filled by other parts of the front end (tests set them too): the active-layers dialog
    // (false when cancelled), the input box (prompt, second prompt line, default text; the answer,
    // "" when cancelled) and the beep.
    std::function<bool()> activeLayersDialog;
    std::function<std::string(const std::string& prompt, const std::string& secondPrompt,
                              const std::string& defaultText)>
        inputLine;
    std::function<void()> beep;

    BoardView* view() const { return view_; }
    frontend::ToolPanelState& toolPanels() { return panels_; }
    frontend::Messages& messages() { return messages_; }
    frontend::AnalyzerCoordination& coordination() { return coordination_; }
    const frontend::InterfaceFont& interfaceFont() const { return font_; }
    const StartupValues& values() const { return values_; }
    // Selects an editing menu as its Edit menu item does.
    void SelectEditMenu(int menu);
    void PressTool(int tool);
    void PressSubTool(int subTool);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // A tool of the panel was pressed; the front ends run its action.
    virtual void RunToolAction(int menu, int tool);
    // Whether the front end has built a tool's action; a tool without one is shown disabled.
    virtual bool ToolAvailable(int menu, int tool) const;
    // A left click in the drawing area with no box operation: the current editing function
    // (design point and pixel); true when it was handled. The front ends override it.
    virtual bool RunEditFunction(double x, double y, QPoint pixel);
    // The pointer moved to a design point while a display state other than 0 is shown: the
    // front end refreshes its analysis read-out (F_TempMsg).
    virtual void UpdateAnalysisReadout(double x, double y);
    // Whether the read-out stays as it is after a click has been handled (the EM window while its
    // simulation set-up window is open).
    virtual bool ReadoutPausedAfterClick() const { return false; }

    const FrameDescription& description() const { return description_; }
    QMenu* fileMenu() const { return fileMenu_; }

  private:
    struct StartupAbort {};

    void buildWindow();
    // The File menu's items before "E&xit".
    void buildFileMenu();
    void paintLegend();
    void buildToolPanel();
    void buildSubToolPanel();
    void showMessageLine(const std::string& text);
    void abortUnless(bool ok);
    void readDesign();
    void loadEngine();
    void initializeView();
    void readColours();
    void unload();
    void handleShortText(const QString& text);
    // The window's keys, seen before its controls; true when the key was taken.
    bool handleKey(QKeyEvent* event);

    // The view (main_frame_view.cpp).
    void buildViewMenus(QMenu* preferences);
    QAction* viewItem(QMenu* menu, const char* name, const char* text, int number, bool checkable);
    void connectViewControls();
    void initializeViewState();
    void startZoom();
    void viewResized();
    bool handleViewKey(QKeyEvent* event);
    void pressCancelKey();
    void fillLists();
    void refreshZoomText();
    void refreshStepTexts();
    void afterZoom();
    void updateScrollBars();
    void refreshReadout();
    void pointerMoved(QPoint pixel);
    void released(QPoint pixel, Qt::MouseButton button);
    void stepEntered(int which, bool edited);
    void zoomEntered(bool edited);
    void magnify(int button);
    void changePicture();
    void doBeep();

    FrameDescription description_;
    StartupValues& values_;
    std::unique_ptr<frontend::AnalyzerEngine> engine_;
    QtMessageBox box_;
    frontend::Messages messages_;
    frontend::FileAccess files_;
    frontend::AnalyzerCoordination coordination_;
    KernelHelpSystem helpSystem_;
    std::optional<frontend::ContextHelp> help_;
    frontend::ToolPanelState panels_;
    frontend::InterfaceFont font_;
    std::function<void(const std::string&, const std::string&)> notify_;
    std::vector<QPointer<QWidget>> ownedWindows_;
    bool loaded_ = false;
    bool unloading_ = false;
    QSize minimumStartSize_;

    BoardView* view_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    std::unique_ptr<Printing> printing_;
    QMenu* editMenu_ = nullptr;
    std::vector<QAction*> editActions_;
    QAction* settingsPanelAction_ = nullptr;
    QAction* toolbarAction_ = nullptr;
    QWidget* settingsPanel_ = nullptr;
    QWidget* toolPanel_ = nullptr;
    QWidget* subToolPanel_ = nullptr;
    std::array<QToolButton*, 11> tools_{};
    std::array<QToolButton*, 11> subTools_{};
    QLabel* toolStrip_ = nullptr;
    QLabel* subToolStrip_ = nullptr;
    QLabel* busy_ = nullptr;
    QLabel* messageLine_ = nullptr;
    QLabel* xPos_ = nullptr;
    QLabel* yPos_ = nullptr;
    QWidget* legend_ = nullptr;
    std::array<QLabel*, 16> legendColours_{};
    QScrollBar* hScroll_ = nullptr;
    QScrollBar* vScroll_ = nullptr;
    QLineEdit* frmCmd_ = nullptr;
    QLineEdit* shortCmd_ = nullptr;
    QCursor cursors_[2];

    QComboBox* zoomCombo_ = nullptr;
    QComboBox* zoomMode_ = nullptr;
    std::array<QToolButton*, 2> magnify_{};
    QPushButton* redrawButton_ = nullptr;
    QCheckBox* gridCheck_ = nullptr;
    std::array<QComboBox*, 2> gridSnap_{};
    QLineEdit* angleSnap_ = nullptr;
    QAction* coordsAction_ = nullptr;
    QAction* trueSizeAction_ = nullptr;
    QAction* scrollBarsAction_ = nullptr;
    QAction* paletteAction_ = nullptr;
    std::array<QAction*, 3> measureActions_{};
    std::array<QAction*, 2> unitActions_{};
    bool settingScroll_ = false;
    bool fitOnResize_ = false;
    std::array<bool, 3> edited_{};  // zoom, grid, snap boxes typed into since last read
    QPoint lastPixel_;
    double lastX_ = 0, lastY_ = 0;
    double boxX_ = 0, boxY_ = 0;
    int32_t pickApertureUnits_ = 0;
};

}  // namespace qor::widgets
