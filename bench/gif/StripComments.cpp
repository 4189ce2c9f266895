// Our side of the benchmark: removes the comments of every file named on the command line,
// reading each file whole and writing it back only when it held a comment.
//
//   gif_strip FILE...

#include <cstdio>
#include <fstream>
#include <vector>

#include "gif/DeleteGIFComments.h"
#include "gif/GIFException.h"

namespace {

bool Strip(gif::TGIFDocument& image, const char* path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamsize size = in.tellg();
    if (size < 0)
        return false;
    std::vector<std::uint8_t> original(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(original.data()), size))
        return false;
    const auto rewritten = gif::DeleteGIFComments(image, original);
    if (!rewritten)
        return true;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(rewritten->data()),
              static_cast<std::streamsize>(rewritten->size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    gif::TGIFDocument image;
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        try {
            if (!Strip(image, argv[i])) {
                std::fprintf(stderr, "gif_strip: %s: cannot be read or written\n", argv[i]);
                status = 1;
            }
        } catch (const gif::GIFException& e) {
            std::fprintf(stderr, "gif_strip: %s: %s\n", argv[i], e.what());
            status = 1;
        }
    }
    return status;
}
