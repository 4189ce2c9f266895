#include "platform/linux/Xattr.h"

#include <sys/xattr.h>

#include <cerrno>

namespace platform::linux_fs {
namespace {

// Reads a value of unknown size: a small buffer first, then the size the system reports, again
// if the value grew in between.
template <typename Read>
std::optional<std::string> ReadWhole(const Read& read) {
    std::string value(256, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t n = read(value.data(), value.size());
        if (n >= 0) {
            value.resize(static_cast<std::size_t>(n));
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
        const ssize_t size = read(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        value.resize(static_cast<std::size_t>(size) + 1);
    }
    errno = ERANGE;
    return std::nullopt;
}

// An absence that stays until the holder changes it; any other error may pass.
bool IsLastingAbsence(int error) {
    return error == ENODATA || error == ENOTSUP || error == EOPNOTSUPP;
}

}  // namespace

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
    Forget(name);
    if (value || IsLastingAbsence(error))
        entries_.push_back({name, value, value ? 0 : error});
    errno = error;
}

void TXattrMemo::Written(const char* name, const std::optional<std::string_view>& value) {
    Forget(name);
    entries_.push_back(
        {name, value ? std::optional<std::string>(*value) : std::nullopt, value ? 0 : ENODATA});
}

void TXattrMemo::Forget(const char* name) {
    std::erase_if(entries_, [name](const Entry& entry) { return entry.name == name; });
}

ssize_t TXattrs::GetRaw(const char* name, char* buffer, std::size_t size) const {
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
    // After a failed write the value is not known for sure.
    if (memo_ && set)
        memo_->Written(name, value);
    else if (memo_)
        memo_->Forget(name);
    return set;
}

bool TXattrs::Remove(const char* name) const {
    const bool removed = RemoveRaw(name);
    if (memo_ && removed)
        memo_->Written(name, std::nullopt);
    else if (memo_)
        memo_->Forget(name);
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
