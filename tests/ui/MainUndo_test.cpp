// Taking runs back from the window: Edit > Undo Last Run on real files, and the past runs of the
// Settings page.

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "MainWindowSupport.h"
#include "platform/FileSystem.h"

namespace {

using uitest::TWindowUnderTest;

constexpr platform::FileTime kLongAgo = 130'000'000'000'000'000;

// A file of this name whose three times are long ago.
std::string OldFile(TWindowUnderTest& w, const std::string& name) {
    const std::string file = w.folder.Write(name, "content");
    EXPECT_TRUE(platform::SetFileTimes(file, {kLongAgo, kLongAgo, kLongAgo}));
    return file;
}

// Old files of these names dropped on the window, then a run that gives them today's date and
// time.
std::vector<std::string> RunOnOldFiles(TWindowUnderTest& w, const std::vector<std::string>& names) {
    std::vector<std::string> files;
    for (const std::string& name : names)
        files.push_back(OldFile(w, name));
    w.window.WMDropFiles(files);
    w.Find<QAbstractButton>("rbSetSelectedDate").click();
    w.Find("item_Operate6").trigger();
    return files;
}

// The three times of a file, as a text.
std::string Times(const std::string& file) {
    const std::optional<platform::FindData> found = platform::FindPath(file);
    return found ? std::to_string(found->creationTime.value_or(0)) + " " +
                       std::to_string(found->lastWriteTime) + " " +
                       std::to_string(found->lastAccessTime)
                 : "none";
}

// The menu names the run; once asked, the files get their times back, and the one changed
// since is left as it is and named in one list.
TEST(MainWindowUndo, UndoLastRunPutsTheFilesBack) {
    TWindowUnderTest w;
    // As the files were before the run.
    const std::string before = Times(OldFile(w, "not in the list"));
    const std::vector<std::string> files = RunOnOldFiles(w, {"a.txt", "b.txt", "changed.txt"});
    ASSERT_NE(Times(files[0]), before);
    ASSERT_TRUE(platform::SetFileTimes(files[2], {{}, {}, 140'000'000'000'000'000}));
    const std::string changedSince = Times(files[2]);

    auto& edit = w.Find<QMenu>("EditMenu");
    edit.popup({});
    QAction& undo = w.Find("item_UndoLastRun");
    EXPECT_TRUE(undo.isEnabled());
    EXPECT_TRUE(undo.statusTip().endsWith("(3 files).")) << undo.statusTip().toStdString();
    edit.hide();
    QString listed;
    QTimer boxes;
    boxes.callOnTimeout([&] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            listed = box->findChild<QPlainTextEdit*>("NotChangedList")->toPlainText();
            box->reject();
        }
    });
    boxes.start(5);
    undo.trigger();
    ASSERT_EQ(w.chooser.questions.size(), 1u);
    EXPECT_TRUE(w.chooser.questions[0].contains("(3 files)"));
    EXPECT_EQ(Times(files[0]), before);
    EXPECT_EQ(Times(files[1]), before);
    EXPECT_EQ(Times(files[2]), changedSince);
    EXPECT_TRUE(listed.startsWith(QString::fromStdString(files[2]) + ": ")) << listed.toStdString();
    EXPECT_EQ(listed.count('\n'), 1);
}

// The Settings page tells what the past runs hold; forgetting them, once asked, leaves nothing
// to undo.
TEST(MainWindowUndo, ForgetPastRunsOnTheSettingsPage) {
    TWindowUnderTest w;
    RunOnOldFiles(w, {"a.txt"});
    w.Find<QTabWidget>("pcTymo").setCurrentIndex(2);
    auto& runs = w.Find<QLabel>("laPastRuns");
    EXPECT_TRUE(runs.text().startsWith("Past runs kept: 1 run, ")) << runs.text().toStdString();
    for (const bool agree : {false, true}) {
        w.chooser.agree = agree;
        w.Find<QPushButton>("btnForgetRuns").click();
    }
    EXPECT_EQ(w.chooser.questions.size(), 2u);
    EXPECT_EQ(runs.text(), "Past runs kept: none");
    EXPECT_FALSE(w.Find("item_UndoLastRun").isEnabled());
}

}  // namespace
