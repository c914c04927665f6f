#pragma once
// A Tarvo dialog open on the offscreen screen, with every message box caught.

#include "dialog_qt.h"
#include "resource.h"
#include "tarvo_dlg.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

struct SeenMessage {
    std::string caption;
    std::string text;
    platform::MessageStyle style;
    std::string source_box; // what the source box showed while the message was up
};

class DialogTest : public testing::Test {
protected:
    DialogTest()
        : m_handler([this](const platform::MessageRequest& m) {
              messages.push_back({std::string(m.caption), std::string(m.text), m.style,
                                  dlg.GetDlgItemText(IDC_SOURCE)});
              return answer;
          }) {}

    void SetUp() override { Open(dlg); }

    // Creates, shows and activates `d`, and lets it paint.
    static void Open(CTarvoDlg& d) {
        ASSERT_TRUE(d.Create());
        QWidget* window = platform::DialogWindowOf(d);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QApplication::processEvents();
    }

    QWidget* Widget(int id) const { return platform::ControlWidget(dlg, id); }
    int FocusId() const {
        const platform::ControlTemplate* c = platform::ControlOf(dlg, QApplication::focusWidget());
        return c != nullptr ? c->id : 0;
    }
    void Click(int id) { QTest::mouseClick(Widget(id), Qt::LeftButton); }
    // A key as the user presses it, to the control that has the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    CTarvoDlg dlg;
    std::vector<SeenMessage> messages;
    platform::MessageAnswer answer = platform::MessageAnswer::Ok;

private:
    platform::ScopedMessageHandler m_handler;
};
