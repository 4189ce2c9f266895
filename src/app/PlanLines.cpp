#include "app/PlanLines.h"

#include <cstdio>

#include "filelist/ColumnText.h"
#include "platform/FileTime.h"

namespace app {
namespace {

std::string AttributesText(std::uint32_t attributes) {
    const std::string letters = filelist::AttrToText(attributes);
    return letters.empty() ? "-" : letters;
}

void AddLine(std::string& lines, const std::string& path, const char* field,
             const std::string& before, const std::string& after) {
    if (before == after)
        return;
    lines += path;
    lines += ": ";
    lines += field;
    lines += ": ";
    lines += before;
    lines += " -> ";
    lines += after;
    lines += '\n';
}

}  // namespace

const std::string& TPlanLines::TimeText(const std::optional<platform::FileTime>& time) {
    if (!time)
        return noTime_;
    const std::int64_t second = static_cast<std::int64_t>(*time / platform::kTicksPerSecond);
    for (const Known& known : known_) {
        if (known.second == second && !known.text.empty())
            return known.text;
    }
    platform::SystemTime local;
    if (!platform::FileTimeToLocalSystemTime(*time, local))
        return noTime_;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.year, local.month,
                  local.day, local.hour, local.minute, local.second);
    Known& made = known_[oldest_];
    oldest_ = (oldest_ + 1) % known_.size();
    made = {second, text};
    return made.text;
}

void TPlanLines::Append(const std::string& path, const engine::FilePlan& plan, std::string& lines) {
    const platform::FindData& now = plan.now;
    const platform::FindData& after = plan.after;
    AddLine(lines, path, "name", now.name, after.name);
    const auto times = [&](const char* field, const std::optional<platform::FileTime>& before,
                           const std::optional<platform::FileTime>& planned) {
        if (before != planned) {
            const std::string old = TimeText(before);
            AddLine(lines, path, field, old, TimeText(planned));
        }
    };
    times("created", now.creationTime, after.creationTime);
    times("modified", now.lastWriteTime, after.lastWriteTime);
    times("opened", now.lastAccessTime, after.lastAccessTime);
    AddLine(lines, path, "attributes", AttributesText(now.attributes),
            AttributesText(after.attributes));
    if (plan.gif && plan.gif->comments > 0)
        AddLine(lines, path, "gif comments", std::to_string(plan.gif->comments), "0");
}

}  // namespace app
