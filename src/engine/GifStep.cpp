#include "engine/GifStep.h"

#include <new>

#include "gif/DeleteGIFComments.h"

namespace engine {
namespace {

// The texts the program's file streams have always given, with the system's reason after them.
std::string CannotOpenFile(const std::string& path) {
    return "Cannot open file " + path;
}

std::string CannotCreateFile(const std::string& path) {
    return "Cannot create file " + path;
}

}  // namespace

// Reads the GIF through its handle, takes its comments out and writes the verified bytes back
// in place of the old ones; a file without comments is only read. The reason of a failure, or
// empty. The header is checked before the file is read whole, so a huge file that is no GIF
// costs nothing.
std::string RewriteWithoutComments(platform::TFileHandle& file, gif::TGIFDocument& image) {
    std::string reason;
    std::vector<std::uint8_t> bytes;
    try {
        if (!file.ReadPrefix(gif::kHeaderSize, bytes, reason))
            return CannotOpenFile(file.Path()) + ": " + reason;
        gif::CheckHeader(bytes);
        if (!file.ReadAll(bytes, reason))
            return CannotOpenFile(file.Path()) + ": " + reason;
        const std::optional<std::vector<std::uint8_t>> rewritten =
            gif::DeleteGIFComments(image, bytes);
        if (rewritten && !file.ReplaceContent(*rewritten, reason))
            return CannotCreateFile(file.Path()) + ": " + reason;
    } catch (const std::bad_alloc&) {
        return "not enough memory for this image";
    } catch (const std::exception& error) {
        // The GIF subsystem's errors carry the message the user is shown, as it stands.
        return error.what();
    }
    return {};
}

}  // namespace engine
