#include "engine/RunEngine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <array>

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

TEST_F(RunEngineTest, CombinedScopesUseOr) {
    host.options = MarkArchive();
    const std::string checkedOnly = AddFile("c.txt", true, false);
    const std::string selectedOnly = AddFile("s.txt", false, true);
    const std::string neither = AddFile("n.txt");
    engine.Start(RunScope::CheckedOrSelected);
    EXPECT_EQ(platform::GetFileAttributes(checkedOnly), kA);
    EXPECT_EQ(platform::GetFileAttributes(selectedOnly), kA);
    EXPECT_EQ(platform::GetFileAttributes(neither), 0u);
    EXPECT_EQ(rows.AttributesText(2), "");
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
    const std::string first = AddFile("1.txt");
    const std::string second = AddFile("2.txt");
    const std::string third = AddFile("3.txt");
    host.onProcessMessages = [&](int call) {
        if (call == 1) {
            host.options.archive = false;  // the mask was taken at the start: no effect
            host.options.hidden = true;
        }
        if (call == 2)
            host.options.setAttr = false;  // read afresh: applies from here on
    };
    engine.Start(RunScope::All);
    EXPECT_EQ(platform::GetFileAttributes(first), kA);
    EXPECT_EQ(platform::GetFileAttributes(second), kA);
    EXPECT_EQ(platform::GetFileAttributes(third), 0u);
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
    EXPECT_EQ(rows.rows[0].texts[3], GetModifiedText(file));
    EXPECT_EQ(rows.rows[0].texts[2], GetCreatedText(file));
    EXPECT_EQ(rows.rows[0].texts[4], GetOpenedText(file));
    EXPECT_FALSE(rows.rows[0].texts[3].empty());
}

// The command line's files are changed ahead on two threads, out of their order; a run over the
// same rows must still end as a run that changes them in turn: the same files, row texts and
// failures in row order, with one file named twice and through a hard link among them.
TEST(RunEngineAheadTest, ChangedAheadEndsAsChangedInTurn) {
    RunOptions options;
    options.removeAttr = options.rHidden = true;
    options.setAttr = options.archive = true;
    options.dateChange = DateChange::SetSeparate;
    options.created = options.modified = true;
    options.createdDate = EncodeDate(2003, 4, 5);
    options.createdTime = EncodeTime(6, 7, 8);
    options.modifiedDate = EncodeDate(2004, 5, 6);
    options.modifiedTime = EncodeTime(7, 8, 9);
    struct Outcome {
        std::vector<std::array<std::string, 6>> texts;
        std::vector<std::string> failures;
        std::vector<std::int64_t> modified;
    };
    const auto run = [&](bool unattended) {
        TempDir dir;
        FakeRows rows;
        FakeHost host;
        host.options = options;
        host.unattended = unattended;
        const auto add = [&](const std::string& name) { rows.Add(dir / name); };
        mkdir((dir / "sub").c_str(), 0755);
        dir.Write("a.txt", "x");
        link((dir / "a.txt").c_str(), (dir / "link.txt").c_str());
        chmod(dir.Write("ro.txt", "x").c_str(), 0444);
        for (const char* name : {"a.txt", "sub", "link.txt", "gone.txt", "ro.txt", "a.txt"})
            add(name);
        for (int i = 0; i < 40; ++i)
            add(dir.Write("f" + std::to_string(i) + ".txt", "x").substr(dir.Path().size() + 1));
        TRunEngine engine{rows, host, host};
        engine.Start(RunScope::All);
        Outcome outcome;
        for (int i = 0; i < rows.RowCount(); ++i) {
            std::array<std::string, 6> texts;
            std::copy_n(rows.rows[static_cast<std::size_t>(i)].texts, 6, texts.begin());
            outcome.texts.push_back(texts);
            struct stat st {};
            lstat(rows.Path(i).c_str(), &st);
            outcome.modified.push_back(st.st_mtime);
        }
        for (const std::string& failure : host.failures)
            outcome.failures.push_back(failure.substr(dir.Path().size()));
        return outcome;
    };
    const Outcome inTurn = run(false);
    const Outcome ahead = run(true);
    EXPECT_EQ(ahead.texts, inTurn.texts);
    EXPECT_EQ(ahead.failures, inTurn.failures);
    EXPECT_EQ(ahead.modified, inTurn.modified);
    EXPECT_EQ(inTurn.failures.size(), 3u);  // the folder, the missing file, the read-only times
}

}  // namespace
}  // namespace engine
