// Qortherm: the thermal analyzer's front end. It publishes the class clsQortherm, whose main
// window is THMMAIN.
#include <memory>

#include "qor/frontend/component.h"
#include "qor/frontend/engine_binding.h"
#include "qor/platform/export.h"
#include "qor/widgets/frame_component.h"

namespace qor::thermal {

namespace {

// The start-up values live as long as the library.
widgets::StartupValues& Values() {
    static widgets::StartupValues values;
    return values;
}

widgets::FrameDescription Description() {
    widgets::FrameDescription d;
    d.analyzer = frontend::Analyzer::Thermal;
    d.windowName = "THMMAIN";
    d.labelName = "THMLABEL";
    d.labelText = "Automatic Thermo Analyzer";
    d.labelTextNumber = 3916;
    d.caption = "Qor32 - Thermal Analyzer";
    d.captionNumber = 0;
    d.componentName = "Qortherm";
    d.helpContents = "QORTHERM.HLP";
    d.menuProfile = "THMFSI.MEN";
    d.readoutLabel = "Temp: ";
    d.readoutNumber = 3995;
    d.toolHelpItem = 1;
    d.editMenus = {{1, "&Components", 9922}};
    d.pendingItems = {
        {"&Setup", "M_Colors", "&Colors", 9919},
        {"&Setup", "M_IsoDensity", "&Isotherm Density", 397},
        {"&Run", "M_Riso", "Thermo Analysis", 39102},
        {"&Display", "M_DDesigned", "As Designed", 3915},
        {"&Display", "M_DBoard", "Colored Board", 3930},
        {"&Display", "M_DComponents", "Colored Components", 3932},
        {"&Display", "M_DBoardComponents", "Colored Board + Components", 3931},
        {"&Display", "M_DIso", "Isothermes", 3953},
    };
    d.toolPictures = {"CT", "CL", "CP", "BP", "CO", "EP", "ID", "TL", "TA", "--", "CI"};
    d.subToolPictures = {"45", "", "", "", "", "", "", "", "", "", "Esc"};
    return d;
}

class ThermalMainWindow : public widgets::MainFrame {
  public:
    explicit ThermalMainWindow(widgets::StartupValues& values)
        : MainFrame(Description(), values,
                    std::make_unique<frontend::EngineBinding>("libQORTHM32.so", "THM_", true)) {}

  protected:
    // The analysis tools come with the thermal front end; until then the neutral tool and the
    // component information work.
    bool ToolAvailable(int, int tool) const override { return tool == 9 || tool == kInfoTool; }
    bool RunEditFunction(double x, double y, QPoint pixel) override {
        if (toolPanels().currentMenu() != 1 || toolPanels().current().currentTool != kInfoTool)
            return false;
        PickComponentInfo(x, y, pixel);
        return true;
    }

  private:
    static constexpr int kInfoTool = 10;
};

}  // namespace

}  // namespace qor::thermal

extern "C" QOR_API qor::frontend::HostComponent* QorCreateObject(const char* className) {
    using namespace qor;
    if (!className || std::string_view(className) != "clsQortherm") return nullptr;
    return new widgets::FrameComponent(
        [](widgets::StartupValues& values) {
            return std::make_unique<thermal::ThermalMainWindow>(values);
        },
        thermal::Values());
}
