#pragma once
// The two renaming steps of a file's pipeline: an MP3 file named after its tag, and the
// letter case of a name or its extension. Both rename within the file's own folder and never
// replace another file.

#include <string>

#include "engine/RunOptions.h"
#include "id3/ID3v1.h"
#include "platform/FileHandle.h"

namespace engine {

struct RenameOutcome {
    enum class Status {
        Renamed,                     // newPath and newCaption hold the file's new name
        NotApplicable,               // nothing to do: no case change asked
        NoTag,                       // the file's last 128 bytes hold no ID3v1 tag
        TagUnreadable,               // the file's last 128 bytes could not be read
        TagHasControlCharacter,      // the tag's name would hold a control character
        SongTagDamaged,              // the file's ID3v2 tag cannot be read
        SongTagHasControlCharacter,  // the ID3v2 tag's name would hold a control character
        TargetExists,                // another file has the new name (newPath); nothing changed
        NameNotAllowed,              // the new name cannot be a file name here; nothing changed
        Failed,                      // the file system refused; nothing changed
    };
    Status status = Status::NotApplicable;
    std::string newPath;
    std::string newCaption;
    std::string reason;  // why, for Failed
};

// Which tag names a file: the ID3v1 tag alone, or the ID3v2 tag at the file's start where it
// has one with an artist or a title (its texts are not cut to ID3v1's 30 bytes), else the
// ID3v1 tag.
enum class TagKinds { ID3v1Only, ID3v2First };

// What renaming the file to "artist - title" plus its extension would do, from its tag (an
// ID3v1 tag is read by `tag`) read through the file's handle: Renamed with the new name, or why
// not. Nothing is renamed.
RenameOutcome PlanTagRename(const platform::TFileHandle& file, id3::TID3v1& tag,
                            TagKinds kinds = TagKinds::ID3v1Only);

// What changing the letter case of the name or extension of `path` would do; the folders keep
// theirs. `real` is where the file is now: `path` may be a name an earlier step would give it.
RenameOutcome PlanCaseChange(const std::string& real, const std::string& path,
                             const std::string& caption, CaseChange change);

// Makes the rename a plan found possible; any other plan is returned as it is.
RenameOutcome ApplyRename(const std::string& path, const RenameOutcome& planned);

// Each plan applied at once.
RenameOutcome RenameFromTag(const platform::TFileHandle& file, id3::TID3v1& tag,
                            TagKinds kinds = TagKinds::ID3v1Only);
RenameOutcome ChangeCase(const std::string& path, const std::string& caption, CaseChange change);

// The reason of a failed outcome, for messages.
std::string DescribeFailure(const RenameOutcome& outcome);

}  // namespace engine
