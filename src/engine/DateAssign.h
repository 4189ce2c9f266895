#pragma once
// Which times a run writes, with which values, and the check of the date pickers before a run.

#include <functional>
#include <optional>
#include <string>

#include "engine/RunOptions.h"
#include "platform/FileHandle.h"

namespace engine {

inline constexpr const char* kYearRangeMessage =
    "Value of year must be great than 1979 and less than 2100.";
inline constexpr const char* kErrorCaption = "Error";
// Why a run writes no time to a file when the options tick none of the three.
inline constexpr const char* kNoTimeTicked = "no time is ticked";
// Why a run writes no time to a file whose times come from its name, which holds no date.
inline constexpr const char* kNoDateInFile = "no date found in the file's name";
// Why a run writes no time copied from the creation time of a file that keeps none.
inline constexpr const char* kNoCreationTime = "the file keeps no creation time";

// Why TimesToAssign gives nothing for a file, under options that ask for a time change.
const char* NoTimesReason(const RunOptions& options);

using ShowMessageFn = std::function<void(const std::string& text, const std::string& caption)>;

// True when the run may start. Shows the year-range message at most once.
bool ValidateDates(const RunOptions& options, const ShowMessageFn& showMessage);

// The times the options give, in UTC: the one value for all three, or those of the ticked
// boxes. Worked out once for the files that share the options, since turning a local time into
// UTC asks the time zone.
platform::FileTimesToSet GivenTimes(const RunOptions& options);

// The times the options ask for, given the times they give (GivenTimes) and the file's times
// now: in the separate mode those not to be changed are written back as they are read; a shift,
// or a copy changes the ticked times alone, at full precision. Nothing when nothing is to be
// written (NoTimesReason says why); a date the file carries is DateFromFile's.
std::optional<platform::FileTimesToSet> TimesToAssign(
    const RunOptions& options, const platform::FileTimesToSet& given,
    const std::optional<platform::FindData>& current);

// The date a file carries, from the sources the options tick, tried in this order: a photo's
// EXIF date, a song's ID3v2 recording time, a date in `name` (the file's name). In UTC, or why
// none gave one (each ticked source's reason). Content is read through `file`.
struct FileDate {
    std::optional<platform::FileTime> utc;
    std::string reason;
};
FileDate DateFromFile(const RunOptions& options, const platform::TFileHandle& file,
                      const std::string& name);

// The times the options tick, each set to `time`.
platform::FileTimesToSet TickedTimes(const RunOptions& options, platform::FileTime time);

}  // namespace engine
