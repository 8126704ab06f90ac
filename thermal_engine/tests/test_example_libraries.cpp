// The example libraries built from examples/lib and the example profile that selects them.
#include "test_support.h"

namespace qor::thm::test {
namespace {

class ExampleLibraries : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        setProfileFile(engine(), QOR_EXAMPLE_PROFILE);
    }
};

TEST_F(ExampleLibraries, EveryDeviceIsFoundThroughTheSet) {
    ASSERT_EQ(THM_S_Begin(), 0);
    const std::vector<std::string> libraries = setNames();
    THM_S_End();
    EXPECT_EQ(libraries, (std::vector<std::string>{"ICS", "PASSIVE", "POWER"}));

    std::size_t devices = 0;
    const std::string folder = libraryFolder(engine());
    for (const std::string& library : libraries) {
        SCOPED_TRACE(library);
        ASSERT_EQ(THM_L_LibrarySelect(libraryPath(folder, library).c_str()), 0);
        const std::vector<std::string> names = selectedNames();
        THM_L_LibraryFree();
        devices += names.size();
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            std::string lower = name;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            DeviceRecord r{};
            ASSERT_EQ(THM_G_GetDeviceParameters(lower.c_str(), &r), 1);
            EXPECT_EQ(nameOf(r), name);
            EXPECT_TRUE(r.packageType >= 10 && r.packageType <= 54);
            EXPECT_LE(r.minPowerW, r.maxPowerW);
            EXPECT_GT(r.junctionCaseCPerW, 0.0);
            EXPECT_GT(r.caseAirCPerW, 0.0);
        }
    }
    EXPECT_GE(devices, 60u);
}

TEST_F(ExampleLibraries, TheDemoDevicesAreKnown) {
    for (const char* name :
         {"LM7805",   "LM1117-3.3", "AMS1117-3.3", "STM32F103C8T6", "ATmega328P", "ULN2003A",
          "L293D",    "IRF540N",    "IRLZ44N",     "2N7002",        "BC547",      "1N4007",
          "1N5819",   "SS34",       "LM358",       "NE555",         "74HC595",    "74HC14",
          "MAX232",   "R0805",      "C0805",       "ELCAP-6.3X11",  "HC49",       "LED0805",
          "HDR-1X04", "USB-MICRO-B"}) {
        SCOPED_TRACE(name);
        DeviceRecord r{};
        EXPECT_EQ(THM_G_GetDeviceParameters(name, &r), 1);
    }
}

}  // namespace
}  // namespace qor::thm::test
