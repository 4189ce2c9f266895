#pragma once
// The stateless file helpers every part uses to look at a file and to change its times. They
// report failure by result (-1, an empty text, 0, false) and never throw.

#include <cstdint>
#include <optional>
#include <string>

#include "engine/DateTime.h"
#include "platform/FileSystem.h"
#include "platform/LocaleFormats.h"

namespace engine {

// Size in bytes, held in 64 bits (files of 2 GiB and more are common); -1 when not found.
std::int64_t GetSizeOfFile(const std::string& path);

// Display texts of the three times: date, two blanks, time; Opened is the date alone.
std::string GetCreatedText(const std::string& path);
std::string GetModifiedText(const std::string& path);
std::string GetOpenedText(const std::string& path);

// Local times as TDateTime; 0 when not found. GetOpenedDate has no time of day.
TDateTime GetCreatedTime(const std::string& path);
TDateTime GetModifiedTime(const std::string& path);
TDateTime GetOpenedDate(const std::string& path);

int GetIconIndex(const std::string& path, std::int32_t attributes);
// The type name by the name's extension and the folder bit; at most 80 characters.
std::string GetTypeName(const std::string& path);

// Letters in the order D R H S A C T.
std::string AttrToText(std::uint32_t attributes);
void AppendAttrText(std::string& out, std::uint32_t attributes);

// The 32-bit DOS date (high half) and time (low half); 0 when the year is outside 1980-2099.
std::uint32_t DateTimeToDos(TDateTime date, TDateTime time);
std::uint32_t DateToDos(TDateTime date);

// The times to write, through their DOS form, so with a resolution of two seconds. A value the
// DOS form cannot hold is absent: that one time stays as it is.
std::optional<platform::FileTime> DosFileTime(TDateTime date, TDateTime time);
platform::FileTimesToSet AllFileTimes(TDateTime date, TDateTime time);
platform::FileTimesToSet FileTimesOf(TDateTime createdDate, TDateTime createdTime,
                                     TDateTime modifiedDate, TDateTime modifiedTime,
                                     TDateTime openedDate);

// Appends the platform's path separator unless the text already ends with one.
std::string IncludeBackslash(const std::string& text);
// Deletes the first "&" only.
std::string StripAmpersand(const std::string& text);

// The Windows version classification; always 0 ("unknown") on this system.
int GetWindowsVersion();

// A date text of the list read back with the short date pattern that wrote it (d, dd, m, mm,
// yy, yyyy, other characters literal); nothing when the text does not fit the pattern. A
// two-digit year is taken within fifty years of `currentYear`.
std::optional<TDateTime> ParseShortDate(const std::string& text, const std::string& pattern,
                                        int currentYear);

// A whole number with the locale's thousands separator, like the pattern "#,##0".
std::string FormatSize(std::int64_t size);
std::string FormatSize(std::int64_t size, const platform::LocaleFormats& formats);
void AppendSizeText(std::string& out, std::int64_t size, const platform::LocaleFormats& formats);

// A UTC time in local time as the Created and Modified columns show it (date, two blanks,
// time), and as the Opened column does (the date alone); empty for a time out of range.
std::string DateTimeText(platform::FileTime utc, const platform::LocaleFormats& formats);
std::string DateText(platform::FileTime utc, const platform::LocaleFormats& formats);
// The same texts added to the end of `out`, for a caller that puts many together (a listing of
// every row), which then needs no text of its own for each.
void AppendDateTimeText(std::string& out, platform::FileTime utc,
                        const platform::LocaleFormats& formats);
void AppendDateText(std::string& out, platform::FileTime utc,
                    const platform::LocaleFormats& formats);
// The local calendar day of a UTC time, as the Opened column shows it; nothing out of range.
std::optional<TDateTime> LocalDayOf(platform::FileTime utc);

// The display texts of an entry already looked up; empty for an entry not found (or, for
// Created, one whose file system keeps no creation time).
std::string CreatedTextOf(const std::optional<platform::FindData>& found);
std::string ModifiedTextOf(const std::optional<platform::FindData>& found);
std::string OpenedTextOf(const std::optional<platform::FindData>& found);
// The local times of an entry already looked up; 0 as for a path not found.
TDateTime CreatedTimeOf(const std::optional<platform::FindData>& found);
TDateTime ModifiedTimeOf(const std::optional<platform::FindData>& found);
TDateTime OpenedDateOf(const std::optional<platform::FindData>& found);
// The last access with its time of day, as a run keeps it.
TDateTime OpenedTimeOf(const std::optional<platform::FindData>& found);

}  // namespace engine
