// qor32-host: the host stand-in.
//
//   qor32-host [--design FILE.qdb | --import BOARD.kicad_pcb] [--open QORTHERM|QOREMA]...
//              [--profile FILE.ini] [--server-path DIR] [--command TEXT]... [--snapshot DIR]
//
// --command passes a command to the running analyzers as the command box does, once they are up.
// --snapshot saves a picture of each opened analyzer's main window into DIR (NAME.png) and quits.
#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host_window.h"
#include "qor/importers/kicad.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qor::host::HostSettings settings;
    settings.libraryDir = QOR_FRONTEND_LIBRARY_DIR;
    settings.serverPath = QOR_SERVER_PATH;
    settings.profileFile = QOR_DEFAULT_PROFILE;
    std::string design, board;
    std::vector<std::string> open, commands;
    std::string snapshot;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const std::string a = args[i].toStdString();
        const bool hasValue = i + 1 < args.size();
        const std::string v = hasValue ? args[i + 1].toStdString() : std::string();
        if (a == "--design" && hasValue)
            design = v, ++i;
        else if (a == "--import" && hasValue)
            board = v, ++i;
        else if (a == "--open" && hasValue)
            open.push_back(v), ++i;
        else if (a == "--profile" && hasValue)
            settings.profileFile = v, ++i;
        else if (a == "--server-path" && hasValue)
            settings.serverPath = v, ++i;
        else if (a == "--command" && hasValue)
            commands.push_back(v), ++i;
        else if (a == "--snapshot" && hasValue)
            snapshot = v, ++i;
        else {
            std::fprintf(stderr,
                         "usage: qor32-host [--design FILE.qdb | --import BOARD.kicad_pcb] "
                         "[--open QORTHERM|QOREMA]... [--profile FILE.ini] [--server-path DIR] "
                         "[--command TEXT]... [--snapshot DIR]\n");
            return 2;
        }
    }
    qor::host::HostWindow window(settings);
    window.show();
    std::string why;
    if (!board.empty()) {
        design = std::filesystem::path(board).replace_extension(".qdb").string();
        qor::kicad::ImportReport report;
        if (!qor::kicad::importBoardFile(board, design, report, why)) {
            std::fprintf(stderr, "qor32-host: %s\n", why.c_str());
            return 1;
        }
    }
    if (!design.empty() && !window.OpenDesign(design, why)) {
        std::fprintf(stderr, "qor32-host: %s\n", why.c_str());
        return 1;
    }
    bool started = true;
    for (const std::string& key : open) started = window.StartAnalyzer(key) && started;
    for (const std::string& command : commands) window.SendCommand(command);
    if (snapshot.empty()) return QApplication::exec();
    QApplication::processEvents();
    std::filesystem::create_directories(snapshot);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const QString name = w->objectName();
        if (!w->isVisible() || (name != "THMMAIN" && name != "EMAMAIN")) continue;
        const std::string png = snapshot + "/" + name.toStdString() + ".png";
        if (!w->grab().save(QString::fromStdString(png))) {
            std::fprintf(stderr, "qor32-host: cannot write %s\n", png.c_str());
            return 1;
        }
        std::printf("  %s window:  %s\n", name.toStdString().c_str(), png.c_str());
    }
    return started ? 0 : 1;
}
