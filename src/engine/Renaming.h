#pragma once
// The two renaming steps of a file's pipeline: an MP3 file named after its ID3v1 tag, and the
// letter case of a name or its extension. Both rename within the file's own folder and never
// replace another file.

#include <string>

#include "engine/RunOptions.h"
#include "id3/ID3v1.h"
#include "platform/FileHandle.h"

namespace engine {

struct RenameOutcome {
    enum class Status {
        Renamed,                 // newPath and newCaption hold the file's new name
        NotApplicable,           // nothing to do: no case change asked
        NoTag,                   // the file's last 128 bytes hold no ID3v1 tag
        TagUnreadable,           // the file's last 128 bytes could not be read
        TagHasControlCharacter,  // the tag's name would hold a control character
        TargetExists,            // another file has the new name; nothing changed
        NameNotAllowed,          // the new name cannot be a file name here; nothing changed
        Failed,                  // the file system refused; nothing changed
    };
    Status status = Status::NotApplicable;
    std::string newPath;
    std::string newCaption;
    std::string reason;  // why, for Failed
};

// Renames the file to "artist - title" plus its extension, from the tag that `tag` reads
// through the file's handle.
RenameOutcome RenameFromTag(const platform::TFileHandle& file, id3::TID3v1& tag);

// Changes the letter case of the file's own name or extension; the folders keep theirs.
RenameOutcome ChangeCase(const std::string& path, const std::string& caption, CaseChange change);

// The reason of a failed outcome, for messages.
std::string DescribeFailure(const RenameOutcome& outcome);

}  // namespace engine
