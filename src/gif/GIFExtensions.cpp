#include "gif/GIFExtensions.h"

#include <algorithm>
#include <cstring>

#include "gif/GIFException.h"
#include "gif/GIFSubImage.h"

namespace gif {
namespace {

constexpr std::size_t kMaxSubBlock = 255;

TGIFAppIdentifier MakeIdentifier(const char (&text)[12]) {
    TGIFAppIdentifier identifier{};
    std::memcpy(identifier.data(), text, identifier.size());
    return identifier;
}

template <class T>
std::unique_ptr<TGIFExtension> Create(TGIFSubImage& subImage) {
    return std::make_unique<T>(subImage);
}

void ReadTextLines(TByteReader& in, TGIFTextLines& lines) {
    lines.clear();
    std::array<std::uint8_t, kMaxSubBlock> bytes{};
    std::uint8_t size = 0;
    while (in.ReadByte(size) && size != 0) {
        in.ReadExact(bytes.data(), size);
        const auto* text = reinterpret_cast<const char*>(bytes.data());
        lines.emplace_back(text, strnlen(text, size));
    }
}

void WriteTextLines(TByteWriter& out, const TGIFTextLines& lines) {
    for (const std::string& line : lines) {
        for (std::size_t at = 0; at < line.size(); at += kMaxSubBlock) {
            const std::size_t size = std::min(kMaxSubBlock, line.size() - at);
            out.Put(static_cast<std::uint8_t>(size));
            out.Write(reinterpret_cast<const std::uint8_t*>(line.data() + at), size);
        }
    }
    out.Put(0);
}

const TGIFExtensionClass* RefineApplication(TByteReader& in) {
    std::uint8_t blockSize = 0;
    if (!in.ReadByte(blockSize))
        return nullptr;
    if (blockSize < 10)
        return &TGIFApplicationExtension::Class();
    TGIFAppIdentifier identifier{};
    if (blockSize == 10) {
        if (in.Read(identifier.data(), 10) != 10)
            return nullptr;
        return &TGIFUnknownAppExtension::Class();
    }
    // An oversized block or a cut identifier is kept as an unknown block with its sub-blocks,
    // so the blocks after it stay readable (or the cut surfaces as "Premature end of data").
    if (blockSize > 11 || in.Read(identifier.data(), 11) != 11) {
        return &TGIFUnknownAppExtension::Class();
    }
    const TGIFExtensionClass* known = AppExtensionClasses().Find(identifier);
    return known != nullptr ? known : &TGIFUnknownAppExtension::Class();
}

}  // namespace

// ---- TGIFExtension ----

TGIFExtension::TGIFExtension(TGIFSubImage& subImage)
    : TGIFItem(subImage.Image()), subImage_(&subImage) {}

void TGIFExtension::LoadFromStream(TByteReader& in) {
    std::array<std::uint8_t, 2> head{};
    in.ReadExact(head.data(), head.size());
    if (head[0] != kExtensionIntroducer)
        throw GIFException(msg::kInvalidIntroducer);
    if (head[1] != Label())
        throw GIFException(msg::kExtensionMismatch);
    LoadData(in);
}

void TGIFExtension::SaveToStream(TByteWriter& out) const {
    out.Put(kExtensionIntroducer);
    out.Put(Label());
    SaveData(out);
}

// ---- plain text ----

const TGIFExtensionClass& TGIFTextExtension::Class() {
    static const TGIFExtensionClass kClass{kLabel, nullptr, &Create<TGIFTextExtension>};
    return kClass;
}

void TGIFTextExtension::LoadData(TByteReader& in) {
    in.ReadExact(block_.data(), block_.size());
    ReadTextLines(in, lines_);
}

void TGIFTextExtension::SaveData(TByteWriter& out) const {
    out.Write(block_.data(), block_.size());
    WriteTextLines(out, lines_);
}

// ---- graphic control ----

const TGIFExtensionClass& TGIFGraphicControlExtension::Class() {
    static const TGIFExtensionClass kClass{kLabel, nullptr, &Create<TGIFGraphicControlExtension>};
    return kClass;
}

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage& subImage)
    : TGIFExtension(subImage) {
    if (subImage.GraphicControl() == nullptr)
        subImage.SetGraphicControl(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
    if (SubImage().GraphicControl() == this)
        SubImage().SetGraphicControl(nullptr);
}

void TGIFGraphicControlExtension::LoadData(TByteReader& in) {
    std::array<std::uint8_t, 6> bytes{};
    const std::size_t got = in.Read(bytes.data(), bytes.size());
    if (got < bytes.size()) {
        // What arrived still counts; the rest keeps the values of a new block.
        std::copy_n(bytes.begin(), got, bytes_.begin());
        Warning(msg::kPrematureEnd);
        return;
    }
    bytes_ = bytes;
    if (Transparent())
        SubImage().SetTransparent(true);
}

void TGIFGraphicControlExtension::SaveData(TByteWriter& out) const {
    out.Write(bytes_.data(), bytes_.size());
}

// ---- comment ----

const TGIFExtensionClass& TGIFCommentExtension::Class() {
    static const TGIFExtensionClass kClass{kLabel, nullptr, &Create<TGIFCommentExtension>};
    return kClass;
}

void TGIFCommentExtension::LoadData(TByteReader& in) {
    ReadTextLines(in, lines_);
}

void TGIFCommentExtension::SaveData(TByteWriter& out) const {
    WriteTextLines(out, lines_);
}

// ---- application ----

const TGIFExtensionClass& TGIFApplicationExtension::Class() {
    static const TGIFExtensionClass kClass{kLabel, &RefineApplication,
                                           &Create<TGIFApplicationExtension>};
    return kClass;
}

void TGIFApplicationExtension::LoadData(TByteReader& in) {
    const std::uint8_t blockSize = in.ReadExactByte();
    if (blockSize < 10)
        throw GIFException(msg::kAppBlockSize);
    identifier_.fill(0);
    if (blockSize == 10) {
        in.ReadExact(identifier_.data(), 10);
    } else {
        in.ReadExact(identifier_.data(), identifier_.size());
        // Kept, so the block is written back with its own size and is read the same way again
        // (as 11 bytes, "NETSCAPE2.0" with foreign data would turn into a loop block).
        blockRest_.resize(blockSize - identifier_.size());
        blockRest_.resize(in.Read(blockRest_.data(), blockRest_.size()));
    }
    LoadAppData(in);
}

void TGIFApplicationExtension::SaveData(TByteWriter& out) const {
    out.Put(static_cast<std::uint8_t>(identifier_.size() + blockRest_.size()));
    out.Write(identifier_.data(), identifier_.size());
    out.Write(blockRest_.data(), blockRest_.size());
    SaveAppData(out);
}

const TGIFExtensionClass& TGIFUnknownAppExtension::Class() {
    static const TGIFExtensionClass kClass{TGIFApplicationExtension::kLabel, nullptr,
                                           &Create<TGIFUnknownAppExtension>};
    return kClass;
}

void TGIFUnknownAppExtension::LoadAppData(TByteReader& in) {
    blocks_.clear();
    std::uint8_t size = 0;
    while (in.ReadByte(size) && size != 0) {
        TGIFBlock block{std::vector<std::uint8_t>(size)};
        in.ReadExact(block.bytes.data(), size);
        blocks_.push_back(std::move(block));
    }
}

void TGIFUnknownAppExtension::SaveAppData(TByteWriter& out) const {
    for (const TGIFBlock& block : blocks_) {
        out.Put(static_cast<std::uint8_t>(block.bytes.size()));
        out.Write(block.bytes.data(), block.bytes.size());
    }
    out.Put(0);
}

const TGIFExtensionClass& TGIFAppExtNSLoop::Class() {
    static const TGIFExtensionClass kClass{TGIFApplicationExtension::kLabel, nullptr,
                                           &Create<TGIFAppExtNSLoop>};
    return kClass;
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage& subImage) : TGIFApplicationExtension(subImage) {
    identifier_ = MakeIdentifier("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::LoadAppData(TByteReader& in) {
    constexpr std::uint8_t kLoopBlock = 1;
    constexpr std::uint8_t kBufferBlock = 2;
    std::uint8_t size = 0;
    std::uint8_t id = 0;
    // The end of the data ends the sub-blocks as a zero size would.
    while (in.ReadByte(size) && size != 0 && in.ReadByte(id)) {
        std::size_t used = 1;
        std::array<std::uint8_t, 4> value{};
        if ((id & 7) == kLoopBlock) {
            if (size < 3)
                throw GIFException(msg::kInvalidData);
            in.ReadExact(value.data(), 2);
            loopCount_ = GetU16(value.data());
            used = 3;
        } else if ((id & 7) == kBufferBlock) {
            if (size < 5)
                throw GIFException(msg::kInvalidData);
            in.ReadExact(value.data(), 4);
            bufferSize_ = GetU32(value.data());
            used = 5;
        }
        in.Skip(size - used);
    }
}

void TGIFAppExtNSLoop::SaveAppData(TByteWriter& out) const {
    out.Put(3);
    out.Put(1);
    out.PutU16(loopCount_);
    if (bufferSize_ > 0) {
        out.Put(5);
        out.Put(2);
        out.PutU32(bufferSize_);
    }
    out.Put(0);
}

// ---- registries ----

void TExtensionList::Add(std::uint8_t label, const TGIFExtensionClass& extensionClass) {
    entries_.emplace_back(label, &extensionClass);
}

const TGIFExtensionClass* TExtensionList::Find(std::uint8_t label) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->first == label)
            return it->second;
    }
    return nullptr;
}

void TAppExtensionList::Add(const TGIFAppIdentifier& identifier,
                            const TGIFExtensionClass& extensionClass) {
    entries_.emplace_back(identifier, &extensionClass);
}

const TGIFExtensionClass* TAppExtensionList::Find(const TGIFAppIdentifier& identifier) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->first == identifier)
            return it->second;
    }
    return nullptr;
}

TExtensionList& ExtensionClasses() {
    static TExtensionList registry = [] {
        TExtensionList list;
        list.Add(TGIFTextExtension::kLabel, TGIFTextExtension::Class());
        list.Add(TGIFGraphicControlExtension::kLabel, TGIFGraphicControlExtension::Class());
        list.Add(TGIFCommentExtension::kLabel, TGIFCommentExtension::Class());
        list.Add(TGIFApplicationExtension::kLabel, TGIFApplicationExtension::Class());
        return list;
    }();
    return registry;
}

TAppExtensionList& AppExtensionClasses() {
    static TAppExtensionList registry = [] {
        TAppExtensionList list;
        list.Add(MakeIdentifier("NETSCAPE2.0"), TGIFAppExtNSLoop::Class());
        list.Add(MakeIdentifier("ANIMEXTS1.0"), TGIFAppExtNSLoop::Class());
        return list;
    }();
    return registry;
}

const TGIFExtensionClass* FindExtensionClass(TByteReader& in) {
    const std::size_t start = in.Position();
    std::uint8_t label = 0;
    const TGIFExtensionClass* found = nullptr;
    if (in.ReadByte(label)) {
        const std::size_t afterLabel = in.Position();
        found = ExtensionClasses().Find(label);
        while (found != nullptr && found->refine != nullptr) {
            in.Seek(afterLabel);
            const TGIFExtensionClass* refined = found->refine(in);
            if (refined == found)
                break;
            found = refined;
        }
    }
    in.Seek(start);
    return found;
}

}  // namespace gif
