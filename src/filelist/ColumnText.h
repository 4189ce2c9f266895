#pragma once
// The texts of the list's columns as the window shows them and the command line prints them:
// sizes, the three times, attribute letters, type names and icons. They report failure by an
// empty text and never throw.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/LocaleFormats.h"

namespace filelist {

// Display texts of the three times: date, two blanks, time; Opened is the date alone.
std::string GetCreatedText(const std::string& path);
std::string GetModifiedText(const std::string& path);
std::string GetOpenedText(const std::string& path);

// The display texts of an entry already looked up; empty for an entry not found (or, for
// Created, one whose file system keeps no creation time).
std::string CreatedTextOf(const std::optional<platform::FindData>& found);
std::string ModifiedTextOf(const std::optional<platform::FindData>& found);
std::string OpenedTextOf(const std::optional<platform::FindData>& found);

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
// The local calendar day of a UTC time, as the Opened column shows it, as a number that orders
// days as the calendar does (year, month and day as YYYYMMDD); nothing out of range.
std::optional<int> LocalDayOf(platform::FileTime utc);

// A whole number with the locale's thousands separator, like the pattern "#,##0".
std::string FormatSize(std::int64_t size);
std::string FormatSize(std::int64_t size, const platform::LocaleFormats& formats);
void AppendSizeText(std::string& out, std::int64_t size, const platform::LocaleFormats& formats);

// Letters in the order D R H S A C T.
std::string AttrToText(std::uint32_t attributes);
void AppendAttrText(std::string& out, std::uint32_t attributes);

int GetIconIndex(const std::string& path, std::int32_t attributes);
// The type name by the name's extension and the folder bit; at most 80 characters.
std::string GetTypeName(const std::string& path);

}  // namespace filelist
