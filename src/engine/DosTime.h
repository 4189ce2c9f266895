#pragma once
// The times a run writes, through their DOS form: a resolution of two seconds, no milliseconds,
// and only the years from platform::kFirstDosYear to platform::kLastDosYear.

#include <cstdint>
#include <optional>

#include "engine/DateTime.h"
#include "platform/FileSystem.h"

namespace engine {

// True when the date's year is one a time can be written in.
bool IsDosYear(TDateTime date);

// The 32-bit DOS date (high half) and time (low half); 0 when the year is not a DOS year.
std::uint32_t DateTimeToDos(TDateTime date, TDateTime time);
std::uint32_t DateToDos(TDateTime date);

// The times to write. A value the DOS form cannot hold is absent: that one time stays as it is.
std::optional<platform::FileTime> DosFileTime(TDateTime date, TDateTime time);
platform::FileTimesToSet AllFileTimes(TDateTime date, TDateTime time);
platform::FileTimesToSet FileTimesOf(TDateTime createdDate, TDateTime createdTime,
                                     TDateTime modifiedDate, TDateTime modifiedTime,
                                     TDateTime openedDate);

}  // namespace engine
