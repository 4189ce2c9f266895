#include "find/DirEnum.h"

#include <optional>

#include "find/FindMask.h"

namespace vexfind {

namespace {

constexpr std::uint32_t kExclusiveBits =
    platform::kAttrHidden | platform::kAttrSystem | kAttrVolumeLabel | platform::kAttrDirectory;

}  // namespace

std::optional<platform::FindData> LookUpEntry(const EntryLookUp& entry) {
    return entry.folder->LookUp(entry.path);
}

TDirEnum::TDirEnum(const std::string& directory, std::string mask, std::uint32_t attributeSet,
                   TEntryLookUps& lookUps)
    : mask_(std::move(mask)),
      excluded_(kExclusiveBits & ~attributeSet),
      folderPrefix_(JoinPath(directory, "")),
      lookUps_(lookUps) {
    // The walk never enters a link, and a folder swapped for one after it was listed is not
    // entered either: no link on the path is followed.
    folder_.emplace(directory);
    if (!folder_->Error().empty()) {
        openError_ = folder_->Error();
        folder_.reset();
    }
}

TDirEnum::~TDirEnum() {
    // Left early (a Stop): what was not started is never done, which on a network volume
    // spares the Stop a round trip per entry asked for.
    if (taken_ < asked_)
        lookUps_.Drop();
}

void TDirEnum::ReadAhead() {
    std::size_t room = lookUps_.Room();
    while (room > 0 && !readToEnd_) {
        platform::ListedEntry listed;
        if (!folder_->Next(listed)) {
            readToEnd_ = true;
            break;
        }
        const bool matches = MatchesMask(listed.name, mask_);
        if (!matches && !listed.folder)
            continue;
        Entry& read = entries_.emplace_back();
        read.lookUp = {&*folder_, folderPrefix_ + std::string(listed.name)};
        read.nameStart = folderPrefix_.size();
        read.matches = matches;
        read.folder = listed.folder;
        read.mayBeLink = listed.mayBeLink;
        lookUps_.Ask(asked_++, read.lookUp);
        --room;
    }
}

std::optional<platform::FindData> TDirEnum::LookUp(const Entry& entry) {
    // Asked for in this very order, so always there.
    return *lookUps_.Take(taken_++, entry.lookUp);
}

bool TDirEnum::Next(TSearchRec& rec) {
    while (folder_) {
        ReadAhead();
        if (entries_.empty())
            break;
        const Entry entry = std::move(entries_.front());
        entries_.pop_front();
        std::optional<platform::FindData> data = LookUp(entry);
        if (!data)
            continue;
        const char* name = entry.lookUp.path.c_str() + entry.nameStart;
        if (entry.folder &&
            (data->attributes & (platform::kAttrHidden | platform::kAttrSystem)) == 0) {
            subfolders_.emplace_back(name);
        }
        if (!entry.matches || (data->attributes & excluded_) != 0)
            continue;
        rec = MakeSearchRec(name, std::move(*data));
        rec.MayBeLink = entry.mayBeLink;
        return true;
    }
    folder_.reset();
    return false;
}

}  // namespace vexfind
