#include "platform/linux/NtfsUpcase.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/Path.h"
#include "platform/linux/Descriptor.h"

namespace platform::linux_fs {
namespace {

constexpr std::size_t kUnits = 65536;

}  // namespace

const TNtfsCaseTable& TNtfsCaseTable::Default() {
    static const TNtfsCaseTable table = [] {
        std::vector<char16_t> upper(kUnits);
        for (std::size_t unit = 0; unit < kUnits; ++unit)
            upper[unit] = static_cast<char16_t>(unit);
        for (const UpcaseRun& run : kNtfsUpcaseRuns) {
            for (std::size_t unit = run.first; unit <= run.last; unit += run.step)
                upper[unit] = static_cast<char16_t>(static_cast<std::int32_t>(unit) + run.offset);
        }
        return TNtfsCaseTable(std::move(upper));
    }();
    return table;
}

std::optional<TNtfsCaseTable> TNtfsCaseTable::OfVolume(const std::string& top) {
    const std::string path = JoinPath(top, "$UpCase");
    // Never waiting on a FIFO someone named so on a volume that is not what it seems.
    const TDescriptor file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    std::vector<std::uint8_t> bytes;
    if (!file.Valid() || fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size != 2 * kUnits || !ReadWhole(file.Get(), bytes) || bytes.size() != 2 * kUnits)
        return std::nullopt;
    std::vector<char16_t> upper(kUnits);
    for (std::size_t unit = 0; unit < kUnits; ++unit)
        upper[unit] = static_cast<char16_t>(bytes[2 * unit] | bytes[2 * unit + 1] << 8);
    return TNtfsCaseTable(std::move(upper));
}

}  // namespace platform::linux_fs
