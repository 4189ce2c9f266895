#include "engine/Renaming.h"

#include <algorithm>
#include <vector>

#include "engine/CaseConversion.h"
#include "media/SongTag.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"

namespace engine {
namespace {

using Status = RenameOutcome::Status;

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
    return path.substr(0, path.size() - platform::ExtensionOf(path).size()) + extension;
}

// A name that would put the file elsewhere ("/", "." or "..") or that no file may carry (NUL).
bool IsAllowedName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find(platform::kPathSeparator) == std::string::npos &&
           name.find('\0') == std::string::npos;
}

RenameOutcome WithStatus(Status status) {
    RenameOutcome outcome;
    outcome.status = status;
    return outcome;
}

// The outcome of a rename to `newPath`, as the platform answered it (or would).
RenameOutcome FromMove(const platform::MoveOutcome& moved, const std::string& newPath,
                       const std::string& newCaption) {
    RenameOutcome outcome;
    switch (moved.result) {
        case platform::MoveResult::Moved:
            outcome.status = Status::Renamed;
            outcome.newPath = newPath;
            outcome.newCaption = newCaption;
            break;
        case platform::MoveResult::TargetExists:
            outcome.status = Status::TargetExists;
            outcome.newPath = newPath;
            break;
        case platform::MoveResult::NameTooLong:
            outcome.status = Status::NameNotAllowed;
            break;
        case platform::MoveResult::Failed:
            outcome.status = Status::Failed;
            outcome.reason = moved.reason;
            break;
    }
    return outcome;
}

// What a rename of the file now at `real` to `newName` in the folder of `path` would do.
RenameOutcome PlanRename(const std::string& real, const std::string& path,
                         const std::string& newName, const std::string& newCaption) {
    if (!IsAllowedName(newName))
        return WithStatus(Status::NameNotAllowed);
    const std::string newPath = path.substr(0, platform::NameStart(path)) + newName;
    return FromMove(platform::CheckMove(real, newPath), newPath, newCaption);
}

// "artist - title" plus the extension of the file's path, an empty field named "Unknown".
RenameOutcome PlanNameFromTag(const std::string& path, const std::string& artistText,
                              const std::string& titleText, Status controlCharacter) {
    const std::string artist = artistText.empty() ? "Unknown" : artistText;
    const std::string title = titleText.empty() ? "Unknown" : titleText;
    const std::string name = artist + " - " + title + platform::ExtensionOf(path);
    // Tab, line feed, escape, NEL and the like come from damaged or careless tags (or from the
    // bytes Windows-1252 leaves undefined); a file name holding them breaks every listing and
    // script that meets it.
    if (platform::HasControlCharacter(name))
        return WithStatus(controlCharacter);
    return PlanRename(path, path, name, name);
}

// The ID3v2 tag at the file's start: nullopt when there is none with a name to give, so that
// the ID3v1 tag names the file.
std::optional<RenameOutcome> PlanSongTagRename(const platform::TFileHandle& file) {
    const auto unreadable = [](const platform::Result& read) {
        RenameOutcome outcome = WithStatus(Status::Failed);
        outcome.reason = read.Reason();
        return outcome;
    };
    std::vector<std::uint8_t> bytes;
    if (const platform::Result read = file.ReadPrefix(media::kSongTagHeader, bytes); !read)
        return unreadable(read);
    const std::optional<std::size_t> size = media::SongTagSize(bytes);
    if (!size)
        return std::nullopt;
    if (const platform::Result read = file.ReadPrefix(*size, bytes); !read)
        return unreadable(read);
    const media::SongTag song = media::ReadSongTag(bytes);
    if (song.state == media::SongTag::State::Damaged)
        return WithStatus(Status::SongTagDamaged);
    if (song.artist.empty() && song.title.empty())
        return std::nullopt;
    return PlanNameFromTag(file.Path(), song.artist, song.title,
                           Status::SongTagHasControlCharacter);
}

}  // namespace

RenameOutcome PlanTagRename(const platform::TFileHandle& file, id3::TID3v1& tag, TagKinds kinds) {
    if (kinds == TagKinds::ID3v2First) {
        if (std::optional<RenameOutcome> fromSongTag = PlanSongTagRename(file))
            return std::move(*fromSongTag);
    }
    std::vector<std::uint8_t> tail;
    id3::TagBuffer buffer{};
    // A file shorter than a tag (an empty one too) has none.
    const std::optional<platform::FindData> found = file.Find();
    if (found && found->size < buffer.size())
        return WithStatus(Status::NoTag);
    if (!file.ReadTail(buffer.size(), tail))
        return WithStatus(Status::TagUnreadable);
    std::copy(tail.begin(), tail.end(), buffer.begin());
    tag.ReadFromBuffer(buffer);
    const std::string& path = file.Path();
    if (!tag.Exists())
        return WithStatus(Status::NoTag);
    return PlanNameFromTag(path, tag.Artist(), tag.Title(), Status::TagHasControlCharacter);
}

RenameOutcome PlanCaseChange(const std::string& real, const std::string& path,
                             const std::string& caption, CaseChange change) {
    // Only the file's own name changes: on a file system that tells cases apart, the folders
    // of a converted path would not exist.
    const std::string name = path.substr(platform::NameStart(path));
    switch (change) {
        case CaseChange::DontChange:
            return {};
        case CaseChange::NameLower:
            return PlanRename(real, path, platform::AsciiLower(name),
                              platform::AsciiLower(caption));
        case CaseChange::ExtLower:
            return PlanRename(
                real, path, ReplaceExtension(name, LocaleLower(platform::ExtensionOf(name))),
                ReplaceExtension(caption, LocaleLower(platform::ExtensionOf(caption))));
        case CaseChange::NameUpper:
            return PlanRename(real, path, platform::AsciiUpper(name),
                              platform::AsciiUpper(caption));
        case CaseChange::ExtUpper:
            return PlanRename(
                real, path, ReplaceExtension(name, LocaleUpper(platform::ExtensionOf(name))),
                ReplaceExtension(caption, LocaleUpper(platform::ExtensionOf(caption))));
    }
    return {};
}

RenameOutcome ApplyRename(const std::string& path, const RenameOutcome& planned) {
    if (planned.status != Status::Renamed)
        return planned;
    return FromMove(platform::MoveFile(path, planned.newPath), planned.newPath, planned.newCaption);
}

RenameOutcome RenameFromTag(const platform::TFileHandle& file, id3::TID3v1& tag, TagKinds kinds) {
    return ApplyRename(file.Path(), PlanTagRename(file, tag, kinds));
}

RenameOutcome ChangeCase(const std::string& path, const std::string& caption, CaseChange change) {
    return ApplyRename(path, PlanCaseChange(path, path, caption, change));
}

std::string DescribeFailure(const RenameOutcome& outcome) {
    switch (outcome.status) {
        case Status::TargetExists:
            return "a file of that name exists";
        case Status::NameNotAllowed:
            return "the name is not allowed";
        case Status::NoTag:
            return "no ID3v1 tag";
        case Status::TagUnreadable:
            return "the ID3v1 tag cannot be read";
        case Status::TagHasControlCharacter:
            return "the ID3v1 tag holds a control character, which no file name should";
        case Status::SongTagDamaged:
            return media::kDamagedSongTag;
        case Status::SongTagHasControlCharacter:
            return "the ID3v2 tag holds a control character, which no file name should";
        case Status::Failed:
            return "cannot rename: " + outcome.reason;
        case Status::Renamed:
        case Status::NotApplicable:
            break;
    }
    return {};
}

}  // namespace engine
