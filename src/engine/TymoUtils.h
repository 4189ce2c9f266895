#pragma once
// The stateless file helpers a run uses to look at a file: its size and its three times as
// values. They report failure by result (-1, 0) and never throw. The texts of the list's
// columns are filelist/ColumnText, the times a run writes engine/DosTime.

#include <cstdint>
#include <optional>
#include <string>

#include "engine/DateTime.h"
#include "platform/FileSystem.h"

namespace engine {

// Size in bytes, held in 64 bits (files of 2 GiB and more are common); -1 when not found.
std::int64_t GetSizeOfFile(const std::string& path);

// Local times as TDateTime; 0 when not found. GetOpenedDate has no time of day.
TDateTime GetCreatedTime(const std::string& path);
TDateTime GetModifiedTime(const std::string& path);
TDateTime GetOpenedDate(const std::string& path);

// The local times of an entry already looked up; 0 as for a path not found.
TDateTime CreatedTimeOf(const std::optional<platform::FindData>& found);
TDateTime ModifiedTimeOf(const std::optional<platform::FindData>& found);
TDateTime OpenedDateOf(const std::optional<platform::FindData>& found);
// The last access with its time of day, as a run keeps it.
TDateTime OpenedTimeOf(const std::optional<platform::FindData>& found);

// Appends the platform's path separator unless the text already ends with one.
std::string IncludeBackslash(const std::string& text);

}  // namespace engine
