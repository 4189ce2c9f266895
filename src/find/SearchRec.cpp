#include "find/SearchRec.h"

#include "platform/FileTime.h"

namespace vexfind {

namespace {

std::int32_t PackedLocalTime(platform::FileTime utc) {
    platform::FileTime local = 0;
    std::uint16_t date = 0;
    std::uint16_t time = 0;
    if (!platform::FileTimeToLocalFileTime(utc, local) ||
        !platform::FileTimeToDosDateTime(local, date, time)) {
        return 0;
    }
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(date) << 16) | time);
}

}  // namespace

std::int32_t TSearchRec::Time() const {
    return PackedLocalTime(FindData.lastWriteTime);
}

TSearchRec MakeSearchRec(const std::string& name, platform::FindData data) {
    TSearchRec rec;
    rec.Size = static_cast<std::int64_t>(data.size);
    rec.Attr = data.attributes;
    rec.Name = name;
    rec.FindData = std::move(data);
    return rec;
}

}  // namespace vexfind
