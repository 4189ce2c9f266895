// A file's state as a run's journal keeps it, read and put back through the file's one
// descriptor.

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/FileHandle.h"
#include "platform/Path.h"
#include "platform/RunJournal.h"
#include "platform/linux/AttributeStore.h"
#include "platform/linux/FileHandleState.h"
#include "platform/linux/FileRef.h"
#include "platform/linux/VolumeKind.h"

namespace platform {
namespace {

using namespace linux_fs;

std::int64_t Nanoseconds(const statx_timestamp& time) {
    return time.tv_sec * 1'000'000'000 + time.tv_nsec;
}

timespec Timespec(std::int64_t nanoseconds) {
    std::int64_t seconds = nanoseconds / 1'000'000'000;
    std::int64_t rest = nanoseconds % 1'000'000'000;
    if (rest < 0) {
        rest += 1'000'000'000;
        --seconds;
    }
    return {static_cast<time_t>(seconds), static_cast<long>(rest)};
}

}  // namespace

std::optional<FileState> TFileHandle::JournalState() const {
    FileState state;
    return ReadJournalState(state) ? std::optional(std::move(state)) : std::nullopt;
}

bool TFileHandle::ReadJournalState(FileState& state) const {
    const std::optional<FindData> found = Find();
    if (!found || !Stat())
        return false;
    state.path = path_;
    state.creation.reset();
    if (found->creationTime)
        state.creation = FileTimeToNanoseconds(*found->creationTime);
    state.lastWrite = Nanoseconds(state_->st.stx_mtime);
    state.lastAccess = Nanoseconds(state_->st.stx_atime);
    state.attributes = found->attributes;
    state.mode = state_->st.stx_mode & 07777;
    state.storedKnown = true;
    const TFileRef file = state_->Ref(path_);
    const TXattrs xattrs = file.Xattrs();
    const std::span<const char* const> places = StoreFor(file, state_->st).StoredPlaces();
    state.stored.resize(places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        std::optional<std::string> bytes = xattrs.Get(places[i]);
        if (!bytes && !IsNoValue(errno))
            return false;
        state.stored[i].place = places[i];
        state.stored[i].bytes = std::move(bytes);
    }
    return true;
}

Result TFileHandle::RestoreState(const FileState& wanted) {
    if (wanted.path != path_) {
        const MoveOutcome moved = MoveFile(path_, wanted.path);
        if (moved.result == MoveResult::TargetExists)
            return Result::Failed("a file named " + wanted.path + " exists now");
        if (moved.result != MoveResult::Moved)
            return Result::Failed(moved.reason.empty() ? "cannot be renamed back" : moved.reason);
        Renamed(wanted.path);
    }
    if (!Stat())
        return FailedWithErrno();
    const TFileRef file = state_->Ref(path_);
    const TAttributeStore& store = StoreFor(file, state_->st);
    const auto fail = [this] {
        Forget();
        return FailedWithErrno();
    };
    mode_t mode = state_->st.stx_mode & 07777;
    if (wanted.storedKnown && !wanted.stored.empty()) {
        // The owner may write a user attribute only while the mode lets the owner write.
        if ((mode & S_IWUSR) == 0) {
            if (!file.ChangeMode(mode | S_IWUSR))
                return fail();
            mode |= S_IWUSR;
        }
        const TXattrs xattrs = file.Xattrs();
        for (const StoredValue& value : wanted.stored) {
            const bool put = value.bytes ? xattrs.Set(value.place.c_str(), *value.bytes)
                                         : xattrs.Remove(value.place.c_str()) || IsNoValue(errno);
            if (!put)
                return fail();
        }
    } else if (store.StoredPlaces().empty()) {
        std::string reason;
        if (!store.SetAttributes(file, LastComponent(path_), state_->st, wanted.attributes, reason))
            return Forget(), Result::Failed(reason);
        // Where the attributes live in the directory entry, read-only shows in the mode.
        struct statx now {};
        if (!StatDescriptor(state_->fd, now))
            return fail();
        mode = now.stx_mode & 07777;
    }
    if (mode != wanted.mode && !file.ChangeMode(static_cast<mode_t>(wanted.mode)))
        return fail();
    // Last: a change of mode or of an extended attribute leaves these two times alone.
    const timespec times[2] = {Timespec(wanted.lastAccess), Timespec(wanted.lastWrite)};
    const bool written =
        state_->pathOnly ? utimensat(AT_FDCWD, DescriptorPath(state_->fd).c_str(), times, 0) == 0
                         : futimens(state_->fd, times) == 0;
    if (!written)
        return fail();
    // The values just written stay known; the look-up is made again.
    state_->statKnown = false;
    state_->known.reset();
    state_->attributes.reset();
    return Result::Done();
}

}  // namespace platform
