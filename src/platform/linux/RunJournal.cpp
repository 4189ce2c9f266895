// The journal of a run: its bytes, its file in the journal folder, and the list of runs kept.

#include "platform/RunJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <span>
#include <unordered_map>

#include "platform/linux/Descriptor.h"
#include "platform/linux/JournalFile.h"
#include "platform/linux/StateFolder.h"

namespace platform {
namespace linux_fs {
namespace {

constexpr char kMagic[8] = {'O', 'K', 'J', 'O', 'U', 'R', 'N', '\n'};
constexpr std::uint32_t kVersion = 2;
// Journals of the first version, which older builds wrote, are still read: every entry held
// both states whole, under a digest of one lane.
constexpr std::uint32_t kFirstVersion = 1;
// The magic, the version, the kind of run and its start time.
constexpr std::size_t kHeaderSize = sizeof kMagic + 4 + 1 + 8;
constexpr std::string_view kJournalSuffix = ".journal";
// Runs kept, and the old content they keep at most; the oldest runs go first.
constexpr std::size_t kRunsKept = 50;
constexpr std::uint64_t kContentKept = std::uint64_t{1} << 30;
constexpr std::string_view kKeptSuffix = ".kept";
// No field of a journal of ours is longer (a path, an extended attribute's value).
constexpr std::uint32_t kLongestField = 1 << 20;

// Writes fields at a place in memory, little endian, or with no place only counts their bytes:
// an entry is measured first and then written straight into the room made for it.
class TFieldWriter {
public:
    explicit TFieldWriter(char* at = nullptr) : at_(at) {}
    std::size_t Size() const { return size_; }
    void Number(std::uint64_t value, std::size_t size) {
        if (at_) {
            for (std::size_t i = 0; i < size; ++i)
                at_[size_ + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        size_ += size;
    }
    void Text(std::string_view text) {
        Number(text.size(), 4);
        if (at_ && !text.empty())
            std::memcpy(at_ + size_, text.data(), text.size());
        size_ += text.size();
    }

private:
    char* at_;
    std::size_t size_ = 0;
};

void PutStored(const std::vector<StoredValue>& stored, TFieldWriter& out) {
    out.Number(stored.size(), 4);
    for (const StoredValue& value : stored) {
        out.Text(value.place);
        out.Number(value.bytes ? 1 : 0, 1);
        out.Text(value.bytes ? std::string_view(*value.bytes) : std::string_view());
    }
}

void PutCreation(const std::optional<std::int64_t>& creation, TFieldWriter& out) {
    out.Number(creation ? 1 : 0, 1);
    out.Number(static_cast<std::uint64_t>(creation.value_or(0)), 8);
}

void PutState(const FileState& state, TFieldWriter& out) {
    out.Text(state.path);
    PutCreation(state.creation, out);
    out.Number(static_cast<std::uint64_t>(state.lastWrite), 8);
    out.Number(static_cast<std::uint64_t>(state.lastAccess), 8);
    out.Number(state.attributes, 4);
    out.Number(state.mode, 4);
    out.Number(state.storedKnown ? 1 : 0, 1);
    PutStored(state.stored, out);
}

// The fields of a state that differ from another one's, each flagged in the first byte of the
// state; the stored values only where they are known.
enum FieldBit : std::uint8_t {
    kPathBit = 1,
    kCreationBit = 2,
    kLastWriteBit = 4,
    kLastAccessBit = 8,
    kAttributesBit = 16,
    kModeBit = 32,
    kStoredKnownBit = 64,
    kStoredBit = 128,
};

// Which fields of `state` differ from those of `base`.
std::uint8_t ChangedFields(const FileState& state, const FileState& base) {
    // What a reader takes for the base's stored values: none where they were not known.
    const bool storedDiffers = state.storedKnown && (base.storedKnown ? state.stored != base.stored
                                                                      : !state.stored.empty());
    return (state.path != base.path ? kPathBit : 0) |
           (state.creation != base.creation ? kCreationBit : 0) |
           (state.lastWrite != base.lastWrite ? kLastWriteBit : 0) |
           (state.lastAccess != base.lastAccess ? kLastAccessBit : 0) |
           (state.attributes != base.attributes ? kAttributesBit : 0) |
           (state.mode != base.mode ? kModeBit : 0) | (state.storedKnown ? kStoredKnownBit : 0) |
           (storedDiffers ? kStoredBit : 0);
}

// `state` as it differs from `base` (`fields`, ChangedFields): a run's foreseen state differs
// from the file's state before it in a few fields, and what the change left from what was
// foreseen in fewer still.
void PutChanges(const FileState& state, std::uint8_t fields, TFieldWriter& out) {
    out.Number(fields, 1);
    if (fields & kPathBit)
        out.Text(state.path);
    if (fields & kCreationBit)
        PutCreation(state.creation, out);
    if (fields & kLastWriteBit)
        out.Number(static_cast<std::uint64_t>(state.lastWrite), 8);
    if (fields & kLastAccessBit)
        out.Number(static_cast<std::uint64_t>(state.lastAccess), 8);
    if (fields & kAttributesBit)
        out.Number(state.attributes, 4);
    if (fields & kModeBit)
        out.Number(state.mode, 4);
    if (fields & kStoredBit)
        PutStored(state.stored, out);
}

void PutEntry(const JournalEntry& entry, std::uint8_t changed, TFieldWriter& out) {
    out.Number(static_cast<std::uint8_t>(entry.kind), 1);
    out.Number(entry.number, 8);
    out.Number(entry.identity.device, 8);
    out.Number(entry.identity.inode, 8);
    if (entry.kind == JournalEntryKind::Intent)
        PutState(entry.before, out);
    PutChanges(entry.after, changed, out);
    if (entry.kind == JournalEntryKind::Intent)
        out.Number(entry.contentKept ? 1 : 0, 1);
}

// Reads fields from a span of bytes; any read past its end leaves it failed.
class TReader {
public:
    explicit TReader(std::string_view bytes) : bytes_(bytes) {}
    bool Ok() const { return ok_; }
    bool AtEnd() const { return at_ == bytes_.size(); }
    std::uint64_t Number(std::size_t size) {
        if (!ok_ || bytes_.size() - at_ < size)
            return ok_ = false, 0;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_ + i]))
                     << (8 * i);
        at_ += size;
        return value;
    }
    std::string Text() {
        const std::uint64_t size = Number(4);
        if (!ok_ || size > kLongestField || bytes_.size() - at_ < size)
            return ok_ = false, std::string();
        std::string text(bytes_.substr(at_, size));
        at_ += size;
        return text;
    }
    bool Flag() {
        const std::uint64_t value = Number(1);
        ok_ = ok_ && value <= 1;
        return value == 1;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

std::vector<StoredValue> TakeStored(TReader& in) {
    std::vector<StoredValue> stored;
    const std::uint64_t count = in.Number(4);
    for (std::uint64_t i = 0; in.Ok() && i < count; ++i) {
        StoredValue value;
        value.place = in.Text();
        const bool present = in.Flag();
        std::string bytes = in.Text();
        if (present)
            value.bytes = std::move(bytes);
        stored.push_back(std::move(value));
    }
    return stored;
}

std::optional<std::int64_t> TakeCreation(TReader& in) {
    const bool known = in.Flag();
    const auto creation = static_cast<std::int64_t>(in.Number(8));
    return known ? std::optional(creation) : std::nullopt;
}

FileState TakeState(TReader& in) {
    FileState state;
    state.path = in.Text();
    state.creation = TakeCreation(in);
    state.lastWrite = static_cast<std::int64_t>(in.Number(8));
    state.lastAccess = static_cast<std::int64_t>(in.Number(8));
    state.attributes = static_cast<std::uint32_t>(in.Number(4));
    state.mode = static_cast<std::uint32_t>(in.Number(4));
    state.storedKnown = in.Flag();
    state.stored = TakeStored(in);
    return state;
}

FileState TakeChanges(TReader& in, const FileState& base) {
    const auto fields = static_cast<std::uint8_t>(in.Number(1));
    FileState state = base;
    if (fields & kPathBit)
        state.path = in.Text();
    if (fields & kCreationBit)
        state.creation = TakeCreation(in);
    if (fields & kLastWriteBit)
        state.lastWrite = static_cast<std::int64_t>(in.Number(8));
    if (fields & kLastAccessBit)
        state.lastAccess = static_cast<std::int64_t>(in.Number(8));
    if (fields & kAttributesBit)
        state.attributes = static_cast<std::uint32_t>(in.Number(4));
    if (fields & kModeBit)
        state.mode = static_cast<std::uint32_t>(in.Number(4));
    state.storedKnown = (fields & kStoredKnownBit) != 0;
    if (fields & kStoredBit)
        state.stored = TakeStored(in);
    else if (!state.storedKnown)
        state.stored.clear();
    return state;
}

constexpr std::uint64_t kFnvPrime = 1099511628211ull;
constexpr std::uint64_t kFnvBasis = 14695981039346656037ull;

// Eight bytes as a little-endian number.
std::uint64_t LittleWord(const char* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    if constexpr (std::endian::native == std::endian::big)
        value = __builtin_bswap64(value);
    return value;
}

// The word at `at`, the last one padded with zeros.
std::uint64_t WordAt(std::string_view bytes, std::size_t at) {
    if (bytes.size() - at >= 8)
        return LittleWord(bytes.data() + at);
    char padded[8] = {};
    std::memcpy(padded, bytes.data() + at, bytes.size() - at);
    return LittleWord(padded);
}

// FNV-1a 64 over the bytes taken as little-endian 8-byte words, the last one padded with zeros,
// in four lanes (word i into lane i % 4) folded into one at the end: it tells a torn or damaged
// record from a whole one (no guard against an attacker), and the four lanes' multiplications
// run side by side.
std::uint64_t Digest(std::string_view bytes) {
    std::uint64_t lanes[4] = {kFnvBasis, kFnvBasis, kFnvBasis, kFnvBasis};
    std::size_t at = 0;
    for (; at + 32 <= bytes.size(); at += 32) {
        for (std::size_t lane = 0; lane < 4; ++lane)
            lanes[lane] = (lanes[lane] ^ LittleWord(bytes.data() + at + 8 * lane)) * kFnvPrime;
    }
    for (std::size_t lane = 0; at < bytes.size(); at += 8, ++lane)
        lanes[lane] = (lanes[lane] ^ WordAt(bytes, at)) * kFnvPrime;
    std::uint64_t digest = lanes[0];
    for (std::size_t lane = 1; lane < 4; ++lane)
        digest = (digest ^ lanes[lane]) * kFnvPrime;
    return digest;
}

// The digest of the first version: one lane.
std::uint64_t FirstDigest(std::string_view bytes) {
    std::uint64_t digest = kFnvBasis;
    for (std::size_t at = 0; at < bytes.size(); at += 8)
        digest = (digest ^ WordAt(bytes, at)) * kFnvPrime;
    return digest;
}

bool IsJournalName(const std::string& name) {
    return name.size() > kJournalSuffix.size() &&
           name.compare(name.size() - kJournalSuffix.size(), kJournalSuffix.size(),
                        kJournalSuffix) == 0;
}

// An id for a run starting at `started`: its time in UTC, to the millisecond.
std::string RunId(std::int64_t started) {
    const time_t seconds = static_cast<time_t>(started / 1'000'000'000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const auto millis = static_cast<int>(started / 1'000'000 % 1000);
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d-%03d", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, millis);
    return text;
}

std::string KeptFolder(const std::string& folder, const std::string& id) {
    return folder + "/" + id + std::string(kKeptSuffix);
}

// The bytes the run `id` keeps of old content.
std::uint64_t KeptBytes(const std::string& folder, const std::string& id) {
    std::uint64_t total = 0;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(KeptFolder(folder, id).c_str()), closedir);
    while (const dirent* entry = dir ? readdir(dir.get()) : nullptr) {
        struct stat st {};
        if (entry->d_name[0] != '.' &&
            fstatat(dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            total += static_cast<std::uint64_t>(st.st_size);
    }
    return total;
}

// Removes the run `id`: its journal, then the content it kept.
Result RemoveRun(const std::string& folder, const std::string& id) {
    const std::string journal = JournalPath(folder, id);
    if (unlink(journal.c_str()) != 0 && errno != ENOENT)
        return Result::Failed(journal + ": " + SystemReason(errno));
    const std::string kept = KeptFolder(folder, id);
    if (std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(kept.c_str()), closedir); dir) {
        while (const dirent* entry = readdir(dir.get())) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                unlinkat(dirfd(dir.get()), entry->d_name, 0);
        }
    }
    if (rmdir(kept.c_str()) != 0 && errno != ENOENT)
        return Result::Failed(kept + ": " + SystemReason(errno));
    return Result::Done();
}

// Drops the oldest runs beyond the number kept, and while the content kept is more than its
// limit; never the run `current`.
void DropOldRuns(const std::string& folder, const std::string& current) {
    // Most runs keep no content: only those whose folder of it was listed are looked into.
    std::set<std::string> keeping;
    const std::vector<std::string> ids = RunIds(folder, &keeping);
    std::vector<std::uint64_t> bytes;
    std::uint64_t kept = 0;
    for (const std::string& id : ids)
        kept += bytes.emplace_back(keeping.count(id) > 0 ? KeptBytes(folder, id) : 0);
    std::size_t left = ids.size();
    for (std::size_t run = 0; run < ids.size(); ++run) {
        if (ids[run] == current || (left <= kRunsKept && kept <= kContentKept))
            break;
        kept -= bytes[run];
        static_cast<void>(RemoveRun(folder, ids[run]));
        --left;
    }
}

}  // namespace

std::string RunJournalFolder(std::string& reason) {
    return PrivateStateFolder("runs", reason);
}

std::string JournalPath(const std::string& folder, const std::string& id) {
    return folder + "/" + id + std::string(kJournalSuffix);
}

std::vector<std::string> RunIds(const std::string& folder, std::set<std::string>* keeping) {
    std::vector<std::string> ids;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return ids;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (IsJournalName(name))
            ids.push_back(name.substr(0, name.size() - kJournalSuffix.size()));
        else if (keeping && name.ends_with(kKeptSuffix))
            keeping->insert(name.substr(0, name.size() - kKeptSuffix.size()));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::string EncodeJournalHeader(TRunJournal::Kind kind, std::int64_t started) {
    std::string bytes(kMagic, sizeof kMagic);
    bytes.resize(kHeaderSize);
    TFieldWriter out(bytes.data() + sizeof kMagic);
    out.Number(kVersion, 4);
    out.Number(kind == TRunJournal::Kind::Undo ? 1 : 0, 1);
    out.Number(static_cast<std::uint64_t>(started), 8);
    return bytes;
}

// Each entry: its length and digest, then its fields; an entry whose length runs past the end
// of the file was cut short by a crash, and the file ends before it.
void AppendJournalEntry(const JournalEntry& entry, std::string& bytes) {
    const std::uint8_t changed = ChangedFields(entry.after, entry.before);
    TFieldWriter measure;
    PutEntry(entry, changed, measure);
    const std::size_t start = bytes.size();
    bytes.resize(start + 12 + measure.Size());
    TFieldWriter fields(bytes.data() + start + 12);
    PutEntry(entry, changed, fields);
    TFieldWriter frame(bytes.data() + start);
    frame.Number(fields.Size(), 4);
    frame.Number(Digest(std::string_view(bytes).substr(start + 12)), 8);
}

std::optional<JournalFile> DecodeJournal(const std::string& bytes, std::string& reason) {
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        reason = "not a journal of this program";
        return std::nullopt;
    }
    TReader in(std::string_view(bytes).substr(sizeof kMagic));
    const std::uint64_t version = in.Number(4);
    const std::uint64_t kind = in.Number(1);
    JournalFile file;
    file.started = static_cast<std::int64_t>(in.Number(8));
    const bool first = version == kFirstVersion;
    if (!in.Ok() || (version != kVersion && !first) || kind > 1) {
        reason = in.Ok() ? "a journal of another version" : "the journal is damaged";
        return std::nullopt;
    }
    file.kind = kind == 1 ? TRunJournal::Kind::Undo : TRunJournal::Kind::Run;
    std::string_view rest = std::string_view(bytes).substr(kHeaderSize);
    // Where each file's intent is among the entries, by the file's number.
    std::unordered_map<std::uint64_t, std::size_t> intents;
    while (rest.size() >= 12) {
        TReader frame(rest);
        const std::uint64_t size = frame.Number(4);
        const std::uint64_t digest = frame.Number(8);
        if (rest.size() - 12 < size)
            break;  // cut short
        const std::string_view fields = rest.substr(12, size);
        TReader entryIn(fields);
        JournalEntry entry;
        const std::uint64_t entryKind = entryIn.Number(1);
        entry.number = entryIn.Number(8);
        entry.identity.device = entryIn.Number(8);
        entry.identity.inode = entryIn.Number(8);
        // A done entry keeps what its change left as it differs from what its intent foresaw.
        const auto intent = intents.find(entry.number);
        if (first) {
            entry.before = TakeState(entryIn);
            entry.after = TakeState(entryIn);
            entry.contentKept = entryIn.Flag();
        } else if (entryKind == 1) {
            entry.before = TakeState(entryIn);
            entry.after = TakeChanges(entryIn, entry.before);
            entry.contentKept = entryIn.Flag();
        } else if (entryKind == 2 && intent != intents.end()) {
            entry.before = file.entries[intent->second].after;
            entry.after = TakeChanges(entryIn, entry.before);
        }
        const bool kindKnown =
            entryKind == 1 || (entryKind == 2 && (first || intent != intents.end()));
        if ((first ? FirstDigest(fields) : Digest(fields)) != digest || !entryIn.Ok() ||
            !entryIn.AtEnd() || !kindKnown) {
            reason = "the journal is damaged";
            return std::nullopt;
        }
        entry.kind = static_cast<JournalEntryKind>(entryKind);
        if (entry.kind == JournalEntryKind::Intent)
            intents[entry.number] = file.entries.size();
        file.entries.push_back(std::move(entry));
        rest.remove_prefix(12 + size);
    }
    return file;
}

}  // namespace linux_fs

using namespace linux_fs;

struct TRunJournal::Impl {
    Kind kind = Kind::Run;
    std::int64_t started = 0;
    std::string folder;

    std::mutex adding;
    std::string pending;
    // The bytes of entries added since the run began.
    std::uint64_t added = 0;
    // On a line of its own: every thread takes numbers while others add entries.
    alignas(64) std::atomic<std::uint64_t> numbers = 0;

    // Held by the one Write at a time.
    std::mutex writing;
    // What Write writes; kept with its room between writes, as is `pending`, so that a run's
    // journal takes its memory once.
    std::string buffer;
    TDescriptor fd;
    std::uint64_t size = 0;
    // The bytes of entries, of those added, made durable.
    std::uint64_t synced = 0;
    // Whether the journal's name in its folder was made durable.
    bool named = false;
    // Every write failed since this reason.
    std::string failure;

    // The run's id, taken with its folder of kept content: a folder made with mkdir is the one
    // claim to an id that two runs started in the same millisecond cannot both win.
    std::mutex naming;
    std::string id;

    // Writes what was added, made durable when `durable`.
    Result Write(bool durable);
    // Takes the run's id, once; empty with the reason when no id could be taken.
    std::string Id(std::string& reason);
};

std::string TRunJournal::Impl::Id(std::string& reason) {
    const std::lock_guard lock(naming);
    for (int n = 1; id.empty() && n < 100; ++n) {
        const std::string candidate = RunId(started) + (n > 1 ? "-" + std::to_string(n) : "");
        const std::string kept = KeptFolder(folder, candidate);
        if (mkdir(kept.c_str(), 0700) != 0) {
            if (errno != EEXIST)
                break;
            continue;
        }
        // A run of the same millisecond that is over removed the folder when it kept nothing,
        // and left its journal.
        if (access(JournalPath(folder, candidate).c_str(), F_OK) == 0 || errno != ENOENT) {
            rmdir(kept.c_str());
            errno = EEXIST;
            continue;
        }
        id = candidate;
    }
    if (id.empty())
        reason = "cannot write the journal in " + folder + ": " + SystemReason(errno);
    return id;
}

Result TRunJournal::Impl::Write(bool durable) {
    std::uint64_t wanted = 0;
    {
        const std::lock_guard lock(adding);
        wanted = added;
    }
    const std::lock_guard lock(writing);
    // The entries added before this call were made durable by another thread's sync while this
    // one waited for its turn: the threads' syncs are shared, never queued one after another.
    if (durable && synced >= wanted)
        return Result::Done();
    if (!failure.empty())
        return Result::Failed(failure);
    buffer.clear();
    std::uint64_t taken = 0;
    {
        const std::lock_guard lock(adding);
        buffer.swap(pending);
        taken = added;
    }
    if (buffer.empty())
        return Result::Done();
    const auto fail = [this](int error) {
        failure = "cannot write the journal in " + folder + ": " + SystemReason(error);
        return Result::Failed(failure);
    };
    if (!fd.Valid()) {
        std::string reason;
        const std::string runId = Id(reason);
        if (runId.empty()) {
            failure = reason;
            return Result::Failed(failure);
        }
        fd = TDescriptor(open(JournalPath(folder, runId).c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.Valid())
            return fail(errno);
        buffer.insert(0, EncodeJournalHeader(kind, started));
    }
    if (!WriteAllAt(fd.Get(), {reinterpret_cast<const std::uint8_t*>(buffer.data()), buffer.size()},
                    static_cast<off_t>(size)))
        return fail(errno);
    size += buffer.size();
    if (!durable)
        return Result::Done();
    if (fdatasync(fd.Get()) != 0)
        return fail(errno);
    if (!named) {
        // The new file's name must last as long as its entries. Synced after them: the data
        // sync has most often made the name durable already, and this one then costs little.
        const TDescriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!dir.Valid() || fsync(dir.Get()) != 0)
            return fail(errno);
        named = true;
    }
    synced = taken;
    return Result::Done();
}

std::unique_ptr<TRunJournal> TRunJournal::Begin(Kind kind, std::string& reason) {
    auto impl = std::make_unique<Impl>();
    impl->kind = kind;
    impl->started = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    impl->folder = RunJournalFolder(reason);
    if (impl->folder.empty())
        return nullptr;
    // Found out now, before any file is changed, rather than at the first batch.
    if (access(impl->folder.c_str(), W_OK | X_OK) != 0) {
        reason = impl->folder + ": " + SystemReason(errno);
        return nullptr;
    }
    return std::unique_ptr<TRunJournal>(new TRunJournal(std::move(impl)));
}

TRunJournal::TRunJournal(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

TRunJournal::~TRunJournal() {
    // What the last changes left is written, not waited for: a journal without it still undoes
    // those changes, from what it foresaw.
    try {
        static_cast<void>(impl_->Write(false));
        if (!impl_->id.empty()) {
            // A run that kept no content leaves no folder for it, and one that changed nothing
            // no journal either.
            rmdir(KeptFolder(impl_->folder, impl_->id).c_str());
            if (!impl_->fd.Valid())
                static_cast<void>(RemoveRun(impl_->folder, impl_->id));
            DropOldRuns(impl_->folder, impl_->id);
        }
    } catch (...) {
    }
}

std::string TRunJournal::KeptPath(std::uint64_t number, std::string& reason) {
    const std::string id = impl_->Id(reason);
    return id.empty() ? std::string()
                      : KeptFolder(impl_->folder, id) + "/" + std::to_string(number);
}

std::string KeptContentPath(const std::string& id, std::uint64_t number) {
    std::string reason;
    const std::string folder = RunJournalFolder(reason);
    return KeptFolder(folder, id) + "/" + std::to_string(number);
}

std::uint64_t TRunJournal::NextNumber() {
    return impl_->numbers.fetch_add(1, std::memory_order_relaxed);
}

void TRunJournal::Add(const JournalEntry& entry) {
    // Encoded outside the lock, into room each thread keeps.
    thread_local std::string bytes;
    bytes.clear();
    AppendJournalEntry(entry, bytes);
    const std::lock_guard lock(impl_->adding);
    impl_->pending += bytes;
    impl_->added += bytes.size();
}

Result TRunJournal::Sync() {
    return impl_->Write(true);
}

namespace {

// What the journal of the run `id` tells of it; a journal that cannot be read says why in
// `changed`.
RunSummary Summarize(const std::string& folder, const std::string& id) {
    RunSummary run;
    run.id = id;
    const TDescriptor fd(open(JournalPath(folder, id).c_str(), O_RDONLY | O_CLOEXEC));
    std::vector<std::uint8_t> raw;
    if (!fd.Valid() || !ReadWhole(fd.Get(), raw)) {
        run.changed = SystemReason(errno);
        return run;
    }
    std::string reason;
    const std::optional<JournalFile> file =
        DecodeJournal(std::string(raw.begin(), raw.end()), reason);
    if (!file) {
        run.changed = reason;
        return run;
    }
    run.started = file->started;
    run.isUndo = file->kind == TRunJournal::Kind::Undo;
    bool names = false, times = false, attributes = false, content = false;
    for (const JournalEntry& entry : file->entries) {
        if (entry.kind != JournalEntryKind::Intent)
            continue;
        ++run.files;
        names = names || entry.before.path != entry.after.path;
        times = times || entry.before.lastWrite != entry.after.lastWrite ||
                entry.before.lastAccess != entry.after.lastAccess ||
                entry.before.creation != entry.after.creation;
        attributes = attributes || entry.before.attributes != entry.after.attributes;
        content = content || entry.contentKept;
    }
    for (const auto& [changed, word] :
         {std::pair{names, "names"}, std::pair{times, "times"}, std::pair{attributes, "attributes"},
          std::pair{content, "content"}}) {
        if (changed)
            run.changed += (run.changed.empty() ? "" : ", ") + std::string(word);
    }
    return run;
}

}  // namespace

std::vector<RunSummary> ListRuns() {
    std::vector<RunSummary> runs;
    std::string reason;
    const std::string folder = RunJournalFolder(reason);
    if (folder.empty())
        return runs;
    for (const std::string& id : RunIds(folder)) {
        runs.push_back(Summarize(folder, id));
        runs.back().keptBytes = KeptBytes(folder, id);
    }
    return runs;
}

KeptRuns LastRunKept() {
    KeptRuns kept;
    std::string reason;
    const std::string folder = RunJournalFolder(reason);
    if (folder.empty())
        return kept;
    const std::vector<std::string> ids = RunIds(folder);
    kept.count = ids.size();
    if (!ids.empty())
        kept.last = Summarize(folder, ids.back());
    return kept;
}

Result ForgetRuns() {
    std::string reason;
    const std::string folder = RunJournalFolder(reason);
    if (folder.empty())
        return Result::Failed(reason);
    for (const std::string& id : RunIds(folder)) {
        if (Result removed = RemoveRun(folder, id); !removed)
            return removed;
    }
    return Result::Done();
}

}  // namespace platform
