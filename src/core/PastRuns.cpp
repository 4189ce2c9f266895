#include "core/PastRuns.h"

#include <cstdio>
#include <vector>

#include "filelist/ColumnText.h"
#include "platform/RunJournal.h"

namespace core {

TPastRuns PastRuns() {
    TPastRuns runs;
    const platform::KeptRuns kept = platform::LastRunKept();
    runs.count = static_cast<int>(kept.count);
    runs.bytes = platform::RunsSpaceHeld();
    if (!kept.last)
        return runs;
    const platform::RunSummary& last = *kept.last;
    platform::FileTime started = 0;
    const timespec at{static_cast<time_t>(last.started / 1'000'000'000),
                      static_cast<long>(last.started % 1'000'000'000)};
    if (!platform::UnixToFileTime(at, started))
        started = 0;
    runs.last = TPastRun{last.id, filelist::DateTimeText(started, platform::CurrentLocaleFormats()),
                         static_cast<int>(last.files), last.isUndo};
    return runs;
}

// The stamp is taken first: a journal written while they are read changes it again.
const TPastRuns& TPastRunsWatch::Now() {
    const std::uint64_t stamp = platform::RunsFolderStamp();
    if (stamp_ != stamp) {
        runs_ = PastRuns();
        stamp_ = stamp;
    }
    return runs_;
}

std::string PastRunsText(const TPastRuns& runs) {
    if (runs.count == 0)
        return "Past runs kept: none";
    return "Past runs kept: " + std::to_string(runs.count) +
           (runs.count == 1 ? " run, " : " runs, ") + SpaceText(runs.bytes);
}

std::string SpaceText(std::uint64_t bytes) {
    if (bytes < 1000)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    // Rounded to the kilobyte, 999.5 kB and more read as 1.0 MB.
    if (bytes < 999'500)
        return std::to_string((bytes + 500) / 1000) + " kB";
    const char* const units[] = {"MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1e6;
    std::size_t unit = 0;
    while (value >= 999.95 && unit + 1 < std::size(units)) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

}  // namespace core
