#pragma once
// A main window on a fresh temporary folder, driven as a user drives it: through its actions,
// buttons, menus and list, found by their names.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "ui/Main.h"
#include "ui/SBPro.h"

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace uitest {

// Answers the window's questions as the test says, and keeps the questions asked.
class TChooserStub : public ui::IChooser {
public:
    QStringList OpenFiles(QWidget&, const QString&) override { return files; }
    QString SelectFolder(QWidget&, const QString&) override { return folder; }
    bool Confirm(QWidget&, const QString&, const QString& question) override {
        questions.push_back(question);
        return agree;
    }
    QStringList files;
    QString folder;
    bool agree = true;
    std::vector<QString> questions;
};

class TWindowUnderTest {
public:
    // The window keeps its settings in `configHome`, by default a folder of its own: each window
    // starts from the defaults, whatever the windows before it left. Its runs keep their
    // journals in a folder of its own too, never the user's.
    explicit TWindowUnderTest(const std::string& configHome = {})
        : settingsHome("XDG_CONFIG_HOME",
                       (configHome.empty() ? folder / "config" : configHome).c_str()),
          stateHome("XDG_STATE_HOME", (folder / "state").c_str()) {}

    template <typename T = QAction>
    T& Find(const char* name) {
        T* found = window.findChild<T*>(name);
        if (!found)
            ADD_FAILURE() << "no " << name;
        return *found;
    }

    // Writes files of these names into the folder and drops them on the window.
    std::vector<std::string> AddFiles(const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back(folder.Write(name, "content"));
        window.WMDropFiles(paths);
        return paths;
    }

    QAbstractItemView& List() { return *window.findChild<QAbstractItemView*>(); }

    void Select(const std::vector<int>& rows) {
        for (int row : rows)
            List().selectionModel()->select(
                List().model()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    void Check(const std::vector<int>& rows) {
        for (int row : rows)
            List().model()->setData(List().model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
    }

    QString Panel(int index) { return Find<ui::TStatusBarPro>("SB").Panels()[index].Text(); }

    // Runs `during` in the first turn of the event loop that a run started by `scope` lets in.
    void RunWith(const char* scope, const std::function<void()>& during) {
        QTimer::singleShot(0, &window, during);
        Find(scope).trigger();
    }

    testsupport::TempDir folder;
    testsupport::ScopedEnv settingsHome;
    testsupport::ScopedEnv stateHome;
    TChooserStub chooser;
    ui::TMainFormKelvane window{chooser};
};

// Answers every message box shown while it lives, keeping "caption: text".
class TMessageBoxCatcher {
public:
    TMessageBoxCatcher() {
        timer_.callOnTimeout([this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown.push_back(box->windowTitle() + ": " + box->text());
                box->accept();
            }
        });
        timer_.start(5);
    }
    std::vector<QString> shown;

private:
    QTimer timer_;
};

}  // namespace uitest
