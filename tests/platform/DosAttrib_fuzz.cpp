// Feeds arbitrary bytes to the reader of "user.DOSATTRIB", which other programs write.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/DosAttrib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view value(reinterpret_cast<const char*>(data), size);
    if (const auto parsed = platform::linux_fs::ParseDosAttrib(value)) {
        // What was read must write back into something that reads the same.
        const auto again =
            platform::linux_fs::ParseDosAttrib(platform::linux_fs::EncodeDosAttrib(*parsed));
        if (!again || again->attributes != parsed->attributes ||
            again->creationTime != parsed->creationTime) {
            __builtin_trap();
        }
    }
    return 0;
}
