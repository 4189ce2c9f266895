// What a preview says a run would do is what the run does: the same files, planned and then
// changed, under one option set after another. A disagreement is a rule with two copies.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "FakeFrontEnd.h"
#include "engine/RunEngine.h"
#include "engine/TymoUtils.h"
#include "gif/DeleteGIFComments.h"
#include "platform/FileSystem.h"
#include "support/PhotoBytes.h"
#include "support/SongTagBytes.h"
#include "support/TempDir.h"

namespace engine {
namespace {

using testsupport::TempDir;

std::string Field(const std::string& text, std::size_t size) {
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    return field;
}

std::string Mp3(const std::string& artist, const std::string& title) {
    return "audio" + ("TAG" + Field(title, 30) + Field(artist, 30) + Field("", 30) + Field("", 4) +
                      Field("", 30) + std::string(1, '\x11'));
}

const std::string kGifHead = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) +
                             std::string("\x00\x00\x00\xFF\xFF\xFF", 6);
const std::string kGifImage = std::string("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10) +
                              std::string("\x02\x02\x44\x01\x00", 5);
const std::string kGifComment = std::string("\x21\xFE\x02hi\x00", 6);

// The same files for every option set: what each option set does to them differs.
void WriteFiles(const TempDir& dir) {
    dir.Write("Plain.TXT", "plain");
    dir.Write("IMG_20230101_120000.jpg", "a photo");
    dir.Write("locked.txt", "locked");
    chmod((dir / "locked.txt").c_str(), 0444);
    dir.Write("song.mp3", Mp3("Artist", "Title"));
    dir.Write("taken.mp3", Mp3("Other", "Song"));
    dir.Write("Other - Song.mp3", "a file of that name already");
    dir.Write("control.mp3", Mp3("Bad\tArtist", "Title"));
    dir.Write("notag.mp3", "no tag here");
    dir.Write("v2.mp3", testsupport::SongTagBytes(4, {{"TPE1", "Second"}, {"TIT2", "Version"}}) +
                            Mp3("First", "Version"));
    const std::string photo = testsupport::PhotoBytes(
        Exiv2::ImageType::jpeg, {{"Exif.Photo.DateTimeOriginal", "2021:03:04 05:06:07"}});
    dir.Write("photo.jpg", photo);
    dir.Write("damaged.jpg", photo.substr(0, photo.find("Exif") + 20));
    dir.Write("comments.gif", kGifHead + kGifComment + kGifImage + kGifComment + "\x3B");
    dir.Write("clean.gif", kGifHead + kGifImage + "\x3B");
    dir.Write(".hidden", "dot");
    // Last written before the first year a DOS time holds.
    const std::string old = dir.Write("old.txt", "old");
    const timespec times[2] = {{157766400, 0}, {157766400, 0}};  // 1975-01-01
    utimensat(AT_FDCWD, old.c_str(), times, 0);
    // A link a folder search lists as itself: never followed.
    symlink("Plain.TXT", (dir / "link.txt").c_str());
}

RunOptions RemoveReadOnly() {
    RunOptions o;
    o.removeAttr = o.rReadOnly = true;
    return o;
}

RunOptions OneTime(RunOptions o, TDateTime date) {
    o.dateChange = DateChange::SetSelected;
    o.date = date;
    o.time = 0.5;
    return o;
}

TEST(PlanTest, APreviewSaysWhatTheRunDoes) {
    RunOptions setHidden;
    setHidden.setAttr = setHidden.hidden = true;
    RunOptions noAttributes;
    noAttributes.setAttr = true;
    RunOptions separate;
    separate.dateChange = DateChange::SetSeparate;
    separate.modified = true;
    separate.modifiedDate = EncodeDate(2001, 2, 3);
    separate.modifiedTime = 0.25;
    RunOptions tags;
    tags.id3v1 = true;
    tags.caseChange = CaseChange::NameUpper;
    RunOptions gif;
    gif.deleteGIFComments = true;
    RunOptions shift;
    shift.dateChange = DateChange::Shift;
    shift.created = shift.modified = true;
    shift.shift = -3600 * platform::kTicksPerSecond;
    RunOptions fromName = shift;
    fromName.dateChange = DateChange::FromFile;
    fromName.fromName = true;
    RunOptions fromContent = fromName;
    fromContent.fromExif = fromContent.fromId3 = true;
    RunOptions songTags = tags;
    songTags.id3v2 = true;
    struct Case {
        const char* what;
        RunOptions options;
    };
    const Case cases[] = {
        {"one time for all three", OneTime({}, EncodeDate(2010, 5, 6))},
        {"read-only removed before the times", OneTime(RemoveReadOnly(), EncodeDate(2010, 5, 6))},
        {"modified alone, the others kept", separate},
        {"hidden set", setHidden},
        {"every attribute cleared", noAttributes},
        {"each case mode",
         [] {
             RunOptions o;
             o.caseChange = CaseChange::ExtLower;
             return o;
         }()},
        {"tag rename, then the case of the new name", tags},
        {"GIF comments", gif},
        {"an hour back", shift},
        {"the date in the name", fromName},
        {"the date of the shot or the song, else the name", fromContent},
        {"names from the ID3v2 tag", songTags},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFiles(dir);
        enginetest::FakeRows rows;
        for (const char* name :
             {"Plain.TXT", "locked.txt", "song.mp3", "taken.mp3", "control.mp3", "notag.mp3",
              "v2.mp3", "comments.gif", "clean.gif", ".hidden", "old.txt", "link.txt", "photo.jpg",
              "damaged.jpg", "IMG_20230101_120000.jpg"}) {
            rows.Add(dir / name);
        }
        enginetest::FakeHost host;
        host.options = c.options;
        TRunEngine engine(rows, host, host);
        std::map<std::string, FilePlan> plans;
        ASSERT_TRUE(engine.Preview(RunScope::All, [&](int, const std::string& path,
                                                      const FilePlan& plan) {
            plans.emplace(path, plan);
        })) << c.what;
        const std::vector<std::string> planned = host.failures;
        host.failures.clear();
        engine.Start(RunScope::All);
        EXPECT_EQ(host.failures, planned) << c.what;
        for (const auto& [path, plan] : plans) {
            const std::string now = dir / plan.after.name;
            const std::optional<platform::FindData> found = platform::FindPath(now);
            ASSERT_TRUE(found) << c.what << ": " << now;
            const std::string what = std::string(c.what) + ": " + path;
            EXPECT_EQ(found->attributes & platform::kChangeableAttributes,
                      plan.after.attributes & platform::kChangeableAttributes)
                << what;
            if (plan.times) {
                EXPECT_EQ(found->lastWriteTime, plan.after.lastWriteTime) << what;
                EXPECT_EQ(found->creationTime, plan.after.creationTime) << what;
            }
            if (plan.gif) {
                const std::string bytes = testsupport::ReadFile(now);
                gif::TGIFDocument image;
                EXPECT_EQ(gif::CountGIFComments(
                              image, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                               bytes.size())),
                          0)
                    << what;
            }
        }
    }
}

}  // namespace
}  // namespace engine
