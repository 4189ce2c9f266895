#pragma once
// Work on many small items, such as the paths of an add or the rows of a listing, handed
// between threads a piece at a time rather than an item at a time.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

#include "threads/WorkAhead.h"

namespace threads {

// The indexes [0, count) cut into pieces of `size`, each made into a result ahead by a
// TWorkAhead and handed back in order: work on many small items with one hand-over between
// threads per piece rather than per item.
template <typename Result>
class TPiecesAhead {
public:
    // Makes the result of the indexes from `first` up to `last`, not included.
    using Work = std::function<Result(std::size_t first, std::size_t last)>;

    // Up to `ahead` pieces are made ahead, on `workers` threads; a single piece is made by the
    // owner alone, with no thread started for it.
    TPiecesAhead(std::size_t count, std::size_t size, std::size_t ahead, Work work, int workers = 1)
        : count_(count),
          size_(size),
          pieces_((count + size - 1) / size),
          work_(std::move(work)),
          ahead_(
              ahead, [this](const std::size_t& piece) { return work_(First(piece), Last(piece)); },
              pieces_ > 1 ? workers : 0) {}

    // The first index of the next piece, and its result; nullopt once every piece was taken.
    // An exception its work threw is thrown here.
    std::optional<std::pair<std::size_t, Result>> Next() {
        if (taken_ == pieces_)
            return std::nullopt;
        for (std::size_t room = ahead_.Room(); room > 0 && asked_ < pieces_; --room, ++asked_)
            ahead_.Ask(static_cast<int>(asked_), asked_);
        ++taken_;
        auto [piece, result] = ahead_.TakeFirst();
        return std::pair{First(static_cast<std::size_t>(piece)), std::move(result)};
    }

private:
    std::size_t First(std::size_t piece) const { return piece * size_; }
    std::size_t Last(std::size_t piece) const { return std::min(First(piece) + size_, count_); }

    const std::size_t count_;
    const std::size_t size_;
    const std::size_t pieces_;
    std::size_t asked_ = 0;
    std::size_t taken_ = 0;
    // Declared before the work-ahead, whose threads use it.
    const Work work_;
    TWorkAhead<Result, std::size_t> ahead_;
};

}  // namespace threads
