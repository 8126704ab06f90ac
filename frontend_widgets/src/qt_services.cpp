#include "qor/widgets/qt_services.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <cstdio>
#include <memory>

#include "qor/kernel/kernel.h"

namespace qor::widgets {

namespace {

MessageHandler& messageHandler() {
    static MessageHandler handler;
    return handler;
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A widget or action as LocalizeWindow sees it.
class ObjectControl : public frontend::LocalizableControl {
  public:
    explicit ObjectControl(QObject* object) : object_(object) {}

    std::string tag() const override {
        const QVariant v = object_->property("tag");
        return v.isValid() ? v.toString().toStdString() : std::string();
    }
    bool caption(std::string& text) const override {
        if (auto* w = qobject_cast<QWidget*>(object_); w && w->isWindow()) {
            text = w->windowTitle().toStdString();
        } else if (auto* a = qobject_cast<QAction*>(object_)) {
            text = a->text().toStdString();
        } else if (auto* b = qobject_cast<QAbstractButton*>(object_)) {
            text = b->text().toStdString();
        } else if (auto* l = qobject_cast<QLabel*>(object_)) {
            text = l->text().toStdString();
        } else if (auto* g = qobject_cast<QGroupBox*>(object_)) {
            text = g->title().toStdString();
        } else if (auto* m = qobject_cast<QMenu*>(object_)) {
            text = m->title().toStdString();
        } else {
            return false;
        }
        return true;
    }
    bool setCaption(const std::string& text) override {
        if (auto* w = qobject_cast<QWidget*>(object_); w && w->isWindow()) {
            w->setWindowTitle(q(text));
        } else if (auto* a = qobject_cast<QAction*>(object_)) {
            a->setText(q(text));
        } else if (auto* b = qobject_cast<QAbstractButton*>(object_)) {
            b->setText(q(text));
        } else if (auto* l = qobject_cast<QLabel*>(object_)) {
            l->setText(q(text));
        } else if (auto* g = qobject_cast<QGroupBox*>(object_)) {
            g->setTitle(q(text));
        } else if (auto* m = qobject_cast<QMenu*>(object_)) {
            m->setTitle(q(text));
        } else {
            return false;
        }
        return true;
    }
    bool setFontName(const std::string& name) override {
        auto* w = qobject_cast<QWidget*>(object_);
        if (!w || name.empty()) return false;
        QFont f = w->font();
        f.setFamily(q(name));
        w->setFont(f);
        return true;
    }
    bool setFont(const frontend::InterfaceFont& font) override {
        auto* w = qobject_cast<QWidget*>(object_);
        if (!w || font.name.empty()) return false;
        QFont f(q(font.name));
        if (font.pointSize > 0) f.setPointSize(font.pointSize);
        w->setFont(f);
        return true;
    }
    bool setBold(bool bold) override {
        auto* w = qobject_cast<QWidget*>(object_);
        if (!w) return false;
        QFont f = w->font();
        f.setBold(bold);
        w->setFont(f);
        return true;
    }

  private:
    QObject* object_;
};

}  // namespace

void SetMessageHandler(MessageHandler handler) {
    messageHandler() = std::move(handler);
}

void QtMessageBox::show(const frontend::MessageRequest& request) {
    if (messageHandler()) {
        messageHandler()(request);
        return;
    }
    // Scripted runs without a person (pictures rendered offscreen) write the boxes to standard
    // error instead of waiting for an OK.
    if (qEnvironmentVariable("QOR_MESSAGE_BOXES") == "stderr") {
        std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
        return;
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (request.icon == frontend::MessageIcon::Warning) icon = QMessageBox::Warning;
    if (request.icon == frontend::MessageIcon::Stop) icon = QMessageBox::Critical;
    QMessageBox box(icon, q(request.title), q(request.text), QMessageBox::Ok, owner_.data());
    if (request.systemModal) box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

std::string QtFontSystem::reportedFaceName(const std::string& name) {
    // A family the font database does not know is substituted; QFontInfo reports the substitute.
    if (!QFontDatabase::hasFamily(q(name))) return {};
    return QFontInfo(QFont(q(name))).family().toStdString();
}

std::string QtFontSystem::iconTitleFaceName() {
    return QFontDatabase::systemFont(QFontDatabase::TitleFont).family().toStdString();
}

std::string QtFontSystem::defaultGuiFaceName() {
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toStdString();
}

int QtFontSystem::userLocaleCharset() {
    return 0;
}

uint32_t SystemLocaleNumber() {
    const QLocale locale = QLocale::system();
    switch (locale.language()) {
        case QLocale::Chinese: {
            const bool traditional = locale.script() == QLocale::TraditionalChineseScript ||
                                     locale.territory() == QLocale::Taiwan;
            return 4u | ((traditional ? 1u : 2u) << 10);
        }
        case QLocale::Japanese:
            return 17u | (1u << 10);
        case QLocale::Korean:
            return 18u | (1u << 10);
        case QLocale::German:
            return 7u | (1u << 10);
        default:
            return 9u | (1u << 10);  // English
    }
}

bool KernelHelpSystem::contextHelpOn() {
    const int32_t* table = E_SysTable(12);
    return table && table[0] != 0;
}

void KernelHelpSystem::displayTopic(const std::string& helpFile, int topic) {
    H_DispTopic(0, helpFile.c_str(), topic);
}

void KernelHelpSystem::helpCommand(const std::string&, const std::string&) {}

void KernelHelpSystem::showContents(const std::string& helpFile) {
    H_DispTopic(0, helpFile.c_str(), 0);
}

void SetTag(QObject* object, int messageNumber) {
    object->setProperty("tag", QString::number(messageNumber));
}

void LocalizeWidgetWindow(QWidget* window, const frontend::InterfaceFont& font) {
    ObjectControl self(window);
    std::vector<std::unique_ptr<ObjectControl>> owned;
    std::vector<frontend::LocalizableControl*> controls;
    const auto add = [&](QObject* o) {
        owned.push_back(std::make_unique<ObjectControl>(o));
        controls.push_back(owned.back().get());
    };
    for (QObject* o : window->findChildren<QObject*>()) {
        if (qobject_cast<QWidget*>(o) || qobject_cast<QAction*>(o)) {
            if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow()) continue;
            add(o);
        }
    }
    frontend::LocalizeWindow(self, controls, font);
}

}  // namespace qor::widgets
