#pragma once
// Work on a list of items that do not touch each other, cut into pieces and done on the
// caller's thread and on workers kept for the whole of a long task, so that each list costs
// no thread started.

#include <algorithm>
#include <cstddef>
#include <exception>
#include <functional>
#include <limits>

#include "threads/WorkAhead.h"

namespace threads {

class TSpread {
public:
    using Work = std::function<void(std::size_t first, std::size_t last)>;

    // `workers` threads besides the caller's; none does all the work on the caller's thread.
    explicit TSpread(int workers)
        : pieces_(
              std::numeric_limits<std::size_t>::max(),
              [this](const Piece& piece) {
                  (*work_)(piece.first, piece.last);
                  return true;
              },
              workers) {}

    // Does `work` over the indexes [0, count) in pieces, and returns once every piece is done;
    // an exception the work threw is thrown here, once the other pieces are done.
    void operator()(std::size_t count, const Work& work) {
        work_ = &work;
        // Small enough pieces that the threads end together, large enough that handing one
        // over costs little beside it.
        constexpr std::size_t kPiece = 16;
        int asked = 0;
        for (std::size_t first = 0; first < count; first += kPiece)
            pieces_.Ask(asked++, {first, std::min(first + kPiece, count)});
        std::exception_ptr error;
        for (int taken = 0; taken < asked; ++taken) {
            try {
                pieces_.TakeFirst();
            } catch (...) {
                error = error ? error : std::current_exception();
            }
        }
        work_ = nullptr;
        if (error)
            std::rethrow_exception(error);
    }

private:
    struct Piece {
        std::size_t first = 0;
        std::size_t last = 0;
    };
    const Work* work_ = nullptr;
    TWorkAhead<bool, Piece> pieces_;
};

}  // namespace threads
