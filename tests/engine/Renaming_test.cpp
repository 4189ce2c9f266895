#include "engine/Renaming.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FakeFrontEnd.h"
#include "engine/CaseConversion.h"
#include "engine/RunEngine.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "support/LocaleScope.h"
#include "support/SongTagBytes.h"
#include "support/TempDir.h"

namespace engine {
namespace {

using Status = RenameOutcome::Status;
using testsupport::ReadFile;
using testsupport::TempDir;

std::string Field(const std::string& text, std::size_t size) {
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    return field;
}

// Audio bytes followed by an ID3v1 tag with the given artist and title.
std::string WriteMp3(const TempDir& dir, const std::string& name, const std::string& artist,
                     const std::string& title, const std::string& audio = "audio") {
    const std::string tag = "TAG" + Field(title, 30) + Field(artist, 30) + Field("", 30) +
                            Field("", 4) + Field("", 30) + std::string(1, '\x11');
    return dir.Write(name, audio + tag);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

TEST(CaseConversionTest, LocaleKnowsAccentedLetters) {
    testsupport::LocaleScope scope("de_DE.UTF-8", "UTC");
    if (!scope.Available())
        GTEST_SKIP() << "de_DE.UTF-8 is not generated";
    EXPECT_EQ(LocaleLower(".\xc3\x89T\xc3\x89"), ".\xc3\xa9t\xc3\xa9");  // .ÉTÉ -> .été
    EXPECT_EQ(LocaleUpper(".\xc3\xa4\xc3\xb6\xc3\xbc"), ".\xc3\x84\xc3\x96\xc3\x9c");
    // Bytes that are not UTF-8 pass through untouched.
    EXPECT_EQ(LocaleUpper(".a\xff\xc3"), ".A\xff\xc3");
}

// A case change must not make a name the tag rename would refuse: no letter of any code point
// maps to a control character, and bytes that are not UTF-8 never join into one.
TEST(CaseConversionTest, NoConversionMakesAControlCharacter) {
    testsupport::LocaleScope scope("de_DE.UTF-8", "UTC");
    if (!scope.Available())
        GTEST_SKIP() << "de_DE.UTF-8 is not generated";
    std::string text;
    for (char32_t c = 0xA0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        text = c < 0x800     ? std::string{char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))}
               : c < 0x10000 ? std::string{char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)),
                                           char(0x80 | (c & 0x3F))}
                             : std::string{char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F)),
                                           char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
        ASSERT_FALSE(platform::HasControlCharacter(LocaleUpper(text)))
            << std::hex << static_cast<std::uint32_t>(c);
        ASSERT_FALSE(platform::HasControlCharacter(LocaleLower(text)))
            << std::hex << static_cast<std::uint32_t>(c);
    }
    EXPECT_FALSE(
        platform::HasControlCharacter(LocaleLower("\xc2"
                                                  "A\x85")));
}

class RenameFromTagTest : public ::testing::Test {
protected:
    RenameOutcome RenameFrom(const std::string& path, TagKinds kinds = TagKinds::ID3v1Only) {
        std::string reason;
        std::optional<platform::TFileHandle> file = platform::TFileHandle::Open(path, reason);
        EXPECT_TRUE(file) << reason;
        return RenameFromTag(*file, tag, kinds);
    }

    TempDir dir;
    id3::TID3v1 tag;
};

TEST_F(RenameFromTagTest, NameFromArtistAndTitleKeepingTheExtension) {
    const struct {
        const char* file;
        const char* artist;
        const char* title;
        const char* expected;
    } cases[] = {
        {"song.mp3", "Alpha", "Beta", "Alpha - Beta.mp3"},
        {"SONG.MP3", "Gamma", "Delta", "Gamma - Delta.MP3"},
        {"t1.mp3", "Alpha", "", "Alpha - Unknown.mp3"},
        {"t2.mp3", "", "", "Unknown - Unknown.mp3"},
        {"t3.mp3", "Caf\xe9", "Na\xefve", "Caf\xc3\xa9 - Na\xc3\xafve.mp3"},  // Windows-1252
    };
    for (const auto& c : cases) {
        const std::string path = WriteMp3(dir, c.file, c.artist, c.title);
        const RenameOutcome outcome = RenameFrom(path);
        ASSERT_EQ(outcome.status, Status::Renamed) << c.file;
        EXPECT_EQ(outcome.newCaption, c.expected);
        EXPECT_EQ(outcome.newPath, dir / c.expected);
        EXPECT_FALSE(Exists(path));
        EXPECT_EQ(ReadFile(dir / c.expected).substr(0, 5), "audio");
    }
}

TEST_F(RenameFromTagTest, FilesThatGiveNoNameKeepTheirsAndSayWhy) {
    const struct {
        std::string path;
        Status status;
    } cases[] = {
        {dir.Write("plain.mp3", std::string(200, 'x')), Status::NoTag},
        {dir.Write("short.mp3", "TAG"), Status::NoTag},
        {dir.Write("empty.mp3"), Status::NoTag},
        {WriteMp3(dir, "tab.mp3", "A\tB", "Title"), Status::TagHasControlCharacter},
        {WriteMp3(dir, "del.mp3", "Artist", "T\x7F"), Status::TagHasControlCharacter},
        // A byte Windows-1252 leaves undefined reads as the C1 control of the same value.
        {WriteMp3(dir, "c1.mp3", "Artist", "T\x81"), Status::TagHasControlCharacter},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RenameFrom(c.path).status, c.status) << c.path;
        EXPECT_TRUE(Exists(c.path)) << c.path;
    }
}

// An ID3v2 tag names the file before its ID3v1 tag, under the same name rules, and only when
// asked; its texts keep their whole length.
TEST_F(RenameFromTagTest, SongTagNamesTheFileWhenAsked) {
    const std::string longTitle = "A Title Far Longer Than Thirty Characters";
    const auto song = [this](const std::string& name, const std::string& tagBytes) {
        return dir.Write(name, tagBytes + "audio" + ReadFile(WriteMp3(dir, "v1", "Old", "Name")));
    };
    const auto tagged = [](const std::string& artist, const std::string& title) {
        return testsupport::SongTagBytes(4, {{"TPE1", artist}, {"TIT2", title}});
    };
    dir.Write("Taken - Song.mp3", "already here");
    const struct {
        std::string path;
        TagKinds kinds;
        Status status;
        std::string name;
    } cases[] = {
        {song("long.mp3", tagged("Artist", longTitle)), TagKinds::ID3v2First, Status::Renamed,
         "Artist - " + longTitle + ".mp3"},
        {song("off.mp3", tagged("Artist", "Other")), TagKinds::ID3v1Only, Status::Renamed,
         "Old - Name.mp3"},
        {song("slash.mp3", tagged("AC/DC", "Back")), TagKinds::ID3v2First, Status::NameNotAllowed,
         ""},
        {song("taken.mp3", tagged("Taken", "Song")), TagKinds::ID3v2First, Status::TargetExists,
         ""},
        {song("control.mp3", tagged("A\nB", "C")), TagKinds::ID3v2First,
         Status::SongTagHasControlCharacter, ""},
        {dir.Write("cut.mp3", tagged("A", "B").substr(0, 14)), TagKinds::ID3v2First,
         Status::SongTagDamaged, ""},
    };
    for (const auto& c : cases) {
        const RenameOutcome outcome = RenameFrom(c.path, c.kinds);
        EXPECT_EQ(outcome.status, c.status) << c.path;
        EXPECT_EQ(outcome.newCaption, c.name) << c.path;
        EXPECT_NE(Exists(c.path), c.status == Status::Renamed) << c.path;
        if (c.status == Status::Renamed) {
            EXPECT_EQ(ReadFile(dir / c.name).substr(0, 3), "ID3") << c.path;
            std::filesystem::remove(dir / c.name);  // the ID3v1 names repeat
        }
    }
    EXPECT_EQ(ReadFile(dir / "Taken - Song.mp3"), "already here");
}

TEST_F(RenameFromTagTest, SecondFileWithTheSameTagKeepsItsName) {
    const std::string first = WriteMp3(dir, "1.mp3", "Alpha", "Beta", "first");
    const std::string second = WriteMp3(dir, "2.mp3", "Alpha", "Beta", "second");
    EXPECT_EQ(RenameFrom(first).status, Status::Renamed);
    EXPECT_EQ(RenameFrom(second).status, Status::TargetExists);
    EXPECT_EQ(ReadFile(dir / "Alpha - Beta.mp3").substr(0, 5), "first");
    EXPECT_EQ(ReadFile(second).substr(0, 6), "second");
}

TEST_F(RenameFromTagTest, SlashInTheTagMovesNothing) {
    const std::string sub = dir / "AC";
    mkdir(sub.c_str(), 0755);
    mkdir((dir / "AC - x").c_str(), 0755);
    const std::string path = WriteMp3(dir, "s.mp3", "AC", "DC/../../escape");
    EXPECT_EQ(RenameFrom(path).status, Status::NameNotAllowed);
    EXPECT_TRUE(Exists(path));
}

class ChangeCaseTest : public ::testing::Test {
protected:
    RenameOutcome Change(const std::string& name, CaseChange change) {
        return ChangeCase(dir / name, name, change);
    }
    TempDir dir;
};

TEST_F(ChangeCaseTest, FourConversions) {
    testsupport::LocaleScope scope("de_DE.UTF-8", "UTC");
    if (!scope.Available())
        GTEST_SKIP() << "de_DE.UTF-8 is not generated";
    const struct {
        const char* before;
        CaseChange change;
        const char* after;
    } cases[] = {
        {"notes.txt", CaseChange::ExtUpper, "notes.TXT"},
        {"Report.TXT", CaseChange::NameLower, "report.txt"},
        {"\xc3\x89"
         "COLE.TXT",
         CaseChange::NameLower,
         "\xc3\x89"
         "cole.txt"},  // plain
        {"song.mp3", CaseChange::NameUpper, "SONG.MP3"},
        {"summer.\xc3\x89T\xc3\x89", CaseChange::ExtLower, "summer.\xc3\xa9t\xc3\xa9"},  // locale
        {"Noext", CaseChange::ExtUpper, "Noext"},  // targets its own name: nothing changes
    };
    for (const auto& c : cases) {
        dir.Write(c.before, c.before);
        const RenameOutcome outcome = Change(c.before, c.change);
        ASSERT_EQ(outcome.status, Status::Renamed) << c.before;
        EXPECT_EQ(outcome.newCaption, c.after);
        EXPECT_EQ(ReadFile(dir / c.after), c.before);
    }
}

TEST_F(ChangeCaseTest, OtherSpellingAlreadyThereIsNotReplaced) {
    dir.Write("notes.txt", "lower");
    dir.Write("notes.TXT", "upper");
    EXPECT_EQ(Change("notes.txt", CaseChange::ExtUpper).status, Status::TargetExists);
    EXPECT_EQ(ReadFile(dir / "notes.txt"), "lower");
    EXPECT_EQ(ReadFile(dir / "notes.TXT"), "upper");
}

TEST_F(ChangeCaseTest, FoldersKeepTheirSpelling) {
    const std::string folder = dir / "Music";
    mkdir(folder.c_str(), 0755);
    const std::string file = folder + "/Track.MP3";
    { std::ofstream(file) << "x"; }
    const RenameOutcome outcome = ChangeCase(file, "Track.MP3", CaseChange::NameLower);
    ASSERT_EQ(outcome.status, Status::Renamed);
    EXPECT_EQ(outcome.newPath, folder + "/track.mp3");
    EXPECT_TRUE(Exists(folder + "/track.mp3"));
}

TEST(RenameInRunTest, LaterStepsFollowTheRenamedFile) {
    TempDir dir;
    enginetest::FakeRows rows;
    enginetest::FakeHost host;
    rows.Add(WriteMp3(dir, "song.mp3", "Alpha", "Beta"));
    rows.Add(dir.Write("notes.txt"));
    host.options.id3v1 = true;
    host.options.caseChange = CaseChange::ExtUpper;
    host.options.setAttr = true;
    host.options.hidden = true;
    TRunEngine engine(rows, host, host);
    engine.Start(RunScope::All);

    EXPECT_EQ(rows.rows[0].caption, "Alpha - Beta.MP3");
    EXPECT_EQ(platform::GetFileAttributes(dir / "Alpha - Beta.MP3"), platform::kAttrHidden);
    EXPECT_EQ(rows.AttributesText(0), "H");
    EXPECT_EQ(rows.rows[1].caption, "notes.TXT");
    EXPECT_EQ(platform::GetFileAttributes(dir / "notes.TXT"), platform::kAttrHidden);
    EXPECT_TRUE(host.failures.empty());
}

TEST(RenameInRunTest, RefusedRenameIsReportedAndKeepsTheRow) {
    TempDir dir;
    enginetest::FakeRows rows;
    enginetest::FakeHost host;
    WriteMp3(dir, "Alpha - Beta.mp3", "x", "y", "first");
    const std::string second = WriteMp3(dir, "two.mp3", "Alpha", "Beta", "second");
    rows.Add(second);
    host.options.id3v1 = true;
    TRunEngine engine(rows, host, host);
    engine.Start(RunScope::All);
    EXPECT_EQ(rows.rows[0].caption, "two.mp3");
    EXPECT_EQ(host.failures, (std::vector<std::string>{second + ": a file of that name exists"}));
    EXPECT_EQ(ReadFile(dir / "Alpha - Beta.mp3").substr(0, 5), "first");
}

}  // namespace
}  // namespace engine
