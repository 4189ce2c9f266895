#include "platform/linux/Xattr.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <limits>

#include "platform/Path.h"

namespace platform::linux_fs {
namespace {

// getxattrat came with Linux 6.13; the C library has no wrapper for it yet, and older headers
// lack its number, which is the same on every architecture but alpha and mips. There, without
// the number, values are read by path.
#if defined(SYS_getxattrat)
constexpr long kGetxattrat = SYS_getxattrat;
#elif defined(__alpha__) || defined(__mips__)
constexpr long kGetxattrat = -1;
#else
constexpr long kGetxattrat = 464;
#endif

// The kernel's struct xattr_args, which older headers lack.
struct XattrArgs {
    std::uint64_t value;
    std::uint32_t size;
    std::uint32_t flags;
};

// Cleared for the rest of the process once the kernel says it has no getxattrat, or a sandbox's
// system call filter refuses it (some answer EPERM for a call they do not know). A file system
// that answers EPERM itself answers so by path too.
std::atomic<bool> xattrAtAvailable{kGetxattrat >= 0};

// getxattr of `entry` in the open folder `folderFd`; -1 with ENOSYS where that call is not to
// be had.
ssize_t GetXattrAt(int folderFd, const char* entry, LinkRule rule, const char* name, char* buffer,
                   std::size_t size) {
    if (xattrAtAvailable.load(std::memory_order_relaxed)) {
        XattrArgs args{reinterpret_cast<std::uintptr_t>(buffer),
                       static_cast<std::uint32_t>(
                           std::min<std::size_t>(size, std::numeric_limits<std::uint32_t>::max())),
                       0};
        const int atFlags = rule == LinkRule::NoFollow ? AT_SYMLINK_NOFOLLOW : 0;
        const long n = syscall(kGetxattrat, folderFd, entry, atFlags, name, &args, sizeof args);
        if (n >= 0 || (errno != ENOSYS && errno != EPERM))
            return static_cast<ssize_t>(n);
        xattrAtAvailable.store(false, std::memory_order_relaxed);
    }
    errno = ENOSYS;
    return -1;
}

// Reads a value of unknown size: a small buffer first, then the size the system reports, again
// if the value grew in between.
template <typename Read>
std::optional<std::string> ReadWhole(const Read& read) {
    // Most values fit the buffer on the stack, and most files have none: neither costs a
    // string of its own.
    char small[256];
    const ssize_t got = read(small, sizeof small);
    if (got >= 0)
        return std::string(small, static_cast<std::size_t>(got));
    if (errno != ERANGE)
        return std::nullopt;
    std::string value;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        value.resize(static_cast<std::size_t>(size) + 1);
        const ssize_t n = read(value.data(), value.size());
        if (n >= 0) {
            value.resize(static_cast<std::size_t>(n));
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
    errno = ERANGE;
    return std::nullopt;
}

}  // namespace

bool IsNoValue(int error) {
    return error == ENODATA || error == ENOTSUP || error == EOPNOTSUPP;
}

bool TXattrMemo::Recall(const char* name, std::optional<std::string>& value) const {
    for (const Entry& entry : entries_) {
        if (entry.name == name) {
            value = entry.value;
            errno = entry.error;
            return true;
        }
    }
    return false;
}

void TXattrMemo::Remember(const char* name, const std::optional<std::string>& value) {
    const int error = errno;
    // An absence stays until the holder changes it; any other error may pass.
    if (value || IsNoValue(error))
        Keep(name, value ? std::optional<std::string_view>(*value) : std::nullopt,
             value ? 0 : error);
    else
        Forget(name);
    errno = error;
}

void TXattrMemo::Changed(const char* name, bool succeeded,
                         const std::optional<std::string_view>& value) {
    if (succeeded)
        Keep(name, value, value ? 0 : ENODATA);
    else
        Forget(name);
}

void TXattrMemo::Keep(const char* name, const std::optional<std::string_view>& value, int error) {
    const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                    [name](const Entry& known) { return known.name == name; });
    if (entry != entries_.end() && entry->value && value) {
        // A value written over the one read reuses its buffer; a failed allocation leaves the
        // string as it was.
        entry->value->assign(*value);
        entry->error = error;
        return;
    }
    // Made before anything changes: a failed allocation leaves the memo as it was.
    std::optional<std::string> kept = value ? std::optional<std::string>(*value) : std::nullopt;
    if (entry == entries_.end()) {
        entries_.push_back({name, std::move(kept), error});
        return;
    }
    entry->value = std::move(kept);
    entry->error = error;
}

void TXattrMemo::Forget(const char* name) {
    std::erase_if(entries_, [name](const Entry& entry) { return entry.name == name; });
}

ssize_t TXattrs::GetRaw(const char* name, char* buffer, std::size_t size) const {
    if (folderFd_ >= 0) {
        const ssize_t n =
            GetXattrAt(folderFd_, path_.c_str() + NameStart(path_), rule_, name, buffer, size);
        if (n >= 0 || errno != ENOSYS)
            return n;
    }
    if (fd_ >= 0)
        return fgetxattr(fd_, name, buffer, size);
    if (rule_ == LinkRule::NoFollow)
        return lgetxattr(path_.c_str(), name, buffer, size);
    return getxattr(path_.c_str(), name, buffer, size);
}

ssize_t TXattrs::ListRaw(char* buffer, std::size_t size) const {
    if (fd_ >= 0)
        return flistxattr(fd_, buffer, size);
    if (rule_ == LinkRule::NoFollow)
        return llistxattr(path_.c_str(), buffer, size);
    return listxattr(path_.c_str(), buffer, size);
}

std::optional<std::string> TXattrs::Get(const char* name) const {
    std::optional<std::string> value;
    if (memo_ && memo_->Recall(name, value))
        return value;
    value = ReadWhole([&](char* buffer, std::size_t size) { return GetRaw(name, buffer, size); });
    if (memo_)
        memo_->Remember(name, value);
    return value;
}

bool TXattrs::Set(const char* name, std::string_view value) const {
    const bool set = SetRaw(name, value);
    if (memo_)
        memo_->Changed(name, set, value);
    return set;
}

bool TXattrs::Remove(const char* name) const {
    const bool removed = RemoveRaw(name);
    if (memo_)
        memo_->Changed(name, removed, std::nullopt);
    return removed;
}

bool TXattrs::SetRaw(const char* name, std::string_view value) const {
    if (fd_ >= 0)
        return fsetxattr(fd_, name, value.data(), value.size(), 0) == 0;
    if (rule_ == LinkRule::NoFollow)
        return lsetxattr(path_.c_str(), name, value.data(), value.size(), 0) == 0;
    return setxattr(path_.c_str(), name, value.data(), value.size(), 0) == 0;
}

bool TXattrs::RemoveRaw(const char* name) const {
    if (fd_ >= 0)
        return fremovexattr(fd_, name) == 0;
    if (rule_ == LinkRule::NoFollow)
        return lremovexattr(path_.c_str(), name) == 0;
    return removexattr(path_.c_str(), name) == 0;
}

std::optional<std::vector<std::string>> TXattrs::Names() const {
    const std::optional<std::string> list =
        ReadWhole([&](char* buffer, std::size_t size) { return ListRaw(buffer, size); });
    if (!list)
        return std::nullopt;
    std::vector<std::string> names;
    for (std::size_t start = 0; start < list->size();) {
        const std::size_t end = list->find('\0', start);
        const std::size_t stop = end == std::string::npos ? list->size() : end;
        if (stop > start)
            names.push_back(list->substr(start, stop - start));
        start = stop + 1;
    }
    return names;
}

}  // namespace platform::linux_fs
