#pragma once
// A Tarvo dialog open on the offscreen screen, in an empty directory of its own, with every
// message box and file dialog caught and every file that would go to the desktop recorded.

#include "app/tarvo_dlg.h"
#include "base/memory.h"
#include "files/test_support.h"
#include "platform/desktop.h"
#include "platform/dialog_qt.h"
#include "res/resource.h"
#include "settings/cpp_defaults.h"
#include "settings/profile_settings.h"

#include <QApplication>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

inline std::vector<std::string> Keywords(const ProfileSettings& s) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        out.emplace_back(s.Keyword(i));
    }
    return out;
}

inline void SetKeywordList(ProfileSettings& s, const std::vector<std::string>& words) {
    s.ClearKeywords();
    for (const std::string& w : words) {
        ASSERT_TRUE(s.p_s_keyword.Add(tarvo::DuplicateString(w.c_str(), w.size())));
    }
}

// Every field of a record in one text, so that records compare in one go.
inline std::string Fields(const ProfileSettings& s) {
    char text[160];
    std::snprintf(text, sizeof text, "%d %X %X %X %X %d %d %d %d", int(s.n_tab_size),
                  unsigned(s.n_keyword_color), unsigned(s.n_comment_color),
                  unsigned(s.n_table_lt_color), unsigned(s.n_table_dk_color), int(s.n_font_size),
                  int(s.n_table_width), int(s.b_table_width_percent), int(s.b_use_table));
    std::string all = text;
    for (const ClassColourField& c : kClassColourFields) {
        all += ' ';
        all += std::to_string(s.*c.field); // not " " + ...: GCC 12's Release build warns
    }
    for (const std::string& k : Keywords(s)) {
        all += "|" + k;
    }
    return all;
}

// The dialog, with a record of the notifications that reached it.
class RecordingDlg : public CTarvoDlg {
public:
    std::vector<std::string> commands;

protected:
    bool OnCommand(int id, platform::Notification code) override {
        // The list opening and a box's text changing are no commands.
        if (code == platform::Notification::DropDown || code == platform::Notification::Changed) {
            return CTarvoDlg::OnCommand(id, code);
        }
        commands.push_back(std::to_string(id) +
                           (code == platform::Notification::Clicked ? " clicked" : " picked"));
        return CTarvoDlg::OnCommand(id, code);
    }
};

struct SeenMessage {
    std::string caption;
    std::string text;
    platform::MessageStyle style;
    std::string source_box; // what the source box showed while the message was up
};

class DialogTest : public InTempDir {
protected:
    DialogTest()
        : m_handler([this](const platform::MessageRequest& m) {
              messages.push_back({std::string(m.caption), std::string(m.text), m.style,
                                  dlg.GetDlgItemText(IDC_SOURCE)});
              return answer;
          }),
          m_files([this](const platform::FileDialogRequest& r) {
              file_dialogs.push_back(r.mode);
              return next_file;
          }),
          m_opener([this](std::string_view path) {
              opened.emplace_back(path);
              return open_result;
          }) {}

    void SetUp() override {
        InTempDir::SetUp();
        Open(dlg);
        // The empty directory holds no profile for the start-up load.
        ASSERT_EQ(Texts(), std::vector<std::string>{"Can't find profile !"});
        messages.clear();
    }

    // The texts of the messages seen so far.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const SeenMessage& m : messages) {
            texts.push_back(m.text);
        }
        return texts;
    }

    // Creates, shows and activates `d`, and lets it paint.
    static void Open(CTarvoDlg& d) {
        ASSERT_TRUE(d.Create());
        QWidget* window = platform::DialogWindowOf(d);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QApplication::processEvents();
    }

    QWidget* Widget(int id) const { return platform::ControlWidget(dlg, id); }
    // Where the progress bar stands.
    int Progress() const { return static_cast<QProgressBar*>(Widget(IDC_PROGRESS))->value(); }
    int FocusId() const {
        const platform::ControlTemplate* c = platform::ControlOf(dlg, QApplication::focusWidget());
        return c != nullptr ? c->id : 0;
    }
    void Click(int id) { QTest::mouseClick(Widget(id), Qt::LeftButton); }
    // What the status line shows.
    std::string Status() const {
        const auto* line = platform::DialogWindowOf(dlg)->findChild<QStatusBar*>();
        return line != nullptr ? line->currentMessage().toStdString() : "(no status line)";
    }
    // A key as the user presses it, to the control that has the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    RecordingDlg dlg;
    std::vector<SeenMessage> messages;
    platform::MessageAnswer answer = platform::MessageAnswer::Ok;
    std::string next_file; // what a file dialog answers; "" cancels
    std::vector<platform::FileDialogMode> file_dialogs;
    std::vector<std::string> opened; // files handed to the desktop
    bool open_result = true;         // whether the desktop could open them

private:
    platform::ScopedMessageHandler m_handler;
    platform::ScopedFileDialogHandler m_files;
    platform::ScopedFileOpener m_opener;
};
