#pragma once
// The parameters of a run, as the front end reads them from its controls (or flags).

#include <cstdint>

#include "engine/DateTime.h"

namespace engine {

enum class CaseChange { DontChange, NameLower, ExtLower, NameUpper, ExtUpper };
// Besides setting given values: moving the ticked times by a span, copying one time onto the
// ticked ones, or taking the ticked ones from a date the file carries (in its content or name).
enum class DateChange { DoNotChange, SetSelected, SetSeparate, Shift, Copy, FromFile };
enum class TimeField { Created, Modified, Opened };

struct RunOptions {
    bool removeAttr = false;  // cbRemoveAttr and the attributes to remove
    bool rReadOnly = false;
    bool rHidden = false;
    bool rArchive = false;
    bool rSystem = false;

    bool setAttr = false;  // cbSetAttr and the mask to set
    bool readOnly = false;
    bool hidden = false;
    bool archive = false;
    bool system = false;

    bool deleteGIFComments = false;
    bool id3v1 = false;
    // Renaming by tag: the ID3v2 tag where the file has one, else the ID3v1 rule.
    bool id3v2 = false;
    CaseChange caseChange = CaseChange::DontChange;

    DateChange dateChange = DateChange::DoNotChange;
    TDateTime date = 0;  // one value for all three times
    TDateTime time = 0;
    bool created = false;  // separate values
    TDateTime createdDate = 0;
    TDateTime createdTime = 0;
    bool modified = false;
    TDateTime modifiedDate = 0;
    TDateTime modifiedTime = 0;
    bool opened = false;
    TDateTime openedDate = 0;
    // Shift: what is added to each ticked time, in ticks of 100 ns (negative: earlier).
    std::int64_t shift = 0;
    // Copy: the time written to the ticked ones.
    TimeField copyFrom = TimeField::Modified;
    // From the file: where a date is looked for, in this order: a photo's own date (EXIF), a
    // song's recording time (ID3v2), a date in the file's name.
    bool fromExif = false;
    bool fromId3 = false;
    bool fromName = false;

    bool operator==(const RunOptions&) const = default;
};

// Whether the options ask a run to change anything at all.
bool AsksForChange(const RunOptions& options);

// Whether the plan of a file reads its content (a date in a photo's EXIF or a song's ID3v2
// tag), so that the file must be opened, not only looked at.
bool ReadsContent(const RunOptions& options);

// Whether the options change only each file's own attributes and times: no step renames or
// rewrites a file, so no file's change can move another row's file.
bool ChangesOnlyAttributesAndTimes(const RunOptions& options);

// The attribute value that "set attributes" writes.
std::uint32_t SetAttrMask(const RunOptions& options);

}  // namespace engine
