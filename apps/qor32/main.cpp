// qor32: headless work on boards and designs.
//
//   qor32 import BOARD.kicad_pcb -o DESIGN.qdb
//   qor32 thermal DESIGN.qdb --out DIR
//   qor32 nets DESIGN.qdb [--voltage V --frequency F]
//   qor32 field DESIGN.qdb --nets FILE.enp --out DIR
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <cstdlib>

#include "qor/importers/kicad.h"
#include "field_command.h"
#include "nets_command.h"
#include "thermal_command.h"

namespace {

// Qt's note about a missing runtime folder means nothing to a batch run.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.startsWith("QStandardPaths:")) return;
    std::fprintf(stderr, "%s%s\n", type >= QtCriticalMsg ? "qor32: " : "", message.toLocal8Bit().constData());
}

constexpr const char* kUsage =
    "usage: qor32 <command> [options]\n"
    "\n"
    "commands:\n"
    "  import   read a KiCad board (.kicad_pcb) into a design file (.qdb)\n"
    "  thermal  thermal analysis of a design: pictures, components.csv, report.json\n"
    "  nets     the routed nets of a design as a net parameter file (.enp)\n"
    "  field    near field of the nets of a net parameter file: pictures, field.json\n"
    "\n"
    "'qor32 <command> --help' describes a command.\n";

constexpr const char* kImportUsage =
    "usage: qor32 import BOARD.kicad_pcb [-o DESIGN.qdb]\n"
    "\n"
    "Reads a KiCad 5 to 8 board and writes a design file: outline, components, pads, nets,\n"
    "tracks, vias and zones. The output is replaced only when the whole import succeeds.\n"
    "\n"
    "options:\n"
    "  -o, --output FILE   design file to write (default: the board's name with .qdb)\n"
    "  -q, --quiet         print nothing but errors\n";

bool isHelp(const std::string& a) { return a == "-h" || a == "--help"; }

int usageError(const char* usage, const std::string& message) {
    std::fprintf(stderr, "qor32: %s\n\n%s", message.c_str(), usage);
    return 2;
}

int runImport(const std::vector<std::string>& args) {
    std::string board, output;
    bool quiet = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (isHelp(a)) {
            std::fputs(kImportUsage, stdout);
            return 0;
        }
        if (a == "-o" || a == "--output") {
            if (i + 1 >= args.size()) return usageError(kImportUsage, a + " needs a file name");
            output = args[++i];
        } else if (a.starts_with("--output=")) {
            output = a.substr(9);
        } else if (a == "-q" || a == "--quiet") {
            quiet = true;
        } else if (a.starts_with("-")) {
            return usageError(kImportUsage, "unknown option " + a);
        } else if (board.empty()) {
            board = a;
        } else {
            return usageError(kImportUsage, "one board at a time");
        }
    }
    if (board.empty()) return usageError(kImportUsage, "no board given");
    if (output.empty()) output = std::filesystem::path(board).replace_extension(".qdb").string();

    qor::kicad::ImportReport report;
    std::string error;
    if (!qor::kicad::importBoardFile(board, output, report, error)) {
        std::fprintf(stderr, "qor32 import: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& w : report.warnings) std::fprintf(stderr, "qor32 import: warning: %s\n", w.c_str());
    if (!quiet)
        std::printf("%s: %d components, %d pads on nets, %d track pieces, %d vias, %d zones, outline of %d points\n",
                    output.c_str(), report.components, report.padsOnNets, report.trackPieces, report.vias,
                    report.zones, report.outlineRecords);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usageError(kUsage, "no command given");
    const std::string command = args.front();
    args.erase(args.begin());
    if (isHelp(command)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "import") return runImport(args);
    if (command == "nets") return qor::cli::runNets(args);
    if (command == "thermal" || command == "field") {
        // Pictures and their legends are drawn with Qt; no window system is needed.
        if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        qInstallMessageHandler(quietQtMessages);
        QGuiApplication app(argc, argv);
        return command == "thermal" ? qor::cli::runThermal(args, argv[0]) : qor::cli::runField(args, argv[0]);
    }
    return usageError(kUsage, "unknown command " + command);
}
