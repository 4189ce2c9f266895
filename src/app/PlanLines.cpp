#include "app/PlanLines.h"

#include <cstdio>

#include "filelist/ColumnText.h"
#include "platform/FileTime.h"

namespace app {
namespace {

std::string TimeText(const std::optional<platform::FileTime>& time) {
    platform::SystemTime local;
    if (!time || !platform::FileTimeToLocalSystemTime(*time, local))
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.year, local.month,
                  local.day, local.hour, local.minute, local.second);
    return text;
}

std::string AttributesText(std::uint32_t attributes) {
    const std::string letters = filelist::AttrToText(attributes);
    return letters.empty() ? "-" : letters;
}

void AddLine(std::string& lines, const std::string& path, const char* field,
             const std::string& before, const std::string& after) {
    if (before != after)
        lines += path + ": " + field + ": " + before + " -> " + after + '\n';
}

}  // namespace

std::string PlanLines(const std::string& path, const engine::FilePlan& plan) {
    const platform::FindData& now = plan.now;
    const platform::FindData& after = plan.after;
    std::string lines;
    AddLine(lines, path, "name", now.name, after.name);
    AddLine(lines, path, "created", TimeText(now.creationTime), TimeText(after.creationTime));
    AddLine(lines, path, "modified", TimeText(now.lastWriteTime), TimeText(after.lastWriteTime));
    AddLine(lines, path, "opened", TimeText(now.lastAccessTime), TimeText(after.lastAccessTime));
    AddLine(lines, path, "attributes", AttributesText(now.attributes),
            AttributesText(after.attributes));
    if (plan.gif && plan.gif->comments > 0)
        AddLine(lines, path, "gif comments", std::to_string(plan.gif->comments), "0");
    return lines;
}

}  // namespace app
