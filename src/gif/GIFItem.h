#pragma once
// The common base of the blocks of a GIF file and the owning list they are kept in.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "gif/ByteReader.h"
#include "gif/ByteWriter.h"

namespace gif {

class TGIFDocument;

enum class TGIFVersion { GIF87a, GIF89a };

// The bytes that begin the blocks of a GIF stream.
inline constexpr std::uint8_t kExtensionIntroducer = 0x21;
inline constexpr std::uint8_t kImageSeparator = 0x2C;
inline constexpr std::uint8_t kTrailer = 0x3B;

class TGIFItem {
public:
    explicit TGIFItem(TGIFDocument& image) : image_(&image) {}
    virtual ~TGIFItem() = default;
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    // The lowest GIF version this item needs.
    virtual TGIFVersion Version() const { return TGIFVersion::GIF87a; }
    virtual void SaveToStream(TByteWriter& out) const = 0;
    virtual void LoadFromStream(TByteReader& in) = 0;

    TGIFDocument& Image() const { return *image_; }
    // Hands a warning to the owning image, which passes it to its handler, if any.
    void Warning(const std::string& message) const;

private:
    TGIFDocument* image_;
};

// An ordered list that owns its items.
template <class T>
class TGIFList {
public:
    explicit TGIFList(TGIFDocument& image) : image_(&image) {}
    TGIFList(const TGIFList&) = delete;
    TGIFList& operator=(const TGIFList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    T& Items(int index) const { return *items_[Checked(index)]; }
    T& Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return *items_.back();
    }
    void Delete(int index) {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(Checked(index)));
    }
    // Deletes every item `doomed` picks and keeps the rest in order, in one pass however many
    // go (deleting them one by one moves the items behind each).
    template <class Pred>
    void DeleteIf(Pred doomed) {
        std::erase_if(items_, [&doomed](const std::unique_ptr<T>& item) { return doomed(*item); });
    }
    // Items go from the first to the last, as deleting index 0 until empty would.
    void Clear() {
        for (auto& item : items_)
            item.reset();
        items_.clear();
    }
    void SaveToStream(TByteWriter& out) const {
        for (const auto& item : items_)
            item->SaveToStream(out);
    }
    TGIFDocument& Image() const { return *image_; }

private:
    std::size_t Checked(int index) const {
        if (index < 0 || index >= Count()) {
            throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
        }
        return static_cast<std::size_t>(index);
    }

    std::vector<std::unique_ptr<T>> items_;
    TGIFDocument* image_;
};

}  // namespace gif
