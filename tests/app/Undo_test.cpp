// A run undone from its journal, as a user does it with kelvane-cli: every byte, time, mode and
// extended attribute comes back as it was, and a file changed since is left alone.

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../platform/TestMount.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

using testsupport::ProcessResult;
using testsupport::TempDir;

// Runs kelvane-cli in `dir`, its journals in `state`.
ProcessResult Cli(const TempDir& state, const TempDir& dir, const std::vector<std::string>& args) {
    return testsupport::RunProcess(KELVANE_CLI, args, dir.Path(),
                                   "LC_ALL=en_US.UTF-8 TZ=UTC XDG_STATE_HOME=" + state.Path());
}

// The file's bytes, read without moving its last-access time (which the undo compares).
std::string ReadLeavingAccessTime(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOATIME | O_CLOEXEC);
    std::string bytes(1 << 16, '\0');
    const ssize_t got = fd >= 0 ? read(fd, bytes.data(), bytes.size()) : -1;
    if (fd >= 0)
        close(fd);
    return bytes.substr(0, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
}

// Everything a run or an undo could change of the files of `dir`, in one text: names, bytes,
// the two Linux times to the nanosecond, the mode and every extended attribute.
std::string Snapshot(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct statx st {};
        statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &st);
        text += name + " [" + ReadLeavingAccessTime(path) + "] mode " +
                std::to_string(st.stx_mode & 07777) + " written " +
                std::to_string(st.stx_mtime.tv_sec) + "." + std::to_string(st.stx_mtime.tv_nsec) +
                " read " + std::to_string(st.stx_atime.tv_sec) + "." +
                std::to_string(st.stx_atime.tv_nsec);
        std::vector<char> list(4096);
        const ssize_t size = llistxattr(path.c_str(), list.data(), list.size());
        std::vector<std::string> xattrs;
        for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(strlen(&list[at])) + 1)
            xattrs.push_back(&list[at]);
        std::sort(xattrs.begin(), xattrs.end());
        for (const std::string& xattr : xattrs) {
            std::string value(4096, '\0');
            const ssize_t got = lgetxattr(path.c_str(), xattr.c_str(), value.data(), value.size());
            text += " " + xattr + "=" +
                    value.substr(0, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        }
        text += "\n";
    }
    return text;
}

void SetTimes(const std::string& path, time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds + 7, nanoseconds + 11}};
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// Each case: the files as they are, and the run to undo. The undo gives back the state before
// the run; an undo of that undo gives back the run's result.
TEST(UndoTest, GivesBackEveryByteTimeModeAndAttribute) {
    const std::string tag = "TAG" + std::string("Beta") + std::string(26, '\0') + "Alpha" +
                            std::string(25, '\0') + std::string(30 + 4 + 30 + 1, '\0');
    struct Case {
        const char* what;
        const char* name;
        std::string content;
        // An attribute stored before the run (by a run without a journal), or none.
        const char* storedFirst;
        std::vector<std::string> run;
        // A second name for the file, so that a rewrite writes it in place.
        const char* hardLink = nullptr;
    };
    const std::string gif = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) +
                            std::string("\x00\x00\x00\xFF\xFF\xFF", 6) +
                            std::string("\x21\xFE\x02hi\x00", 6) +
                            std::string("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10) +
                            std::string("\x02\x02\x44\x01\x00", 5) + "\x3B";
    const Case cases[] = {
        {"times", "a.txt", "alpha", nullptr, {"--time=2004-02-29 10:15:36"}},
        {"attributes, none stored", "b.txt", "beta", nullptr, {"--set-attr=RHA"}},
        {"attributes, one stored", "c.txt", "gamma", "--set-attr=HS", {"--set-attr=RA"}},
        {"case only", "MiXed.TXT", "delta", nullptr, {"--case=name-lower"}},
        {"tag rename", "song.mp3", "audio" + tag, nullptr, {"--id3-rename", "--time=2001-05-06"}},
        {"GIF rewritten as a new file", "a.gif", gif, nullptr, {"--gif-strip-comments"}},
        {"GIF rewritten in place", "b.gif", gif, nullptr, {"--gif-strip-comments"}, "c.gif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir state;
        TempDir dir;
        const std::string path = dir.Write(c.name, c.content);
        if (c.storedFirst) {
            ASSERT_EQ(Cli(state, dir, {"--no-journal", c.storedFirst, c.name}).exitCode, 0);
        }
        SetTimes(path, 1'000'000'000, 123'456'789);
        if (c.hardLink)
            link(path.c_str(), (dir / c.hardLink).c_str());
        const std::string before = Snapshot(dir.Path());
        std::vector<std::string> run = c.run;
        run.push_back(c.name);
        const ProcessResult changed = Cli(state, dir, run);
        ASSERT_EQ(changed.exitCode, 0) << changed.err;
        const std::string after = Snapshot(dir.Path());
        ASSERT_NE(after, before);
        // A rewrite keeps the old content, whether as a link to the old file or as a copy.
        const std::string kept = c.content == gif ? "41 bytes kept" : "0 bytes kept";
        const std::string runs = Cli(state, dir, {"--runs"}).out;
        EXPECT_EQ(runs.substr(runs.rfind('\t') + 1), kept + "\n");

        const ProcessResult undone = Cli(state, dir, {"--undo"});
        EXPECT_EQ(undone.exitCode, 0) << undone.err;
        EXPECT_EQ(undone.err, "");
        EXPECT_EQ(Snapshot(dir.Path()), before);
        const ProcessResult redone = Cli(state, dir, {"--undo"});
        EXPECT_EQ(redone.exitCode, 0) << redone.err;
        EXPECT_EQ(Snapshot(dir.Path()), after);
    }
}

// Renames under a journal are recorded in batches before they are made: rows naming one file
// twice, or a name another row has or takes, must end as they end without a journal.
TEST(UndoTest, BatchedRenamesEndAsWithoutAJournal) {
    const std::vector<std::string> rows = {"b.TXT", "A.TXT", "link.TXT", "B.TXT", "c.TXT",
                                           "a.txt", "C.TXT", "c.TXT",    "D.TXT"};
    std::string outcomes[2];
    std::string errors[2];
    for (const bool journal : {false, true}) {
        TempDir state;
        TempDir dir;
        for (const char* name : {"A.TXT", "B.TXT", "b.TXT", "c.TXT", "C.TXT", "D.TXT"})
            SetTimes(dir.Write(name, name), 1'000'000'000, 0);
        link((dir / "A.TXT").c_str(), (dir / "link.TXT").c_str());
        std::vector<std::string> args = {"--case=ext-lower"};
        if (!journal)
            args.push_back("--no-journal");
        args.insert(args.end(), rows.begin(), rows.end());
        const ProcessResult run = Cli(state, dir, args);
        outcomes[journal] = Snapshot(dir.Path());
        errors[journal] = run.err;
        for (std::size_t at; (at = errors[journal].find(dir.Path())) != std::string::npos;)
            errors[journal].replace(at, dir.Path().size(), "DIR");
    }
    EXPECT_EQ(outcomes[1], outcomes[0]);
    EXPECT_EQ(errors[1], errors[0]);
}

// A name one file gives up is taken by the next in the same run, as without a journal; the undo
// gives it back to the first only once the second has left it.
TEST(UndoTest, ANameGivenUpAndTakenComesBack) {
    const auto tagged = [](const std::string& audio, const std::string& title) {
        std::string tag = "TAG" + title;
        tag.resize(33, '\0');
        tag += "Band";
        tag.resize(128, '\0');
        return audio + tag;
    };
    TempDir state;
    TempDir dir;
    dir.Write("Band - One.mp3", tagged("first", "Two"));
    dir.Write("x.mp3", tagged("second", "One"));
    const std::string before = Snapshot(dir.Path());

    const ProcessResult run = Cli(state, dir, {"--id3-rename", "Band - One.mp3", "x.mp3"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadLeavingAccessTime(dir / "Band - One.mp3").substr(0, 6), "second");
    const ProcessResult undone = Cli(state, dir, {"--undo"});
    EXPECT_EQ(undone.exitCode, 0) << undone.err;
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

// A run killed part way leaves files changed and files not yet changed; an undo gives every one
// back as it was before the run.
TEST(UndoTest, RunKilledHalfWayIsUndone) {
    TempDir state;
    TempDir dir;
    std::vector<std::string> args = {KELVANE_CLI, "--set-attr=H", "--time=2004-02-29 10:15:36"};
    for (int i = 0; i < 20'000; ++i) {
        const std::string name = "f" + std::to_string(i);
        SetTimes(dir.Write(name), 1'000'000'000, i);
        args.push_back(name);
    }
    const std::string before = Snapshot(dir.Path());
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
        if (chdir(dir.Path().c_str()) == 0)
            execv(KELVANE_CLI, argv.data());
        _exit(127);
    }
    // Killed once the first files are changed, long before the last.
    const std::string first = dir / "f0";
    while (getxattr(first.c_str(), "user.DOSATTRIB", nullptr, 0) < 0 &&
           waitpid(child, nullptr, WNOHANG) == 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it could be killed";
    ASSERT_NE(Snapshot(dir.Path()), before);

    const ProcessResult undone = Cli(state, dir, {"--undo"});
    EXPECT_EQ(undone.exitCode, 0) << undone.err.substr(0, 1000);
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

// On an NTFS volume the attributes and the creation time live in the file system's own values,
// which no listing shows: they are compared by name.
TEST(UndoTest, NtfsAttributesAndTimesComeBack) {
    TempDir dir;
    platform::NtfsMount ntfs(dir, {"ntfs-3g"});
    if (!ntfs.Mounted())
        GTEST_SKIP() << platform::kNoNtfs;
    TempDir state;
    const std::string path = ntfs / "a.txt";
    std::ofstream(path) << "alpha";
    SetTimes(path, 1'000'000'000, 123'456'700);
    // Read without opening the file: ntfs-3g moves the last-access time of a file read.
    const auto ntfsState = [&] {
        struct statx st {};
        statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &st);
        std::string text = std::to_string(st.stx_mode) + " " + std::to_string(st.stx_mtime.tv_sec) +
                           "." + std::to_string(st.stx_mtime.tv_nsec) + " " +
                           std::to_string(st.stx_atime.tv_sec) + "." +
                           std::to_string(st.stx_atime.tv_nsec);
        for (const char* name : {"system.ntfs_attrib", "system.ntfs_crtime"}) {
            std::string value(64, '\0');
            const ssize_t got = getxattr(path.c_str(), name, value.data(), value.size());
            text += "|" + value.substr(0, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        }
        return text;
    };
    const std::string before = ntfsState();
    const ProcessResult changed =
        Cli(state, dir, {"--set-attr=HS", "--time=2004-02-29 10:15:36", path});
    ASSERT_EQ(changed.exitCode, 0) << changed.err;
    ASSERT_NE(ntfsState(), before);
    const ProcessResult undone = Cli(state, dir, {"--undo"});
    EXPECT_EQ(undone.exitCode, 0) << undone.err;
    EXPECT_EQ(ntfsState(), before);
}

// The last 50 runs are kept, with the content they kept; older ones go, oldest first.
TEST(UndoTest, OldestRunsGoFirst) {
    TempDir state;
    TempDir dir;
    dir.Write("a.txt");
    std::string firstTwo;
    for (int run = 0; run < 52; ++run) {
        ASSERT_EQ(Cli(state, dir, {run % 2 ? "--set-attr=" : "--set-attr=H", "a.txt"}).exitCode, 0);
        if (run == 1)
            firstTwo = Cli(state, dir, {"--runs"}).out;
    }
    const std::string runs = Cli(state, dir, {"--runs"}).out;
    EXPECT_EQ(std::count(runs.begin(), runs.end(), '\n'), 50);
    for (std::size_t line = 0; line < firstTwo.size(); line = firstTwo.find('\n', line) + 1)
        EXPECT_EQ(runs.find(firstTwo.substr(line, firstTwo.find('\t', line) - line)),
                  std::string::npos);
    // Nothing else is left behind: one journal per run kept, no folder of kept content.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(state / "orbel-kelvane/runs"),
                            std::filesystem::directory_iterator()),
              50);
}

TEST(UndoTest, FileChangedSinceTheRunIsLeftAndNamed) {
    TempDir state;
    TempDir dir;
    dir.Write("kept.txt");
    dir.Write("touched.txt");
    ASSERT_EQ(Cli(state, dir, {"--set-attr=H", "kept.txt", "touched.txt"}).exitCode, 0);
    SetTimes(dir / "touched.txt", 1'100'000'000, 5);
    const std::string touched = Snapshot(dir.Path());
    const ProcessResult undone = Cli(state, dir, {"--undo"});
    EXPECT_EQ(undone.exitCode, 1);
    EXPECT_EQ(undone.err,
              "kelvane-cli: " + (dir / "touched.txt") + ": changed since the run; left as it is\n");
    EXPECT_EQ(getxattr((dir / "kept.txt").c_str(), "user.DOSATTRIB", nullptr, 0), -1);
    EXPECT_NE(getxattr((dir / "touched.txt").c_str(), "user.DOSATTRIB", nullptr, 0), -1);
}

// A run whose journal a crash cut short is undone up to its last whole record; a file that is
// not a journal of ours is refused, and nothing changes.
TEST(UndoTest, JournalCutShortOrNotOurs) {
    TempDir state;
    TempDir dir;
    dir.Write("a.txt");
    dir.Write("b.txt");
    ASSERT_EQ(Cli(state, dir, {"--set-attr=H", "a.txt", "b.txt", "a.txt"}).exitCode, 0);
    const std::string runs = state / "orbel-kelvane/runs";
    std::vector<std::string> journals;
    for (const auto& entry : std::filesystem::directory_iterator(runs))
        journals.push_back(entry.path());
    ASSERT_EQ(journals.size(), 1u);
    struct stat st {};
    stat(runs.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    stat(journals[0].c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const std::string bytes = testsupport::ReadFile(journals[0]);
    std::filesystem::copy_file(journals[0], runs + "/29990101-000000-000.journal");
    {
        std::ofstream(runs + "/29990101-000000-000.journal", std::ios::binary | std::ios::app)
            << std::string("\x20\0\0\0", 4);
    }
    const std::string changed = Snapshot(dir.Path());
    std::ofstream(runs + "/29990101-000000-001.journal", std::ios::binary) << "not a journal";
    const ProcessResult refused = Cli(state, dir, {"--undo"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err,
              "kelvane-cli: cannot undo 29990101-000000-001: not a journal of this program\n");
    EXPECT_EQ(Snapshot(dir.Path()), changed);

    const ProcessResult undone = Cli(state, dir, {"--undo=29990101-000000-000"});
    EXPECT_EQ(undone.exitCode, 0) << undone.err;
    EXPECT_EQ(getxattr((dir / "a.txt").c_str(), "user.DOSATTRIB", nullptr, 0), -1);
    EXPECT_EQ(getxattr((dir / "b.txt").c_str(), "user.DOSATTRIB", nullptr, 0), -1);
}

}  // namespace
