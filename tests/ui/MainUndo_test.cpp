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
#include "ui/MsgStr.h"

namespace {

using uitest::TWindowUnderTest;

constexpr int kModified = static_cast<int>(filelist::ListColumn::Modified);

// Files of these names, all last changed long ago, dropped on the window.
std::vector<std::string> OldFiles(TWindowUnderTest& w, const std::vector<std::string>& names) {
    constexpr platform::FileTime kLongAgo = 130'000'000'000'000'000;
    std::vector<std::string> files;
    for (const std::string& name : names) {
        files.push_back(w.folder.Write(name, "content"));
        EXPECT_TRUE(platform::SetFileTimes(
            files.back(), {.creation = kLongAgo, .lastAccess = kLongAgo, .lastWrite = kLongAgo}));
    }
    w.window.WMDropFiles(files);
    return files;
}

// A run that gives every row today's date and time.
void RunNow(TWindowUnderTest& w) {
    w.Find<QAbstractButton>("rbSetSelectedDate").click();
    w.Find("item_Operate6").trigger();
}

QString ModifiedText(TWindowUnderTest& w, int row) {
    return w.List().model()->index(row, kModified).data().toString();
}

// The menu names the run; once asked, the files get their times back and their rows show them,
// and the one file changed since is named in one list, not changed.
TEST(MainWindowUndo, UndoLastRunPutsTheFilesBack) {
    TWindowUnderTest w;
    const std::vector<std::string> names = {"a.txt", "b.txt", "changed.txt"};
    const std::vector<std::string> files = OldFiles(w, names);
    std::vector<std::optional<platform::FindData>> before;
    for (const std::string& file : files)
        before.push_back(platform::FindPath(file));
    const QString shownBefore = ModifiedText(w, 0);
    RunNow(w);
    ASSERT_NE(ModifiedText(w, 0), shownBefore);
    ASSERT_TRUE(platform::SetFileTimes(files[2], {{}, {}, 140'000'000'000'000'000}));
    const std::optional<platform::FindData> changedSince = platform::FindPath(files[2]);

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
    for (std::size_t i = 0; i < 2; ++i) {
        const std::optional<platform::FindData> now = platform::FindPath(files[i]);
        ASSERT_TRUE(now);
        EXPECT_EQ(now->creationTime, before[i]->creationTime) << names[i];
        EXPECT_EQ(now->lastWriteTime, before[i]->lastWriteTime) << names[i];
        EXPECT_EQ(now->lastAccessTime, before[i]->lastAccessTime) << names[i];
    }
    EXPECT_EQ(platform::FindPath(files[2])->lastWriteTime, changedSince->lastWriteTime);
    EXPECT_EQ(ModifiedText(w, 0), shownBefore);
    EXPECT_TRUE(listed.startsWith(QString::fromStdString(files[2]) + ": ")) << listed.toStdString();
    EXPECT_EQ(listed.count('\n'), 1);
}

// The Settings page tells what the past runs hold; forgetting them, once asked, leaves nothing
// to undo.
TEST(MainWindowUndo, ForgetPastRunsOnTheSettingsPage) {
    TWindowUnderTest w;
    OldFiles(w, {"a.txt"});
    RunNow(w);
    w.Find<QTabWidget>("pcTymo").setCurrentIndex(2);
    auto& runs = w.Find<QLabel>("laPastRuns");
    EXPECT_TRUE(runs.text().startsWith("Past runs kept: 1 run, ")) << runs.text().toStdString();
    w.chooser.agree = false;
    w.Find<QPushButton>("btnForgetRuns").click();
    EXPECT_TRUE(runs.text().startsWith("Past runs kept: 1 run, "));
    w.chooser.agree = true;
    w.Find<QPushButton>("btnForgetRuns").click();
    EXPECT_EQ(runs.text(), "Past runs kept: none");
    EXPECT_FALSE(w.Find("item_UndoLastRun").isEnabled());
    EXPECT_EQ(w.chooser.questions.size(), 2u);
}

}  // namespace
