// What a search reports on real trees: order, masks, hidden and unreadable folders, links,
// the Files filter and the text search.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "find/DirEnum.h"
#include "find/FolderWalk.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "support/DeepFolder.h"
#include "support/LocaleScope.h"
#include "vexFindSupport.h"

namespace {

using namespace vexfindtest;

class VexFindWalk : public ::testing::Test {
protected:
    void SetUp() override {
        root = tmp / "tree";
        fs::create_directory(root);
        finder.SetFileMask("*.*");
        finder.SetDirectories({root});
    }

    void Search() {
        finder.Start();
        RunToEnd(loop, finder);
        EXPECT_FALSE(recorder.offThread);
    }

    std::vector<Event> Expected() const {
        std::vector<Event> expected;
        PlainListing(root, expected);
        expected.push_back({"completed", "", ""});
        return expected;
    }

    std::set<std::string> FoundPaths() const {
        std::set<std::string> paths;
        for (const Event& e : recorder.events) {
            if (e.kind == "found")
                paths.insert(e.directory + "/" + e.name);
        }
        return paths;
    }

    testsupport::TempDir tmp;
    std::string root;
    TFindEventLoop loop;
    TVexFind finder{loop};
    Recorder recorder{finder};
};

TEST_F(VexFindWalk, ReportsEachFolderBeforeItsContentAndItsOwnFindsBeforeSubfolders) {
    const testsupport::LocaleScope zone("C", "XST-2");
    MakeFile(root + "/a.txt", 10);
    // 2020-06-15 13:45:31 UTC, 15:45:31 local; the DOS form keeps even seconds only.
    const timespec written[2] = {{0, UTIME_OMIT}, {1592228731, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (root + "/a.txt").c_str(), written, 0), 0);
    MakeFile(root + "/sub/b.txt", 20);
    MakeFile(root + "/sub/deeper/c.txt", 30);
    MakeFile(root + "/other/d.dat", 40);
    Search();
    EXPECT_EQ(recorder.events, Expected());
    EXPECT_EQ(recorder.completed, 1);

    std::map<std::string, TSearchRec> byName;
    for (const TSearchRec& find : recorder.finds)
        byName[find.Name] = find;
    EXPECT_EQ(byName["a.txt"].Size, 10);
    EXPECT_EQ(byName["d.dat"].Size, 40);
    EXPECT_EQ(byName["sub"].Attr & platform::kAttrDirectory, platform::kAttrDirectory);
    EXPECT_EQ(byName["a.txt"].Attr & platform::kAttrDirectory, 0u);
    EXPECT_EQ(byName["a.txt"].Time(), (40 << 25 | 6 << 21 | 15 << 16) | (15 << 11 | 45 << 5 | 15));
    EXPECT_EQ(byName["a.txt"].FindData.name, "a.txt");
}

TEST_F(VexFindWalk, MaskSelectsEntriesAtEveryDepthButEveryFolderIsWalked) {
    MakeFile(root + "/a.txt");
    MakeFile(root + "/a.dat");
    MakeFile(root + "/sub/B.TXT");
    MakeFile(root + "/sub/deeper/c.txt");
    MakeFile(root + "/sub/deeper/c.txt.old");
    finder.SetFileMask("*.Txt");
    Search();
    EXPECT_EQ(FoundPaths(), (std::set<std::string>{root + "/a.txt", root + "/sub/B.TXT",
                                                   root + "/sub/deeper/c.txt"}));
    const std::vector<std::string> folders = recorder.Folders();
    EXPECT_EQ(std::set<std::string>(folders.begin(), folders.end()),
              (std::set<std::string>{root, root + "/sub", root + "/sub/deeper"}));
}

TEST_F(VexFindWalk, HiddenAndSystemFoldersAreNotEnteredWhetherOrNotTheyMatch) {
    MakeFile(root + "/.dot/inside-dot.txt");
    MakeFile(root + "/.hidden-file");
    MakeFile(root + "/hid/inside-hid.txt");
    MakeFile(root + "/sys/inside-sys.txt");
    MakeFile(root + "/plain/inside-plain.txt");
    const bool stored = platform::SetFileAttributes(root + "/hid", platform::kAttrHidden) &&
                        platform::SetFileAttributes(root + "/sys", platform::kAttrSystem);
    struct Case {
        std::string mask;
        std::set<std::string> found;  // below root
    };
    // A folder the mask leaves out is still judged, by its own attributes, for entering.
    const Case cases[] = {
        {"*.*", {"/.dot", "/.hidden-file", "/hid", "/sys", "/plain", "/plain/inside-plain.txt"}},
        {"*.txt", {"/plain/inside-plain.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        recorder.events.clear();
        finder.SetFileMask(c.mask);
        Search();
        std::set<std::string> expected;
        for (const std::string& path : c.found)
            expected.insert(root + path);
        if (!stored) {
            // No extended attributes here: only the dot name hides.
            expected.insert({root + "/hid/inside-hid.txt", root + "/sys/inside-sys.txt"});
        }
        EXPECT_EQ(FoundPaths(), expected);
        EXPECT_EQ(recorder.Folders().size(), stored ? 2u : 4u);
    }
}

TEST_F(VexFindWalk, LinksToFoldersAreReportedButNeverFollowed) {
    MakeFile(root + "/a/f.txt");
    fs::create_directory_symlink("..", root + "/a/up");
    fs::create_directory_symlink(".", root + "/a/self");
    fs::create_directory_symlink(tmp.Path(), root + "/out");
    fs::create_symlink("nowhere", root + "/dangling");
    Search();
    // The dangling link has nothing to report; everything else is listed once.
    std::vector<Event> expected = Expected();
    std::erase(expected, Event{"found", root, "dangling"});
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(recorder.Folders(), (std::vector<std::string>{root, root + "/a"}));
    for (const TSearchRec& find : recorder.finds) {
        if (find.Name == "up" || find.Name == "out") {
            EXPECT_NE(find.Attr & platform::kAttrDirectory, 0u) << find.Name;
        }
    }
}

TEST_F(VexFindWalk, FolderThatCannotBeOpenedIsNamedAndTheWalkGoesOn) {
    MakeFile(root + "/locked/inner.txt");
    MakeFile(root + "/open/o.txt");
    MakeFile(root + "/z.txt");
    fs::permissions(root + "/locked", fs::perms::none);
    ScopedNoPermissionOverride asPlainUser;
    // access() would judge as root regardless; opening is what the walk does.
    if (platform::TFolderListing probe(root + "/locked"); probe.Error().empty()) {
        GTEST_SKIP() << "this process reads folders without permission";
    }
    Search();
    EXPECT_EQ(FoundPaths(), (std::set<std::string>{root + "/locked", root + "/open",
                                                   root + "/open/o.txt", root + "/z.txt"}));
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(),
                         Event{"not searched", root + "/locked", "Permission denied"}),
              1);
    EXPECT_EQ(recorder.completed, 1);
}

TEST_F(VexFindWalk, FilesFilterMatchesNamesAndPathsBelowTheRoot) {
    MakeFile(root + "/readme.txt");
    MakeFile(root + "/README.TXT");
    MakeFile(root + "/notes.txt");
    MakeFile(root + "/sub/readme.txt");
    MakeFile(root + "/sub/only.txt");
    MakeFile(root + "/other/only.txt");
    // Leading separators go at Start: a name then matches in every folder, a full path only
    // that file.
    finder.SetFiles({"/readme.txt", "//" + root + "/sub/ONLY.txt", "/", ""});
    Search();
    EXPECT_EQ(FoundPaths(),
              (std::set<std::string>{root + "/readme.txt", root + "/README.TXT",
                                     root + "/sub/readme.txt", root + "/sub/only.txt"}));
    EXPECT_EQ(finder.Files().front(), "/readme.txt");  // the component keeps its own list
}

TEST_F(VexFindWalk, TextSearchReadsOnlyFilesLongEnoughToHoldTheText) {
    std::string straddle(40'000, 'x');
    straddle.replace(32'764, 6, "NeedLE");
    MakeFile(root + "/none.bin", 40'000);
    std::ofstream(root + "/straddle.bin", std::ios::binary) << straddle;
    std::ofstream(root + "/short.bin", std::ios::binary) << "needl";
    std::ofstream(root + "/exact.bin", std::ios::binary) << "needle";
    fs::create_directory(root + "/needle");

    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    const int shortWatch = inotify_add_watch(watch, (root + "/short.bin").c_str(), IN_OPEN);
    const int exactWatch = inotify_add_watch(watch, (root + "/exact.bin").c_str(), IN_OPEN);

    finder.SetContainingText("NEEDLE");
    Search();
    EXPECT_EQ(FoundPaths(), (std::set<std::string>{root + "/straddle.bin", root + "/exact.bin"}));

    std::map<int, int> opens;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            ++opens[event->wd];
            p += sizeof(inotify_event) + event->len;
        }
    }
    close(watch);
    EXPECT_EQ(opens[shortWatch], 0);
    EXPECT_GE(opens[exactWatch], 1);

    recorder.events.clear();
    finder.SetContainingText("needle");
    finder.SetCaseSensitive(true);
    Search();
    EXPECT_EQ(FoundPaths(), (std::set<std::string>{root + "/exact.bin"}));
}

TEST_F(VexFindWalk, EmptyDrivesCompleteAtOnceWithoutWalking) {
    MakeFile(root + "/a.txt");
    finder.SetDrives("::");
    Search();
    EXPECT_EQ(recorder.events, (std::vector<Event>{{"completed", "", ""}}));
}

// Collects what the walk reports when run directly on the calling thread.
class Collector : public vexfind::IWalkEvents {
public:
    bool Terminated() override { return false; }
    void ChangeDirectory(const std::string& directory) override {
        events.push_back({"dir", directory, ""});
    }
    void FileFound(const std::string& directory, TSearchRec find) override {
        events.push_back({"found", directory, find.Name});
    }
    void FolderNotSearched(const std::string& directory, const std::string& reason) override {
        events.push_back({"not searched", directory, reason});
    }
    std::vector<Event> events;
};

// Swaps a subfolder for a link to a folder outside the tree as soon as the walk reports it,
// after its folder was listed and before it is entered.
class SwappingCollector : public Collector {
public:
    SwappingCollector(std::string folder, std::string outside)
        : folder_(std::move(folder)), outside_(std::move(outside)) {}
    void FileFound(const std::string& directory, TSearchRec find) override {
        if (directory + "/" + find.Name == folder_) {
            fs::rename(folder_, folder_ + ".old");
            fs::create_directory_symlink(outside_, folder_);
        }
        Collector::FileFound(directory, std::move(find));
    }

private:
    std::string folder_;
    std::string outside_;
};

vexfind::FindOptions EverythingBelow(const std::string& root) {
    vexfind::FindOptions options;
    options.fileMask = "*.*";
    options.drives = "C";
    options.directories = {root};
    return options;
}

TEST_F(VexFindWalk, AFolderSwappedForALinkBeforeItIsEnteredIsNamedNotEntered) {
    MakeFile(root + "/sub/inside.txt");
    MakeFile(tmp / "outside/secret.txt");
    SwappingCollector walk(root + "/sub", tmp / "outside");
    vexfind::RunFolderWalk(EverythingBelow(root), walk);
    EXPECT_EQ(walk.events,
              (std::vector<Event>{{"dir", root, ""},
                                  {"found", root, "sub"},
                                  {"dir", root + "/sub", ""},
                                  {"not searched", root + "/sub",
                                   "a folder on its path was replaced by a symbolic link"}}));
}

TEST_F(VexFindWalk, ATreeDeeperThanAPathMayBeIsListedWhole) {
    const testsupport::DeepFolder deep(root);
    deep.Write("deepest.txt");
    Collector walk;
    vexfind::RunFolderWalk(EverythingBelow(root), walk);
    ASSERT_GT(deep.Path().size(), std::size_t{PATH_MAX});
    // Every level entered, down to the file at the bottom, and nothing passed over.
    EXPECT_EQ(walk.events.end()[-2], (Event{"dir", deep.Path(), ""}));
    EXPECT_EQ(walk.events.back(), (Event{"found", deep.Path(), "deepest.txt"}));
    EXPECT_EQ(std::count_if(walk.events.begin(), walk.events.end(),
                            [](const Event& e) { return e.kind == "not searched"; }),
              0);
}

TEST_F(VexFindWalk, ThreadedSearchEqualsThePlainWalkAndAPlainListing) {
    // Four levels, several folders and files each, with hidden folders and links mixed in.
    for (int a = 0; a < 4; ++a) {
        const std::string level1 = root + "/d" + std::to_string(a);
        for (int b = 0; b < 3; ++b) {
            const std::string level2 = level1 + "/e" + std::to_string(b);
            for (int f = 0; f < 4; ++f) {
                MakeFile(level2 + "/leaf" + std::to_string(f) + "/f.txt", f);
                MakeFile(level2 + "/g" + std::to_string(f) + ".dat", f * 3);
            }
            MakeFile(level2 + "/.cache/skip.txt");
        }
        fs::create_directory_symlink(root, level1 + "/back");
        MakeFile(level1 + "/n.txt", a);
    }
    Search();
    EXPECT_EQ(recorder.events, Expected());

    Collector plain;
    vexfind::RunFolderWalk(EverythingBelow(root), plain);
    recorder.events.pop_back();  // the completion
    EXPECT_EQ(recorder.events, plain.events);
}

}  // namespace
