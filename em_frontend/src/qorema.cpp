// Qorema: the electromagnetic analyzer's front end. It publishes the class clsQorema, whose main
// window is EMAMAIN, over the field engine QOREMA32. Its analysis tools and menus are shown
// disabled until they are built.
#include <memory>

#include "qor/frontend/component.h"
#include "qor/frontend/engine_binding.h"
#include "qor/platform/export.h"
#include "qor/widgets/frame_component.h"

namespace qor::em {

namespace {

widgets::StartupValues& Values() {
    static widgets::StartupValues values;
    return values;
}

widgets::FrameDescription Description() {
    widgets::FrameDescription d;
    d.analyzer = frontend::Analyzer::Em;
    d.windowName = "EMAMAIN";
    d.labelName = "EMALABEL";
    d.labelText = "Electromagnetic Analyzer";
    d.labelTextNumber = 4337;
    d.caption = "Qor32 - Electromagnetic Analyzer";
    d.captionNumber = 4323;
    d.componentName = "Qorema";
    d.helpContents = "QOREMA.HLP";
    d.menuProfile = "EMAFSI.MEN";
    d.readoutLabel = "Field: ";
    d.readoutNumber = 4324;
    d.toolHelpItem = 2;
    d.editMenus = {{1, "&Components", 9922}};
    d.pendingItems = {
        {"&File", "M_FNetParam(0)", "Load Net Parameters", 4325},
        {"&File", "M_FNetParam(1)", "Append Net Parameters", 4326},
        {"&File", "M_FNetParamSave", "Save Net Parameters", 4327},
        {"&Setup", "M_BParams", "&Board parameters", 4329},
        {"&Setup", "M_TemPar", "&Field Calculation Parameters", 4330},
        {"&Setup", "M_isoPar", "&Isoline Density", 4331},
        {"&Run", "M_Riso", "Electromagnetic Analysis", 4332},
        {"&Display", "NetsView", "Ne&ts", 4333},
        {"&Display", "M_DDesigned", "As Designed", 3915},
        {"&Display", "M_DBoard", "Colored Board", 3930},
        {"&Display", "M_DIso", "Isolines", 4334},
    };
    d.toolPictures = {"",   "",   "",   "",   "",   "",   "",   "",   "",   "",   "",
                      "NI", "CL", "NP", "RP", "TP", "FP", "ID", "FL", "FA", "SI", "--"};
    d.subToolPictures = {"45", "", "", "", "", "", "", "", "", "", "Esc"};
    return d;
}

class EmMainWindow : public widgets::MainFrame {
  public:
    explicit EmMainWindow(widgets::StartupValues& values)
        : MainFrame(Description(), values,
                    // The EM parameter records are the front end's own, not the engine's.
                    std::make_unique<frontend::EngineBinding>("libQOREMA32.so", "EMA_", false)) {}

  protected:
    // The analysis tools come with the EM front end; until then only the neutral tool works.
    bool ToolAvailable(int, int tool) const override { return tool == 10; }
};

}  // namespace

}  // namespace qor::em

extern "C" QOR_API qor::frontend::HostComponent* QorCreateObject(const char* className) {
    using namespace qor;
    if (!className || std::string_view(className) != "clsQorema") return nullptr;
    return new widgets::FrameComponent(
        [](widgets::StartupValues& values) { return std::make_unique<em::EmMainWindow>(values); },
        em::Values());
}
