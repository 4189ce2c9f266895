#pragma once
// Storage for the colour indexes of an image. New bytes are left as they are instead of being
// set to zero: the decoder writes every byte it keeps, and the pages of a large image that its
// data never reaches are never touched, so memory follows the data that really arrives.

#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace gif {

template <class T>
class TDefaultInitAllocator : public std::allocator<T> {
public:
    using std::allocator<T>::allocator;

    template <class U>
    void construct(U* place) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

using TPixels = std::vector<std::uint8_t, TDefaultInitAllocator<std::uint8_t>>;

}  // namespace gif
