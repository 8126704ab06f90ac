// qor32-host: the stand-in for the suite's host application. It opens a design, publishes the
// string-store values the analyzers read, creates the analyzers by class name from their
// libraries, and relays commands and notifications.
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "qor/frontend/component.h"

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace qor::host {

// A front-end library loaded at run time; it stays loaded for the life of the process.
class FrontEndLibrary {
  public:
    // Loads the library at path; false with the reason.
    bool Load(const std::string& path, std::string& why);
    // An object of the class, or null (the class is not published, or the library not loaded).
    std::unique_ptr<frontend::HostComponent> Create(const std::string& className) const;

  private:
    frontend::CreateObjectFunction create_ = nullptr;
};

struct HostSettings {
    std::string libraryDir;  // the front-end libraries
    std::string serverPath;  // help files and menu profiles
    std::string profileFile;
};

class HostWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit HostWindow(HostSettings settings, QWidget* parent = nullptr);
    ~HostWindow() override;

    // Opens a design file as the open design (closing the one open before); false with a message.
    bool OpenDesign(const std::string& path, std::string& why);
    // Creates and loads an analyzer by its key ("QORTHERM", "QOREMA"); false when it did not come
    // up.
    bool StartAnalyzer(const std::string& key);
    // Passes a command from the command box: "F_Short=<text>" and "F_FrmCmd=<text>" write the
    // hidden boxes, anything else goes to NotifyMe of the chosen analyzer (all running ones when
    // no analyzer is named with "KEY:").
    void SendCommand(const std::string& text);
    frontend::HostComponent* analyzer(const std::string& key) const;
    // The notifications received, "Aname | sCommand", oldest first.
    QListWidget* log() const { return log_; }

  private:
    void notified(const std::string& key, const std::string& aname, const std::string& command);
    void release(const std::string& key);
    void showHelp(const std::string& file, int topic);

    HostSettings settings_;
    std::map<std::string, FrontEndLibrary> libraries_;
    std::map<std::string, std::unique_ptr<frontend::HostComponent>> running_;
    QListWidget* log_ = nullptr;
    QLineEdit* command_ = nullptr;
    QTextBrowser* help_ = nullptr;
};

}  // namespace qor::host
