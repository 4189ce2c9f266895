// kelvane-cli as a user runs it: a subprocess on a temporary folder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <set>
#include <sstream>

#include "platform/FileSystem.h"
#include "support/DeepFolder.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

using testsupport::ProcessResult;
using testsupport::TempDir;

// The journals of the runs go to a folder of the tests' own, never to the user's.
const std::string& Environment() {
    static const TempDir state;
    static const std::string environment =
        "LC_ALL=en_US.UTF-8 TZ=UTC XDG_STATE_HOME=" + state.Path();
    return environment;
}

ProcessResult Cli(const TempDir& dir, const std::vector<std::string>& args) {
    return testsupport::RunProcess(KELVANE_CLI, args, dir.Path(), Environment());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

TEST(CliTest, SetsAttributesInBatchAndListsTheRows) {
    TempDir dir;
    dir.Write("a.txt", "12345");
    dir.Write("b.txt");
    const ProcessResult result = Cli(dir, {"--set-attr=RA", "--list", "a.txt", "b.txt"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 2u);
    const auto fields = Fields(lines[0]);
    ASSERT_EQ(fields.size(), 8u);
    EXPECT_EQ(fields[0], "a.txt");
    EXPECT_EQ(fields[1], "5");
    EXPECT_FALSE(fields[2].empty());  // the desktop's type name, loaded only for the listing
    EXPECT_EQ(fields[6], "RA");
    EXPECT_EQ(fields[7], dir.Path());
    EXPECT_EQ(Fields(lines[1])[0], "b.txt");
    EXPECT_EQ(platform::GetFileAttributes(dir / "a.txt"),
              platform::kAttrReadOnly | platform::kAttrArchive);
    EXPECT_EQ(platform::GetFileAttributes(dir / "b.txt"),
              platform::kAttrReadOnly | platform::kAttrArchive);
}

// The store itself is chosen and tested in the platform tests; here only what the option
// prints, and that it changes nothing even when a change is asked with it.
TEST(CliTest, ExplainSaysWhereAttributesAreKept) {
    TempDir dir;
    dir.Write("a.txt");
    const ProcessResult result = Cli(dir, {"--explain", "--set-attr=H", "a.txt", "missing"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("a.txt: "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(": attributes in the write bits and user.DOSATTRIB, creation time "
                              "in user.DOSATTRIB, else the birth time\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.err, "kelvane-cli: missing: no such file or folder\n");
    EXPECT_EQ(platform::GetFileAttributes(dir / "a.txt"), 0u);
}

TEST(CliTest, EmptySetValueClearsAndRemoveTakesAway) {
    TempDir dir;
    dir.Write("a.txt");
    ASSERT_EQ(Cli(dir, {"--set-attr=HSA", "a.txt"}).exitCode, 0);
    ASSERT_EQ(Cli(dir, {"--remove-attr=hs", "a.txt"}).exitCode, 0);
    EXPECT_EQ(platform::GetFileAttributes(dir / "a.txt"), platform::kAttrArchive);
    ASSERT_EQ(Cli(dir, {"--set-attr=", "a.txt"}).exitCode, 0);
    EXPECT_EQ(platform::GetFileAttributes(dir / "a.txt"), 0u);
}

// Paths go to the run in batches as it reaches them: each refusal is named, in the order given,
// and every other file is changed.
TEST(CliTest, MissingPathIsNamedAndTheOthersStillRun) {
    TempDir dir;
    mkdir((dir / "folder").c_str(), 0755);
    std::vector<std::string> args = {"--set-attr=H", "missing.txt", "folder"};
    std::string named =
        "kelvane-cli: missing.txt: no such file or folder\n"
        "kelvane-cli: folder: a folder is added only by --add-folder\n";
    for (int i = 0; i < 40; ++i) {
        const std::string name = "f" + std::to_string(i) + ".txt";
        args.push_back(name);
        if (i % 7 == 3)
            named += "kelvane-cli: " + name + ": no such file or folder\n";
        else
            dir.Write(name);
    }
    const ProcessResult result = Cli(dir, args);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, named);
    for (int i = 0; i < 40; ++i) {
        const std::string path = dir / ("f" + std::to_string(i) + ".txt");
        EXPECT_EQ(platform::GetFileAttributes(path),
                  i % 7 == 3 ? platform::kInvalidAttributes : platform::kAttrHidden)
            << path;
    }
}

TEST(CliTest, BadCommandLineExitsWithTwoAndTouchesNothing) {
    TempDir dir;
    dir.Write("a.txt");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--set-attr=RX", "a.txt"},
          std::vector<std::string>{"--no-such-flag", "a.txt"}}) {
        const ProcessResult result = Cli(dir, args);
        EXPECT_EQ(result.exitCode, 2) << args[0];
        EXPECT_FALSE(result.err.empty()) << args[0];
        EXPECT_EQ(result.out, "") << args[0];
    }
    EXPECT_EQ(platform::GetFileAttributes(dir / "a.txt"), 0u);
}

TEST(CliTest, SortBeforeListing) {
    TempDir dir;
    dir.Write("big.txt", std::string(10000, 'x'));
    dir.Write("small.txt", std::string(9999, 'x'));
    const ProcessResult result =
        Cli(dir, {"--list", "--sort=Size", "--sort", "size", "small.txt", "big.txt"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Fields(Lines(result.out).at(0))[0], "big.txt");  // given twice: reversed
    EXPECT_EQ(Cli(dir, {"--sort=Colour", "big.txt"}).exitCode, 2);
}

// A long listing is made in pieces on two threads: every row comes out once, in list order.
TEST(CliTest, LongListingKeepsEveryRowInOrder) {
    TempDir dir;
    constexpr int kFiles = 2100;  // a whole piece and part of another
    for (int i = 0; i < kFiles; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%05d", i);
        dir.Write(name);
    }
    const ProcessResult result =
        Cli(dir, {"--add-folder=files", dir.Path(), "--sort=Name", "--list"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kFiles));
    for (int i = 0; i < kFiles; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%05d", i);
        ASSERT_EQ(Fields(lines[static_cast<std::size_t>(i)])[0], name);
    }
}

TEST(CliTest, HelpAndVersion) {
    TempDir dir;
    const ProcessResult help = Cli(dir, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--set-attr"), std::string::npos);
    const ProcessResult version = Cli(dir, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("kelvane-cli ", 0), 0u);
}

TEST(CliTest, NonUtf8NameIsListedByteForByte) {
    TempDir dir;
    const std::string name = "caf\xe9.txt";
    dir.Write(name);
    const ProcessResult result = Cli(dir, {"--list", "--set-attr=A", name});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Fields(Lines(result.out).at(0))[0], name);
    EXPECT_EQ(platform::GetFileAttributes(dir / name), platform::kAttrArchive);
}

}  // namespace

namespace {

// One value for all three times, or separate ones; a time not given is not checked.
TEST(CliTimesTest, GivenTimesAreWrittenAndListed) {
    struct Case {
        std::vector<std::string> args;
        std::array<const char*, 3> shown;  // created, modified, opened
    };
    const Case cases[] = {
        {{"--time=2004-02-29 10:15:37", "--list", "a.txt"},
         {"02/29/2004  10:15 AM", "02/29/2004  10:15 AM", "02/29/2004"}},
        {{"--modified=2005-06-01 08:00:00", "--opened=2006-01-02", "--list", "a.txt"},
         {nullptr, "06/01/2005  08:00 AM", "01/02/2006"}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.Write("a.txt");
        const ProcessResult result = Cli(dir, c.args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const auto fields = Fields(Lines(result.out).at(0));
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            if (c.shown[i]) {
                EXPECT_EQ(fields.at(3 + i), c.shown[i]) << c.args[0];
            }
        }
    }
}

// A run that lists nothing leaves the stored attributes out of its rows; the creation time it
// writes beside them must still keep them.
TEST(CliTimesTest, UnlistedRunKeepsTheStoredAttributes) {
    TempDir dir;
    const std::string file = dir.Write("a.txt");
    constexpr std::uint32_t kStored = platform::kAttrHidden | platform::kAttrSystem;
    ASSERT_TRUE(platform::SetFileAttributes(file, kStored));
    EXPECT_EQ(Cli(dir, {"--time=2004-02-29 10:15:37", "a.txt"}).exitCode, 0);
    EXPECT_EQ(platform::GetFileAttributes(file), kStored);
}

TEST(CliTimesTest, BadDatesAreRefusedBeforeAnyFileIsTouched) {
    TempDir dir;
    dir.Write("a.txt");
    ASSERT_EQ(Cli(dir, {"--set-attr=", "a.txt"}).exitCode, 0);
    for (const std::string& arg :
         {std::string("--time=2004-02-30 10:00:00"), std::string("--time=yesterday"),
          std::string("--time=1979-12-31 23:59:59")}) {
        const ProcessResult result = Cli(dir, {arg, "--set-attr=H", "a.txt"});
        EXPECT_EQ(result.exitCode, 2) << arg;
        EXPECT_FALSE(result.err.empty()) << arg;
    }
    EXPECT_EQ(Cli(dir, {"--time=1979-12-31 23:59:59", "a.txt"}).err,
              "kelvane-cli: Value of year must be great than 1979 and less than 2100.\n");
    // With no file to run over there is no run to refuse: only the path is named.
    const ProcessResult nothing = Cli(dir, {"--time=1979-12-31 23:59:59", "missing.txt"});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_EQ(nothing.err, "kelvane-cli: missing.txt: no such file or folder\n");
    EXPECT_EQ(platform::GetFileAttributes(dir / "a.txt"), 0u);
}

TEST(CliRenameTest, TagRenameAndCaseChange) {
    TempDir dir;
    const std::string tag = "TAG" + std::string("Beta") + std::string(26, '\0') + "Alpha" +
                            std::string(25, '\0') + std::string(30 + 4 + 30 + 1, '\0');
    dir.Write("song.mp3", "audio" + tag);
    dir.Write("notes.txt");
    const ProcessResult result =
        Cli(dir, {"--id3-rename", "--case=ext-upper", "--list", "song.mp3", "notes.txt"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto lines = Lines(result.out);
    EXPECT_EQ(Fields(lines.at(0))[0], "Alpha - Beta.MP3");
    EXPECT_EQ(Fields(lines.at(1))[0], "notes.TXT");
    EXPECT_EQ(testsupport::ReadFile(dir / "Alpha - Beta.MP3").substr(0, 5), "audio");
}

TEST(CliRenameTest, RefusedRenameIsNamedWithItsReason) {
    TempDir dir;
    dir.Write("notes.txt", "lower");
    dir.Write("notes.TXT", "upper");
    const ProcessResult result = Cli(dir, {"--case=ext-upper", "notes.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "kelvane-cli: " + (dir / "notes.txt") + ": a file of that name exists\n");
    EXPECT_EQ(testsupport::ReadFile(dir / "notes.TXT"), "upper");
    EXPECT_EQ(Cli(dir, {"--case=title", "notes.txt"}).exitCode, 2);
}

}  // namespace

namespace {

TEST(CliGifTest, BrokenGifIsNamedWithTheMessage) {
    TempDir dir;
    dir.Write("broken.gif", "not a picture");
    const ProcessResult result = Cli(dir, {"--gif-strip-comments", "broken.gif"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "kelvane-cli: run stopped at " + (dir / "broken.gif") +
                              ": Invalid GIF signature; 0 files not processed\n");
    EXPECT_EQ(testsupport::ReadFile(dir / "broken.gif"), "not a picture");
    dir.Write("after.txt");
    EXPECT_EQ(Cli(dir, {"--gif-strip-comments", "broken.gif", "after.txt"}).err,
              "kelvane-cli: run stopped at " + (dir / "broken.gif") +
                  ": Invalid GIF signature; 1 file not processed\n");
}

}  // namespace

namespace {

TEST(CliAddFolderTest, SearchesAndPathsKeepTheirOrder) {
    TempDir dir;
    mkdir((dir / "tree").c_str(), 0755);
    mkdir((dir / "tree/sub").c_str(), 0755);
    dir.Write("tree/a.txt");
    dir.Write("tree/sub/b.txt");
    dir.Write("first.txt");
    dir.Write("last.txt");
    const ProcessResult result = Cli(dir, {"--list", "first.txt", "--add-folder=files", "tree",
                                           "last.txt", "--add-folder", "folders", "tree"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> names;
    for (const std::string& line : Lines(result.out))
        names.push_back(Fields(line)[0]);
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[0], "first.txt");
    EXPECT_EQ(std::set<std::string>(names.begin() + 1, names.begin() + 3),
              (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(names[3], "last.txt");
    EXPECT_EQ(names[4], "sub");
}

TEST(CliAddFolderTest, BadSearchesAreNamedOrRefused) {
    TempDir dir;
    dir.Write("file.txt");
    const ProcessResult missing = Cli(dir, {"--add-folder=files", "nothere"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "kelvane-cli: nothere: no such file or folder\n");
    EXPECT_EQ(Cli(dir, {"--add-folder=files", "file.txt"}).exitCode, 1);
    EXPECT_EQ(Cli(dir, {"--add-folder=everything", "."}).exitCode, 2);
    EXPECT_EQ(Cli(dir, {"--add-folder=files"}).exitCode, 2);
}

// A tree deeper than a path may be is searched and changed whole; a folder that cannot be
// opened is named, and the exit status says that not everything was searched.
TEST(CliAddFolderTest, DeepFoldersAreSearchedAndUnopenedOnesNamed) {
    TempDir dir;
    chmod(dir.Path().c_str(), 0755);
    mkdir((dir / "tree").c_str(), 0755);
    mkdir((dir / "tree/locked").c_str(), 0755);
    dir.Write("tree/locked/inside.txt");
    chmod((dir / "tree/locked").c_str(), 0);
    const testsupport::DeepFolder deep(dir / "tree");
    deep.Write("deepest.txt");

    const ProcessResult changed =
        Cli(dir, {"--add-folder=files", "tree/" + std::string(200, 'd'), "--set-attr=H", "--list"});
    EXPECT_EQ(changed.exitCode, 0) << changed.err;
    const std::vector<std::string> rows = Lines(changed.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Fields(rows[0])[0], "deepest.txt");
    EXPECT_EQ(Fields(rows[0])[6], "H");

    // Root opens any folder: the search then runs as nobody.
    const std::string asNobody =
        geteuid() == 0 ? " setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
    const ProcessResult searched = testsupport::RunProcess(
        KELVANE_CLI, {"--add-folder=files", "tree"}, dir.Path(), Environment() + asNobody);
    EXPECT_EQ(searched.exitCode, 1);
    EXPECT_EQ(searched.err, "kelvane-cli: " + (dir / "tree/locked") +
                                ": folder not searched: Permission denied\n");
}

}  // namespace

namespace {

TEST(CliReviewTest, EveryGivenDateMustBeWritable) {
    TempDir dir;
    dir.Write("a.txt");
    const ProcessResult later =
        Cli(dir, {"--created=2020-01-01 00:00:00", "--modified=1900-01-01 00:00:00", "a.txt"});
    EXPECT_EQ(later.exitCode, 2);
    EXPECT_EQ(later.err,
              "kelvane-cli: --modified: Value of year must be great than 1979 and less than "
              "2100.\n");
    EXPECT_EQ(Cli(dir, {"--opened=2150-01-01", "a.txt"}).exitCode, 2);
}

TEST(CliReviewTest, PlainPathsDoNotDependOnAnEarlierSearch) {
    TempDir dir;
    mkdir((dir / "d").c_str(), 0755);
    dir.Write("f.txt");
    const ProcessResult result = Cli(dir, {"--list", "--add-folder", "folders", ".", "f.txt", "d"});
    EXPECT_EQ(result.exitCode, 1);  // the plain folder path is not added
    EXPECT_EQ(result.err, "kelvane-cli: d: a folder is added only by --add-folder\n");
    std::vector<std::string> names;
    for (const std::string& line : Lines(result.out))
        names.push_back(Fields(line)[0]);
    EXPECT_EQ(names, (std::vector<std::string>{"d", "f.txt"}));
}

TEST(CliReviewTest, EverythingAfterDoubleDashIsAPath) {
    TempDir dir;
    dir.Write("--add-folder", "odd name");
    dir.Write("--x=", "odd name");
    dir.Write("-1.txt", "odd name");
    // A name that cannot be an option is a path even before "--".
    const ProcessResult result = Cli(dir, {"--list", "-1.txt", "--", "--add-folder", "--x="});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Fields(lines[0])[0], "-1.txt");
    EXPECT_EQ(Fields(lines[1])[0], "--add-folder");
    EXPECT_EQ(Fields(lines[2])[0], "--x=");
}

// Everything a dry run could change, as exactly as the system tells it; read without touching
// the last-access time.
std::string StateOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    char xattrs[4096] = {};
    const ssize_t size = llistxattr(path.c_str(), xattrs, sizeof xattrs);
    std::string content(static_cast<std::size_t>(st.st_size), '\0');
    const int fd = open(path.c_str(), O_RDONLY | O_NOATIME);
    EXPECT_EQ(read(fd, content.data(), content.size()), st.st_size);
    close(fd);
    std::string state =
        content + "|" + std::to_string(st.st_mode) + "|" + std::to_string(st.st_atim.tv_sec) + "." +
        std::to_string(st.st_atim.tv_nsec) + "|" + std::to_string(st.st_mtim.tv_sec) + "." +
        std::to_string(st.st_mtim.tv_nsec) + "|" +
        std::string(xattrs, size > 0 ? static_cast<std::size_t>(size) : 0);
    return state;
}

// A dry run prints each change and each refusal as the run would, and changes nothing, not even
// where the files could not be changed at all.
TEST(CliDryRunTest, PrintsThePlanAndChangesNothing) {
    TempDir dir;
    const std::string plain = dir.Write("Plain.TXT", "plain");
    const std::string locked = dir.Write("locked.txt", "locked");
    chmod(locked.c_str(), 0444);
    const std::vector<std::string> args = {"--dry-run",  "--time",    "2010-05-06 07:08:10",
                                           "--set-attr", "H",         "--case",
                                           "name-lower", "Plain.TXT", "locked.txt"};
    const std::string before = StateOf(plain) + StateOf(locked);
    const ProcessResult result = Cli(dir, args);
    EXPECT_EQ(StateOf(plain) + StateOf(locked), before);
    const std::string folder = platform::ResolvedPath(dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "kelvane-cli: " + folder + "/locked.txt: the file is read-only\n");
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 6u) << result.out;
    EXPECT_EQ(lines[0], folder + "/Plain.TXT: name: Plain.TXT -> plain.txt");
    EXPECT_EQ(lines[2].rfind(folder + "/Plain.TXT: modified: ", 0), 0u) << lines[2];
    EXPECT_TRUE(lines[2].ends_with(" -> 2010-05-06 07:08:10")) << lines[2];
    EXPECT_EQ(lines[4], folder + "/Plain.TXT: attributes: - -> H");
    EXPECT_EQ(lines[5], folder + "/locked.txt: attributes: R -> H");

    // Read-only to the system as a whole: the plan is the same.
    TempDir mountPoint;
    if (testsupport::RunProcess("mount", {"--bind", "-o", "ro", dir.Path(), mountPoint.Path()}, "/")
            .exitCode != 0) {
        GTEST_SKIP() << "no bind mount here";
    }
    const ProcessResult readOnly = Cli(mountPoint, args);
    testsupport::RunProcess("umount", {mountPoint.Path()}, "/");
    const std::string mounted = platform::ResolvedPath(mountPoint.Path());
    std::string expected = result.out;
    for (std::size_t at; (at = expected.find(folder + "/")) != std::string::npos;)
        expected.replace(at, folder.size(), mounted);
    EXPECT_EQ(readOnly.out, expected);
}

}  // namespace
