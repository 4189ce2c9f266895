#pragma once
// Which times a run writes, with which values, and the check of the date pickers before a run.

#include <functional>
#include <string>

#include "engine/RunOptions.h"

namespace engine {

inline constexpr const char* kYearRangeMessage =
    "Value of year must be great than 1979 and less than 2100.";
inline constexpr const char* kErrorCaption = "Error";

using ShowMessageFn = std::function<void(const std::string& text, const std::string& caption)>;

// True when the run may start. Shows the year-range message at most once.
bool ValidateDates(const RunOptions& options, const ShowMessageFn& showMessage);

// Writes the times the options ask for; times not to be changed are read from the file just
// before and written back. False when the write failed (or, with no box ticked in the separate
// mode, nothing was to be written).
bool AssignTimes(const std::string& path, const RunOptions& options);

}  // namespace engine
