// Our side of the benchmark: removes the comments of every file named on the command line.
//
//   gif_strip FILE...

#include <cstdio>

#include "gif/DeleteGIFComments.h"

int main(int argc, char** argv) {
    gif::TGIFDocument image;
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        try {
            gif::DeleteGIFComments(image, argv[i]);
        } catch (const gif::GIFException& e) {
            std::fprintf(stderr, "gif_strip: %s: %s\n", argv[i], e.what());
            status = 1;
        }
    }
    return status;
}
