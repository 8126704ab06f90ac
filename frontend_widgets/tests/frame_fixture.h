// A main window over the demo design for tests of the windows it opens, and a way to answer the
// modal dialog that a call is about to show.
#pragma once

#include <QTimer>
#include <fstream>
#include <functional>

#include "frame_test_support.h"

namespace qor::widgets::testing {

using widgets::App;

// A loaded main window over the demo design whose profile holds colours 0 and 15.
class LoadedFrame : public FrameTest {
  protected:
    void Load(frontend::Analyzer analyzer = frontend::Analyzer::Thermal) {
        std::ofstream(dir_ / "qor32.ini") << "[Colors]\nColor#0=255\nColor#15=65280\n";
        OpenDemo();
        ASSERT_TRUE(Make(analyzer == frontend::Analyzer::Em ? Em() : Thermal()).Load(0));
    }

    MainFrame& frame() { return window(); }
    const fs::path& dir() const { return dir_; }
};

// Runs `answer` on the modal dialog once the next call has shown it.
inline void WhenModalShown(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->isModal()) dialog = w;
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog";
            return;
        }
        answer(dialog);
    });
}

}  // namespace qor::widgets::testing
