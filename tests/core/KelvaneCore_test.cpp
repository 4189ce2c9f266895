#include "core/KelvaneCore.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <stdexcept>

#include "core/PastRuns.h"
#include "engine/DateTime.h"

#include "find/FindEventLoop.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace core {
namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

// A front end that records every event of the core as a line of text, in order.
class FakeFrontEnd : public engine::IRunHost, public IKelvaneObserver {
public:
    engine::RunOptions options;
    std::vector<std::string> events;

    engine::RunOptions ReadOptions() override { return options; }
    // Events run at every turn a run or an undo gives, where the test has some.
    bool MessagesDue() const override { return static_cast<bool>(onMessages); }
    void ProcessMessages() override { onMessages(); }
    std::function<void()> onMessages;
    bool RowsJustAdded() const override { return false; }
    void ShowMessage(const std::string& text, const std::string&) override {
        Log("message " + text);
    }
    void ShowError(const std::string& path, const std::string& message, int) override {
        Log("error " + path + " " + message);
    }
    void FileFailed(const std::string& path, const std::string& reason) override {
        Log("failed " + path + " " + reason);
    }
    void RowsInserted(int first, int last) override {
        Log("inserted " + std::to_string(first) + ".." + std::to_string(last));
    }
    void RowsRemoved(int first, int last) override {
        Log("removed " + std::to_string(first) + ".." + std::to_string(last));
    }
    void RowChanged(int row, filelist::ListColumn column) override {
        Log("changed " + std::to_string(row) + ":" + std::to_string(static_cast<int>(column)));
    }
    void RowsMoved() override { Log("moved"); }
    void RunStateChanged(bool running) override { Log(running ? "running" : "idle"); }
    void RunBegins() override { Log("begins"); }
    void ProgressChanged(int position, int maximum) override {
        Log("progress " + std::to_string(position) + "/" + std::to_string(maximum));
    }
    void SearchBusyChanged(bool busy) override { Log(busy ? "search busy" : "search idle"); }
    void FolderNotSearched(const std::string& folder, const std::string& reason) override {
        Log("not searched " + folder + " " + reason);
    }
    void PreviewRowPlanned(int row) override {
        Log("planned " + std::to_string(row));
        if (onPlanned)
            onPlanned();
    }
    std::function<void()> onPlanned;

private:
    void Log(std::string line) { events.push_back(std::move(line)); }
};

class KelvaneCoreTest : public ::testing::Test {
protected:
    TempDir dir;
    FakeFrontEnd frontEnd;
    vexfind::TFindEventLoop loop;
    TKelvaneCore core{frontEnd, frontEnd, loop};
};

TEST_F(KelvaneCoreTest, FolderSearchInsertsRowsInWalkOrderBetweenOneBusyIdlePair) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        dir.Write(name);
    core.AddFolder(AddFolderMode::FilesOnly, dir.Path());
    // Start is refused while the search is busy: the rows are still arriving.
    EXPECT_FALSE(core.Start(engine::RunScope::All));
    loop.RunUntil([this] { return !core.SearchBusy(); });

    ASSERT_EQ(frontEnd.events.size(), 5u);
    EXPECT_EQ(frontEnd.events.front(), "search busy");
    EXPECT_EQ(frontEnd.events.back(), "search idle");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(frontEnd.events[static_cast<std::size_t>(i) + 1],
                  "inserted " + std::to_string(i) + ".." + std::to_string(i));
    }
    EXPECT_EQ(core.List().RowCount(), 3);
}

// Rows already listed do not make a run ready while a search still hands rows over.
TEST_F(KelvaneCoreTest, StartIsRefusedWhileASearchAddsToAListThatHasRows) {
    core.AddPaths({dir.Write("a.txt")}, AddFolderMode::FilesOnly);
    core.AddFolder(AddFolderMode::FilesOnly, dir.Path());
    frontEnd.options.setAttr = true;
    frontEnd.options.hidden = true;
    EXPECT_FALSE(core.Start(engine::RunScope::All));
    loop.RunUntil([this] { return !core.SearchBusy(); });
    EXPECT_EQ(platform::GetFileAttributes(dir / "a.txt"), 0u);
}

TEST(KelvaneCoreSearchTest, ASearchEndedByAnErrorEndsTheBusyStateToo) {
    // A front end that cannot take a row: the hand-over fails and the search ends early.
    class FailingFrontEnd : public FakeFrontEnd {
    public:
        void RowsInserted(int, int) override { throw std::runtime_error("no room"); }
    };
    TempDir dir;
    dir.Write("a.txt");
    FailingFrontEnd frontEnd;
    vexfind::TFindEventLoop loop;
    TKelvaneCore core(frontEnd, frontEnd, loop);
    core.AddFolder(AddFolderMode::FilesOnly, dir.Path());
    loop.RunUntil([&] { return !core.SearchBusy() || !core.Searching(AddFolderMode::FilesOnly); });
    EXPECT_FALSE(core.SearchBusy());
    EXPECT_EQ(frontEnd.events.back(), "search idle");
    EXPECT_TRUE(core.SearchFailed(AddFolderMode::FilesOnly));
}

// Between the search and the run, a file becomes a FIFO. The command line's run trusts the
// look-ups of paths named a moment ago, never those of a search: it is not opened, and named.
TEST(KelvaneCoreSearchTest, AFifoSwappedInAfterTheSearchIsNotOpened) {
    class CommandLine : public FakeFrontEnd {
    public:
        bool RowsJustAdded() const override { return true; }
    };
    TempDir dir;
    const std::string pipe = dir.Write("pipe");
    CommandLine frontEnd;
    vexfind::TFindEventLoop loop;
    TKelvaneCore core(frontEnd, frontEnd, loop);
    core.AddFolder(AddFolderMode::FilesOnly, dir.Path());
    loop.RunUntil([&] { return !core.SearchBusy(); });
    ASSERT_EQ(unlink(pipe.c_str()), 0);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    // Opening the FIFO, even without blocking, would show here.
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, pipe.c_str(), IN_OPEN), 0);
    frontEnd.events.clear();
    frontEnd.options.setAttr = true;
    frontEnd.options.hidden = true;
    core.Start(engine::RunScope::All);

    alignas(inotify_event) char buffer[4096];
    EXPECT_LT(read(watch, buffer, sizeof buffer), 0);
    close(watch);
    EXPECT_NE(std::find(frontEnd.events.begin(), frontEnd.events.end(),
                        "failed " + pipe + " a device, FIFO or socket is not changed"),
              frontEnd.events.end());
}

TEST_F(KelvaneCoreTest, RunReportsStateProgressAndChangedColumns) {
    const std::string file = dir.Write("a.txt");
    ASSERT_EQ(core.AddPaths({file, dir / "missing"}, AddFolderMode::FilesOnly), 1);
    frontEnd.events.clear();
    frontEnd.options.setAttr = true;
    frontEnd.options.hidden = true;
    EXPECT_TRUE(core.Start(engine::RunScope::All));
    EXPECT_EQ(frontEnd.events, (std::vector<std::string>{"running", "begins", "changed 0:6",
                                                         "progress 0/0", "progress 0/0", "idle"}));
    EXPECT_EQ(platform::GetFileAttributes(file), platform::kAttrHidden);
}

// A run that would change files and cannot keep a journal asks first: No leaves the files as
// they are, Yes runs without one. A run that changes nothing asks nothing.
TEST_F(KelvaneCoreTest, WithoutAJournalTheUserSaysWhetherToRunAnyway) {
    const std::string notAFolder = dir.Write("state");
    const testsupport::ScopedEnv state("XDG_STATE_HOME", notAFolder.c_str());
    const std::string file = dir.Write("a.txt");
    core.AddPaths({file}, AddFolderMode::FilesOnly);
    struct Case {
        bool changes, answer, asked;
        std::uint32_t attributes;
    };
    for (const Case& c : {Case{true, false, true, 0}, Case{false, false, false, 0},
                          Case{true, true, true, platform::kAttrHidden}}) {
        frontEnd.options.setAttr = c.changes;
        frontEnd.options.hidden = c.changes;
        std::vector<std::string> reasons;
        core.KeepJournals([&](const std::string& reason) {
            reasons.push_back(reason);
            return c.answer;
        });
        EXPECT_EQ(core.Start(engine::RunScope::All), !c.asked || c.answer);
        ASSERT_EQ(reasons.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_NE(reasons[0].find(notAFolder), std::string::npos) << reasons[0];
        }
        EXPECT_EQ(platform::GetFileAttributes(file), c.attributes);
    }
}

// An undo stopped at its first turn puts nothing back and names the file; then the run is
// undone, its row showing the file as it is again, and that undo is itself undone.
TEST_F(KelvaneCoreTest, AnUndoCanBeStoppedAndItselfUndone) {
    const TempDir stateHome;
    const testsupport::ScopedEnv state("XDG_STATE_HOME", stateHome.Path().c_str());
    const std::string file = dir.Write("a.txt");
    core.AddPaths({file}, AddFolderMode::FilesOnly);
    core.KeepJournals([](const std::string&) { return false; });
    frontEnd.options.setAttr = true;
    frontEnd.options.hidden = true;
    ASSERT_TRUE(core.Start(engine::RunScope::All));
    // The row's Attributes text, and whether the file is hidden now.
    const auto shown = [&] {
        return core.List().Row(0).Text(filelist::ListColumn::Attributes) +
               (platform::GetFileAttributes(file) == platform::kAttrHidden ? " hidden" : " plain");
    };
    std::string failure;
    frontEnd.onMessages = [this] { core.Stop(); };
    EXPECT_TRUE(core.UndoRun(PastRuns().last->id, failure));
    EXPECT_EQ(core.LastRun().Summary(), "0 files changed, 1 not changed");
    EXPECT_EQ(shown(), "H hidden");
    frontEnd.onMessages = nullptr;
    for (const char* after : {" plain", "H hidden"}) {
        EXPECT_TRUE(core.UndoRun(PastRuns().last->id, failure)) << failure;
        EXPECT_EQ(core.LastRun().Summary(), "1 file changed, 0 not changed");
        EXPECT_EQ(shown(), after);
    }
}

// After a run the core tells how many files changed and names each one that did not, with why;
// an error that ends the run says where and how many files it left.
TEST_F(KelvaneCoreTest, TheLastRunCountsChangedFilesAndNamesTheOthers) {
    const std::string gone = dir.Write("gone.txt");
    const std::string bad = dir.Write("bad.gif", "not a picture");
    core.AddPaths({dir.Write("a.txt"), gone, bad, dir.Write("later.txt")},
                  AddFolderMode::FilesOnly);
    ASSERT_EQ(unlink(gone.c_str()), 0);
    frontEnd.options.setAttr = true;
    frontEnd.options.hidden = true;
    frontEnd.options.deleteGIFComments = true;
    EXPECT_FALSE(core.LastRun().Begun());
    core.Start(engine::RunScope::All);

    const TRunReport& report = core.LastRun();
    EXPECT_EQ(report.Summary(), "1 file changed, 2 not changed");
    ASSERT_EQ(report.Failures().size(), 2u);
    EXPECT_EQ(report.Failures()[0].path, gone);
    EXPECT_EQ(report.Details().rfind(gone + ": ", 0), 0u) << report.Details();
    EXPECT_EQ(report.StoppedText(),
              "The run stopped at " + bad + ": Invalid GIF signature; 1 file not processed.");
    // The next run starts a new report; two failures of one file count it once.
    core.Start(engine::RunScope::CheckedOnly);
    EXPECT_EQ(core.LastRun().Summary(), "0 files changed, 0 not changed");
    TRunReport twice;
    twice.FileFailed("a", "one");
    twice.FileFailed("a", "two");
    EXPECT_EQ(twice.NotChangedCount(), 1);
}

// A preview plans in the background and changes no file; Start then does what it showed. A
// parameter change ends it, and so does a mark that takes a row into the scope, while one that
// leaves the scope as it was does not; Stop ends it part way, even from inside the delivery of
// a plan.
TEST_F(KelvaneCoreTest, PreviewShowsWhatStartDoesUntilSomethingMakesItUntrue) {
    using filelist::ListColumn;
    const std::string locked = dir.Write("c.txt");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    core.AddPaths({dir.Write("a.txt"), dir.Write("b.txt"), locked}, AddFolderMode::FilesOnly);
    frontEnd.options.caseChange = engine::CaseChange::NameUpper;
    frontEnd.options.dateChange = engine::DateChange::SetSelected;
    frontEnd.options.date = engine::EncodeDate(2004, 3, 10);
    const TRunPreview& preview = core.PreviewShown();
    const auto planAll = [&] {
        ASSERT_TRUE(core.BeginPreview(engine::RunScope::All));
        loop.RunUntil([&] { return !preview.Planning(); });
    };
    planAll();
    EXPECT_EQ(preview.Summary(), "2 files would change, 1 would be refused");
    ASSERT_NE(preview.Row(0), nullptr);
    EXPECT_EQ(PlannedText(*preview.Row(0), ListColumn::Name), "A.TXT");
    EXPECT_EQ(TodayText(*preview.Row(0), ListColumn::Name), "a.txt");
    EXPECT_TRUE(preview.Row(0)->refusals.empty());
    EXPECT_EQ(preview.Row(2)->refusals.size(), 1u);
    EXPECT_EQ(core.List().Row(0).Text(ListColumn::Name), "a.txt");
    EXPECT_TRUE(platform::FindPath(dir / "a.txt", platform::LinkRule::NoFollow));

    core.SetSelected(1, true);
    EXPECT_TRUE(preview.Active());
    frontEnd.options.caseChange = engine::CaseChange::DontChange;
    core.ParametersChanged();
    EXPECT_FALSE(preview.Active());
    EXPECT_EQ(preview.Row(0), nullptr);
    ASSERT_TRUE(core.BeginPreview(engine::RunScope::CheckedOnly));
    core.SetChecked(2, true);
    EXPECT_FALSE(preview.Active());

    frontEnd.options.caseChange = engine::CaseChange::NameUpper;
    planAll();
    std::vector<std::string> shown;
    for (ListColumn column : {ListColumn::Name, ListColumn::Modified, ListColumn::Attributes})
        for (int row = 0; row < 2; ++row)
            shown.push_back(PlannedText(*preview.Row(row), column));
    EXPECT_TRUE(core.Start(engine::RunScope::All));
    EXPECT_FALSE(preview.Active());
    std::vector<std::string> done;
    for (ListColumn column : {ListColumn::Name, ListColumn::Modified, ListColumn::Attributes})
        for (int row = 0; row < 2; ++row)
            done.push_back(core.List().Row(row).Text(column));
    EXPECT_EQ(done, shown);

    frontEnd.events.clear();
    frontEnd.onPlanned = [&] { core.Stop(); };
    planAll();
    loop.ProcessPending();
    EXPECT_FALSE(preview.Active());
    EXPECT_EQ(std::count(frontEnd.events.begin(), frontEnd.events.end(), "planned 0"), 1);
    EXPECT_EQ(std::count(frontEnd.events.begin(), frontEnd.events.end(), "planned 1"), 0);
}

TEST_F(KelvaneCoreTest, RepeatedSortReversesAndLaterRowsGoLast) {
    for (const char* name : {"b.txt", "C.txt", "a.txt"})
        core.AddPaths({dir.Write(name)}, AddFolderMode::FilesOnly);
    const auto names = [this] {
        std::string out;
        for (const filelist::FileRow& row : core.List().Rows())
            out += row.caption + " ";
        return out;
    };
    core.Sort(filelist::ListColumn::Name);  // Name first: ascending
    EXPECT_EQ(names(), "a.txt b.txt C.txt ");
    core.Sort(filelist::ListColumn::Name);
    EXPECT_EQ(names(), "C.txt b.txt a.txt ");
    core.Sort(filelist::ListColumn::Name);
    EXPECT_TRUE(core.SortAscending());
    EXPECT_EQ(frontEnd.events.back(), "moved");
    core.AddPaths({dir.Write("0.txt")}, AddFolderMode::FilesOnly);
    EXPECT_EQ(names(), "a.txt b.txt C.txt 0.txt ");
}

TEST_F(KelvaneCoreTest, DeleteMovesToTheTrashAndKeepsTheRowsOfFilesThatStay) {
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    mkdir((dir / "work").c_str(), 0755);
    for (const char* name : {"a.txt", "b.txt", "stuck.txt", "kept.txt"})
        core.AddPaths({dir.Write(std::string("work/") + name, name)}, AddFolderMode::FilesOnly);
    for (const int row : {0, 1, 2})
        core.SetSelected(row, true);
    // An immutable file cannot be moved, not even by root.
    const std::string stuck = dir / "work/stuck.txt";
    const bool immutable = std::system(("chattr +i '" + stuck + "' 2>/dev/null").c_str()) == 0;

    const std::vector<TKelvaneCore::TrashFailure> failures = core.DeleteSelected();
    if (immutable) {
        EXPECT_EQ(std::system(("chattr -i '" + stuck + "'").c_str()), 0);
    }

    EXPECT_EQ(ReadFile(dir / "data/Trash/files/a.txt"), "a.txt");
    EXPECT_NE(ReadFile(dir / "data/Trash/info/b.txt.trashinfo").find("Path="), std::string::npos);
    std::string left;
    for (const filelist::FileRow& row : core.List().Rows())
        left += row.caption + " ";
    EXPECT_EQ(left, immutable ? "stuck.txt kept.txt " : "kept.txt ");
    ASSERT_EQ(failures.size(), immutable ? 1u : 0u);
    if (immutable) {
        EXPECT_EQ(failures[0].path, stuck);
    }
}

TEST_F(KelvaneCoreTest, LinksNamedByTheUserStandForTheirTargetLinksInASearchAreNeverFollowed) {
    mkdir((dir / "tree").c_str(), 0755);
    const std::string inside = dir.Write("tree/a.txt");
    const std::string outside = dir.Write("outside.txt");
    const std::string named = dir.Write("named.txt");
    ASSERT_EQ(symlink(outside.c_str(), (dir / "tree/link.txt").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "tree/pipe").c_str(), 0644), 0);
    ASSERT_EQ(symlink(named.c_str(), (dir / "shortcut").c_str()), 0);

    core.AddFolder(AddFolderMode::FilesOnly, dir / "tree");
    loop.RunUntil([this] { return !core.SearchBusy(); });
    ASSERT_EQ(core.AddPaths({dir / "shortcut"}, AddFolderMode::FilesOnly), 1);
    EXPECT_EQ(core.List().Row(3).caption, "named.txt");  // the target's own row

    frontEnd.events.clear();
    frontEnd.options.setAttr = true;
    frontEnd.options.hidden = true;
    core.Start(engine::RunScope::All);
    EXPECT_EQ(platform::GetFileAttributes(inside), platform::kAttrHidden);
    EXPECT_EQ(platform::GetFileAttributes(named), platform::kAttrHidden);
    EXPECT_EQ(platform::GetFileAttributes(outside), 0u);
    std::vector<std::string> failures;
    for (const std::string& event : frontEnd.events) {
        if (event.rfind("failed ", 0) == 0)
            failures.push_back(event);
    }
    std::sort(failures.begin(), failures.end());
    EXPECT_EQ(failures,
              (std::vector<std::string>{
                  "failed " + (dir / "tree/link.txt") + " a symbolic link is not followed",
                  "failed " + (dir / "tree/pipe") + " a device, FIFO or socket is not changed"}));
}

}  // namespace
}  // namespace core
