// The small windows both front ends share: active layers (THMACTIV, EMAACTIV), colours (CtempFRM,
// EMACISOL), isotherm density (DensityFRM), isoline density (EMADENS), the input box (QorInpBG) and
// the information window (THMINFOB), with the calls that show them for a main window.
#pragma once

#include <QDialog>
#include <QPoint>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "qor/frontend/analyzer.h"
#include "qor/frontend/layer_table.h"
#include "qor/frontend/shared_dialogs.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTableWidget;

namespace qor::widgets {

class MainFrame;

// A dialog of the analyzers: Ctrl+F1 released while it has the focus shows the current help topic.
class AnalyzerDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AnalyzerDialog(QWidget* parent = nullptr);
    std::function<void()> onHelp;

  protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    // A push button with its object name, caption and message number.
    QPushButton* Button(const char* name, const char* caption, int number);
};

// ---- Active layers
// ---------------------------------------------------------------------------------

class ActiveLayersDialog : public AnalyzerDialog {
    Q_OBJECT
  public:
    ActiveLayersDialog(frontend::LayerTable& table, frontend::Analyzer analyzer,
                       QWidget* parent = nullptr);
    bool cancelled() const { return grid_.cancelled(); }
    // Fills the grid from the layer table.
    void Fill();
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void fillRow(int row);

    frontend::ActiveLayersGrid grid_;
    QTableWidget* table_ = nullptr;
    bool activated_ = false;
};

// View "&Active Layers": the dialog over the layer table; false when it was cancelled (the view is
// then not repainted).
bool ShowActiveLayers(MainFrame& frame, frontend::LayerTable& table);

// ---- Colours
// ---------------------------------------------------------------------------------------

class ColoursDialog : public AnalyzerDialog {
    Q_OBJECT
  public:
    // The thermal window's CtempFRM, the EM window's EMACISOL.
    ColoursDialog(const frontend::ColourTable& colours, frontend::Analyzer analyzer,
                  QWidget* parent = nullptr);
    frontend::ColourTable colours() const { return model_.Accepted(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void refresh();

    frontend::ColoursDialogModel model_;
    std::array<QLabel*, 16> scale_{};
    std::array<QLabel*, 16> palette_{};
    std::array<QFrame*, 16> frames_{};
};

// Setup "&Colors": replaces the main window's colour table on "Accept"; false on "Cancel".
bool ShowColours(MainFrame& frame);

// ---- Density
// -----------------------------------------------------------------------------------------

class IsothermDensityDialog : public AnalyzerDialog {
    Q_OBJECT
  public:
    // step: the engine's isotherm step (degrees Celsius x 50); temperatureUnit 1 Centigrade,
    // 0 Fahrenheit.
    IsothermDensityDialog(int32_t step, int temperatureUnit, QWidget* parent = nullptr);
    int32_t step() const;

  private:
    frontend::IsothermDensity density_;
    QScrollBar* bar_ = nullptr;
    QLabel* label_ = nullptr;
};

// Setup "&Isotherm Density": the new step on "Accept", nothing on "Cancel".
std::optional<int32_t> ShowIsothermDensity(MainFrame& frame, int32_t step, int temperatureUnit);

class IsolineDensityDialog : public AnalyzerDialog {
    Q_OBJECT
  public:
    // density: the engine's isoline density (1 to 1000); fieldMin, fieldMax: the engine's field
    // range; formatValue: the EM window's field value format (microvolts per metre in).
    IsolineDensityDialog(int32_t density, double fieldMin, double fieldMax,
                         std::function<std::string(double)> formatValue, QWidget* parent = nullptr);
    int32_t density() const;

  private:
    QScrollBar* bar_ = nullptr;
    QLabel* label_ = nullptr;
};

std::optional<int32_t> ShowIsolineDensity(MainFrame& frame, int32_t density, double fieldMin,
                                          double fieldMax,
                                          std::function<std::string(double)> formatValue);

// ---- Input box
// ------------------------------------------------------------------------------------

class InputBox : public AnalyzerDialog {
    Q_OBJECT
  public:
    InputBox(const std::string& prompt, const std::string& secondPrompt,
             const std::string& defaultText, QWidget* parent = nullptr);
    // The answer: "" until "Accept" or Enter (then the entry trimmed, or one blank).
    const std::string& answer() const { return answer_; }
    // Where the box goes when it is shown (null: where it is).
    std::function<QPoint(QSize)> placement;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLineEdit* entry_ = nullptr;
    std::string answer_;
};

// The one-line input: the answer trimmed; "" when cancelled or left empty.
std::string InputLine(MainFrame& frame, const std::string& prompt, const std::string& secondPrompt,
                      const std::string& defaultText);

// ---- Information window
// --------------------------------------------------------------------------

class InfoWindow : public QWidget {
    Q_OBJECT
  public:
    explicit InfoWindow(QWidget* parent = nullptr);
    // Shows the text; a hidden window first goes to the screen point (kept inside the main
    // window's right edge), is shown and made topmost.
    void ShowText(const std::string& text, QPoint screenPoint, const QRect& mainWindow);
    // "Close": no longer topmost, hidden.
    void CloseWindow();
    std::function<void()> onHelp;

  protected:
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    QPlainTextEdit* text_ = nullptr;
};

// The information window of a main window (made on first use, an owned window of the frame) with
// a text, placed at a point of the drawing area.
InfoWindow& ShowInfoText(MainFrame& frame, const std::string& text, QPoint areaPixel);

// The component-information tool: the lines of a component (and of the pad hit, 0 for none) in
// the information window next to the click; false when the component cannot be read.
bool ShowComponentInfo(MainFrame& frame, int32_t component, int32_t pad, QPoint areaPixel,
                       int unitIndex);

}  // namespace qor::widgets
