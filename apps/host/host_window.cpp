#include "host_window.h"

#include <dlfcn.h>

#include <QAction>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "qor/importers/kicad.h"
#include "qor/kernel/help.h"
#include "qor/kernel/kernel.h"

namespace qor::host {

namespace {

struct AnalyzerEntry {
    const char* key;
    const char* library;
    const char* className;
    const char* title;
};

constexpr AnalyzerEntry kAnalyzers[] = {
    {"QORTHERM", "libQortherm.so", "clsQortherm", "&Thermal Analyzer"},
    {"QOREMA", "libQorema.so", "clsQorema", "&Electromagnetic Analyzer"},
};

const AnalyzerEntry* FindAnalyzer(const std::string& key) {
    for (const AnalyzerEntry& a : kAnalyzers)
        if (key == a.key) return &a;
    return nullptr;
}

std::string RunningFlagKey(const std::string& key) {
    return key + "MW_";
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

bool FrontEndLibrary::Load(const std::string& path, std::string& why) {
    if (create_) return true;
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        why = dlerror();
        return false;
    }
    create_ = reinterpret_cast<frontend::CreateObjectFunction>(
        dlsym(library, frontend::kCreateObjectSymbol));
    if (!create_) {
        why = path + " publishes no classes";
        return false;
    }
    return true;
}

std::unique_ptr<frontend::HostComponent> FrontEndLibrary::Create(
    const std::string& className) const {
    if (!create_) return nullptr;
    return std::unique_ptr<frontend::HostComponent>(create_(className.c_str()));
}

HostWindow::HostWindow(HostSettings settings, QWidget* parent)
    : QMainWindow(parent), settings_(std::move(settings)) {
    setObjectName("QOR32HOST");
    setWindowTitle("Qor32 Host");
    E_SetString("IniFile", settings_.profileFile.c_str());
    std::string all;
    for (const AnalyzerEntry& a : kAnalyzers) all += (all.empty() ? "" : ",") + std::string(a.key);
    E_SetString("AllAps", all.c_str());

    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Open Design...", this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, "Open Design", {}, "Designs (*.qdb)");
        if (path.isEmpty()) return;
        std::string why;
        if (!OpenDesign(path.toStdString(), why)) QMessageBox::warning(this, windowTitle(), q(why));
    });
    file->addAction("&Import KiCad Board...", this, [this] {
        const QString board =
            QFileDialog::getOpenFileName(this, "Import KiCad Board", {}, "Boards (*.kicad_pcb)");
        if (board.isEmpty()) return;
        const std::string design =
            std::filesystem::path(board.toStdString()).replace_extension(".qdb").string();
        kicad::ImportReport report;
        std::string why;
        if (!kicad::importBoardFile(board.toStdString(), design, report, why) ||
            !OpenDesign(design, why))
            QMessageBox::warning(this, windowTitle(), q(why));
    });
    file->addSeparator();
    file->addAction("E&xit", this, &QWidget::close);
    QMenu* analyzers = menuBar()->addMenu("&Analyzers");
    for (const AnalyzerEntry& a : kAnalyzers) {
        QAction* action = analyzers->addAction(a.title);
        action->setObjectName(QString("M_%1").arg(a.key));
        connect(action, &QAction::triggered, this,
                [this, key = std::string(a.key)] { StartAnalyzer(key); });
    }
    QMenu* helpMenu = menuBar()->addMenu("&Help");
    QAction* contextHelp = helpMenu->addAction("&Context Help");
    contextHelp->setObjectName("M_ContextHelp");
    contextHelp->setCheckable(true);
    connect(contextHelp, &QAction::toggled, this, [](bool on) { E_SysTable(12)[0] = on ? 1 : 0; });

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->addWidget(new QLabel("Notifications (Aname | sCommand):", central));
    log_ = new QListWidget(central);
    log_->setObjectName("NotifyLog");
    column->addWidget(log_, 1);
    auto* row = new QHBoxLayout;
    command_ = new QLineEdit(central);
    command_->setObjectName("CommandBox");
    command_->setPlaceholderText("All,RD  |  QOREMA:All,MX  |  F_Short=+1");
    auto* send = new QPushButton("Send", central);
    send->setObjectName("SendButton");
    const auto sendNow = [this] {
        SendCommand(command_->text().toStdString());
        command_->clear();
    };
    connect(send, &QPushButton::clicked, this, sendNow);
    connect(command_, &QLineEdit::returnPressed, this, sendNow);
    row->addWidget(command_, 1);
    row->addWidget(send);
    column->addLayout(row);
    setCentralWidget(central);
    resize(560, 320);

    help_ = new QTextBrowser;
    help_->setObjectName("HelpWindow");
    help_->setWindowTitle("Qor32 Help");
    help_->resize(400, 300);
    kernel::setHelpDisplay(
        [this](int32_t, const std::string& f, int32_t topic) { showHelp(f, topic); });
}

HostWindow::~HostWindow() {
    kernel::setHelpDisplay({});
    while (!running_.empty()) release(running_.begin()->first);
    delete help_;
}

bool HostWindow::OpenDesign(const std::string& path, std::string& why) {
    if (!running_.empty()) {
        why = "Close the analyzers before opening another design.";
        return false;
    }
    DB_CloseDesign();
    if (DB_OpenDesign(path.c_str()) != 1) {
        why = "Can't open " + path + ": " + DB_LastError();
        return false;
    }
    setWindowTitle(q("Qor32 Host - " + std::filesystem::path(path).filename().string()));
    return true;
}

bool HostWindow::StartAnalyzer(const std::string& key) {
    const AnalyzerEntry* entry = FindAnalyzer(key);
    if (!entry || running_.count(key)) return false;
    std::string why;
    FrontEndLibrary& library = libraries_[key];
    if (!library.Load(settings_.libraryDir + "/" + entry->library, why)) {
        QMessageBox::warning(this, windowTitle(), q(why));
        return false;
    }
    std::unique_ptr<frontend::HostComponent> object = library.Create(entry->className);
    if (!object) return false;
    frontend::HostComponent* component = object.get();
    running_[key] = std::move(object);
    component->SetNotifyClass([this, key](const std::string& aname, const std::string& command) {
        notified(key, aname, command);
    });
    component->SetSeverPath(settings_.serverPath);
    E_SetString(RunningFlagKey(key).c_str(), "1");
    return component->Load(0);
}

frontend::HostComponent* HostWindow::analyzer(const std::string& key) const {
    const auto it = running_.find(key);
    return it == running_.end() ? nullptr : it->second.get();
}

void HostWindow::SendCommand(const std::string& text) {
    std::string command = text;
    std::string key;
    if (const auto colon = command.find(':');
        colon != std::string::npos && FindAnalyzer(command.substr(0, colon))) {
        key = command.substr(0, colon);
        command = command.substr(colon + 1);
    }
    for (const auto& [k, component] : running_) {
        if (!key.empty() && k != key) continue;
        for (const char* box : {"F_Short", "F_FrmCmd"}) {
            const std::string prefix = std::string(box) + "=";
            if (command.rfind(prefix, 0) == 0) {
                component->SetHiddenText(box, command.substr(prefix.size()));
                goto next;
            }
        }
        component->NotifyMe("", command);
    next:;
    }
}

void HostWindow::notified(const std::string& key, const std::string& aname,
                          const std::string& command) {
    log_->addItem(q(aname + " | " + command));
    log_->scrollToBottom();
    if (command.rfind("SHELL", 0) == 0) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(q(aname)));
    } else if (command == "SHUTDOWN") {
        // Released once the analyzer's call has returned.
        QTimer::singleShot(0, this, [this, key] { release(key); });
    }
}

void HostWindow::release(const std::string& key) {
    const auto it = running_.find(key);
    if (it == running_.end()) return;
    std::unique_ptr<frontend::HostComponent> object = std::move(it->second);
    running_.erase(it);
    E_SetString(RunningFlagKey(key).c_str(), "");
    object.reset();
}

void HostWindow::showHelp(const std::string& file, int topic) {
    help_->setPlainText(q("Help file: " + file + "\nTopic: " + std::to_string(topic)));
    help_->show();
    help_->raise();
}

}  // namespace qor::host
