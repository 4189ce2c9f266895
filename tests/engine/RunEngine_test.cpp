#include "engine/RunEngine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FakeFrontEnd.h"
#include "engine/TymoUtils.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace engine {
namespace {

using enginetest::FakeHost;
using enginetest::FakeRows;
using testsupport::TempDir;

constexpr std::uint32_t kR = platform::kAttrReadOnly;
constexpr std::uint32_t kH = platform::kAttrHidden;
constexpr std::uint32_t kA = platform::kAttrArchive;

// Options that mark each processed file archive-only, so a test can see what was visited.
RunOptions MarkArchive() {
    RunOptions o;
    o.setAttr = true;
    o.archive = true;
    return o;
}

TEST(RunScopeTest, EachScopeVisitsItsRows) {
    // checked/selected: (no,no) (yes,no) (no,yes) (yes,yes)
    const struct {
        RunScope scope;
        bool visits[4];
    } cases[] = {
        {RunScope::CheckedOnly, {false, true, false, true}},
        {RunScope::UncheckedOnly, {true, false, true, false}},
        {RunScope::SelectedOnly, {false, false, true, true}},
        {RunScope::UnselectedOnly, {true, true, false, false}},
        {RunScope::CheckedOrSelected, {false, true, true, true}},
        {RunScope::UncheckedOrUnselected, {true, true, true, false}},
        {RunScope::All, {true, true, true, true}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsRowVisited(c.scope, false, false), c.visits[0]) << static_cast<int>(c.scope);
        EXPECT_EQ(IsRowVisited(c.scope, true, false), c.visits[1]) << static_cast<int>(c.scope);
        EXPECT_EQ(IsRowVisited(c.scope, false, true), c.visits[2]) << static_cast<int>(c.scope);
        EXPECT_EQ(IsRowVisited(c.scope, true, true), c.visits[3]) << static_cast<int>(c.scope);
    }
}

class RunEngineTest : public ::testing::Test {
protected:
    std::string AddFile(const std::string& name, bool checked = false, bool selected = false) {
        const std::string path = dir.Write(name, "x");
        rows.Add(path, checked, selected);
        return path;
    }

    TempDir dir;
    FakeRows rows;
    FakeHost host;
    TRunEngine engine{rows, host, host};
};

TEST_F(RunEngineTest, EmptyListDoesNothing) {
    engine.Start(RunScope::All);
    EXPECT_TRUE(engine.Idle());
    EXPECT_TRUE(host.states.empty());
    EXPECT_TRUE(host.positions.empty());
}

TEST_F(RunEngineTest, OneRowRunsFromStartToFinish) {
    host.options = MarkArchive();
    const std::string file = AddFile("a.txt");
    engine.Start(RunScope::All);
    EXPECT_TRUE(engine.Idle());
    EXPECT_EQ(host.states, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.progressMax, 0);
    EXPECT_EQ(host.positions, (std::vector<int>{0, 0}));  // moved to the row, then back to 0
    EXPECT_EQ(host.pageShown, 1);
    EXPECT_EQ(platform::GetFileAttributes(file), kA);
    EXPECT_EQ(rows.AttributesText(0), "A");
}

TEST_F(RunEngineTest, ScopeMatchingNothingTouchesNothing) {
    host.options = MarkArchive();
    const std::string file = AddFile("a.txt");
    engine.Start(RunScope::SelectedOnly);
    EXPECT_EQ(platform::GetFileAttributes(file), 0u);
    EXPECT_TRUE(engine.Idle());
    EXPECT_EQ(host.positions, (std::vector<int>{0}));  // only Finish moved it
}

TEST_F(RunEngineTest, FoldersAndMissingFilesAreNamedAndOldFilesProcessed) {
    host.options = MarkArchive();
    const std::string folder = dir / "sub";
    mkdir(folder.c_str(), 0755);
    rows.Add(folder);
    const std::string old = AddFile("old.txt");
    const timespec times[2] = {{315'000'000, 0}, {100'000'000, 0}};  // 1973
    utimensat(AT_FDCWD, old.c_str(), times, 0);
    rows.Add(dir / "vanished.txt");
    const std::string fine = AddFile("fine.txt");

    engine.Start(RunScope::All);
    EXPECT_EQ(platform::GetFileAttributes(folder), platform::kAttrDirectory);
    // A bogus old time is what people fix with this tool: such a file is processed.
    EXPECT_EQ(platform::GetFileAttributes(old), kA);
    EXPECT_EQ(platform::GetFileAttributes(fine), kA);
    EXPECT_EQ(host.positions, (std::vector<int>{1, 3, 0}));
    EXPECT_EQ(host.failures, (std::vector<std::string>{folder + ": a folder is not processed",
                                                       dir / "vanished.txt" + ": no such file"}));
}

TEST_F(RunEngineTest, RemoveThenSetLeavesExactlyTheMask) {
    const std::string file = AddFile("ro.txt");
    ASSERT_TRUE(platform::SetFileAttributes(file, kR | kA));
    host.options.removeAttr = true;
    host.options.rReadOnly = true;
    host.options.setAttr = true;
    host.options.hidden = true;
    engine.Start(RunScope::All);
    EXPECT_EQ(platform::GetFileAttributes(file), kH);
    EXPECT_EQ(rows.AttributesText(0), "H");
}

TEST_F(RunEngineTest, RemoveClearsOnlyTickedAttributes) {
    const std::string file = AddFile("f.txt");
    ASSERT_TRUE(platform::SetFileAttributes(file, kR | kH | kA | platform::kAttrSystem));
    host.options.removeAttr = true;
    host.options.rHidden = true;
    host.options.rArchive = true;
    engine.Start(RunScope::All);
    EXPECT_EQ(platform::GetFileAttributes(file), kR | platform::kAttrSystem);
    EXPECT_EQ(rows.AttributesText(0), "RS");
}

TEST_F(RunEngineTest, EmptySetMaskClearsEverything) {
    const std::string file = AddFile("f.txt");
    ASSERT_TRUE(platform::SetFileAttributes(file, kR | kH | kA));
    host.options.setAttr = true;
    engine.Start(RunScope::All);
    EXPECT_EQ(platform::GetFileAttributes(file), 0u);
    EXPECT_EQ(rows.AttributesText(0), "");
}

TEST_F(RunEngineTest, MaskIsTakenOnceButOtherOptionsAfreshPerFile) {
    host.options = MarkArchive();
    host.options.dateChange = DateChange::SetSelected;
    host.options.date = EncodeDate(2004, 3, 10);
    const std::string first = AddFile("1.txt");
    const std::string second = AddFile("2.txt");
    const std::string third = AddFile("3.txt");
    host.onProcessMessages = [&](int call) {
        if (call == 1) {
            host.options.archive = false;  // the mask was taken at the start: no effect
            host.options.hidden = true;
        }
        if (call == 2) {
            host.options.setAttr = false;  // read afresh: applies from here on
            host.options.date = EncodeDate(2005, 4, 11);
        }
    };
    engine.Start(RunScope::All);
    EXPECT_EQ(platform::GetFileAttributes(first), kA);
    EXPECT_EQ(platform::GetFileAttributes(second), kA);
    EXPECT_EQ(platform::GetFileAttributes(third), 0u);
    EXPECT_DOUBLE_EQ(GetModifiedTime(second), EncodeDate(2004, 3, 10));
    EXPECT_DOUBLE_EQ(GetModifiedTime(third), EncodeDate(2005, 4, 11));
}

TEST_F(RunEngineTest, StopBetweenRowsLeavesTheRestUntouched) {
    host.options = MarkArchive();
    const std::string first = AddFile("1.txt");
    const std::string second = AddFile("2.txt");
    const std::string third = AddFile("3.txt");
    host.onProcessMessages = [&](int call) {
        if (call == 1)
            engine.Stop();
    };
    engine.Start(RunScope::All);
    EXPECT_TRUE(engine.Idle());
    EXPECT_EQ(platform::GetFileAttributes(first), kA);
    EXPECT_EQ(rows.AttributesText(0), "A");
    EXPECT_EQ(platform::GetFileAttributes(second), 0u);
    EXPECT_EQ(platform::GetFileAttributes(third), 0u);
    EXPECT_EQ(host.positions.back(), 0);
    EXPECT_EQ(host.states, (std::vector<bool>{true, false}));
}

TEST_F(RunEngineTest, FailedAttributeWriteKeepsTheRowAndIsReported) {
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    rows.Add(fifo);
    rows.rows[0].texts[5] = "old";
    host.options.setAttr = true;
    host.options.hidden = true;
    engine.Start(RunScope::All);
    EXPECT_EQ(rows.AttributesText(0), "old");
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_NE(host.failures[0].find(fifo), std::string::npos);
}

TEST_F(RunEngineTest, RefusedDatesEndTheRunBeforeAnyFile) {
    host.options = MarkArchive();
    host.options.dateChange = DateChange::SetSelected;
    host.options.date = EncodeDate(1979, 12, 31);
    const std::string file = AddFile("a.txt");
    engine.Start(RunScope::All);
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{
                  "Error: Value of year must be great than 1979 and less than 2100."}));
    EXPECT_EQ(platform::GetFileAttributes(file), 0u);
    EXPECT_TRUE(engine.Idle());
    EXPECT_EQ(host.pageShown, 0);
}

TEST_F(RunEngineTest, TimeColumnsAreRewrittenAfterTheTimeStep) {
    host.options.dateChange = DateChange::SetSelected;
    host.options.date = EncodeDate(2004, 3, 10);
    host.options.time = EncodeTime(10, 15, 37);
    const std::string file = AddFile("t.txt");
    engine.Start(RunScope::All);
    EXPECT_EQ(rows.rows[0].texts[3], filelist::GetModifiedText(file));
    EXPECT_EQ(rows.rows[0].texts[2], filelist::GetCreatedText(file));
    EXPECT_EQ(rows.rows[0].texts[4], filelist::GetOpenedText(file));
    EXPECT_FALSE(rows.rows[0].texts[3].empty());
}

// Files of attributes-and-times runs are changed on two threads, out of their order; the run
// must still end as one that changes them in turn: every file changed, the row texts of what
// each file holds, failures named in row order, with one file named twice and through a hard
// link among them.
TEST_F(RunEngineTest, FilesChangedOnTwoThreadsEndAsChangedInTurn) {
    host.options.setAttr = host.options.archive = true;
    host.options.dateChange = DateChange::SetSeparate;
    host.options.modified = true;
    host.options.modifiedDate = EncodeDate(2004, 5, 6);
    host.options.modifiedTime = EncodeTime(7, 8, 9);
    mkdir((dir / "sub").c_str(), 0755);
    dir.Write("a.txt", "x");
    link((dir / "a.txt").c_str(), (dir / "link.txt").c_str());
    chmod(dir.Write("ro.txt", "x").c_str(), 0444);
    for (const char* name : {"a.txt", "sub", "link.txt", "gone.txt", "ro.txt", "a.txt"})
        rows.Add(dir / name);
    for (int i = 0; i < 200; ++i)
        AddFile("f" + std::to_string(i) + ".txt");

    engine.Start(RunScope::All);
    EXPECT_EQ(host.failures,
              (std::vector<std::string>{dir / "sub" + ": a folder is not processed",
                                        dir / "gone.txt" + ": no such file",
                                        dir / "ro.txt" + ": the file is read-only"}));
    const std::string modified = rows.rows[0].texts[3];
    EXPECT_FALSE(modified.empty());
    for (int i = 0; i < rows.RowCount(); ++i) {
        const std::string path = rows.Path(i);
        if (i == 1 || i == 3)
            continue;  // the folder and the missing file
        SCOPED_TRACE(path);
        EXPECT_EQ(rows.AttributesText(i), "A");
        EXPECT_EQ(platform::GetFileAttributes(path), kA);
        EXPECT_EQ(rows.rows[static_cast<std::size_t>(i)].texts[3], filelist::GetModifiedText(path));
        // The read-only file keeps its time; its attributes are set after the time step.
        EXPECT_EQ(filelist::GetModifiedText(path) == modified, i != 4);
    }
}

// Rows fed as the run reaches them are changed after the rows already listed; a fed path is
// looked up before any file is renamed to it, as if every row had been added before the run.
TEST_F(RunEngineTest, FedRowsAreChangedAfterTheListedOnesAndLookedUpBeforeARename) {
    struct Case {
        const char* name;
        CaseChange caseChange;
        std::vector<std::string> fed;
        std::size_t existing;  // the first fed names that name files when the run begins
        std::vector<std::string> captions;
    };
    const std::vector<Case> cases = {
        {"attributes",
         CaseChange::DontChange,
         {"a.txt", "b.txt"},
         2,
         {"first.txt", "a.txt", "b.txt"}},
        // A.TXT becomes a.txt, a name that was free when the run began.
        {"rename", CaseChange::NameLower, {"A.TXT", "a.txt"}, 1, {"first.txt", "a.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir files;
        FakeRows listed;
        FakeHost events;
        TRunEngine run(listed, events, events);
        events.options = MarkArchive();
        events.options.caseChange = c.caseChange;
        listed.Add(files.Write("first.txt"));
        for (std::size_t i = 0; i < c.existing; ++i)
            files.Write(c.fed[i]);
        std::size_t next = 0;
        // As a look-up would: a path names a row only when it names a file at that moment.
        const auto addMore = [&] {
            if (next == c.fed.size())
                return false;
            const std::string path = files / c.fed[next++];
            if (platform::FindPath(path))
                listed.Add(path);
            return true;
        };
        run.Start(RunScope::All, {static_cast<int>(c.fed.size()), addMore});

        std::vector<std::string> captions;
        for (const enginetest::Row& row : listed.rows) {
            captions.push_back(row.caption);
            EXPECT_EQ(row.texts[5], "A") << row.caption;
        }
        EXPECT_EQ(captions, c.captions);
    }
}

// The window lets rows be removed between two turns of its event loop while files are being
// changed on another thread: every row must still show what its own file holds.
TEST_F(RunEngineTest, RowsRemovedDuringARunShowWhatTheirFilesHold) {
    host.options = MarkArchive();
    host.pumpEvery = 16;
    for (int i = 0; i < 100; ++i)
        AddFile("f" + std::to_string(i) + ".txt");
    host.onProcessMessages = [&](int call) {
        if (call == 2)
            rows.rows.erase(rows.rows.begin(), rows.rows.begin() + 10);
    };
    engine.Start(RunScope::All);
    for (int i = 0; i < rows.RowCount(); ++i) {
        EXPECT_EQ(rows.AttributesText(i),
                  filelist::AttrToText(platform::GetFileAttributes(rows.Path(i))))
            << rows.Path(i);
    }
}

}  // namespace
}  // namespace engine
