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

// Sub-blocks up to the terminator, each read exactly; the end of the data ends them quietly.
void ReadBlocks(TByteReader& in, TGIFBlocks& blocks) {
    blocks.clear();
    std::uint8_t size = 0;
    while (in.ReadByte(size) && size != 0) {
        TGIFBlock block{std::vector<std::uint8_t>(size)};
        in.ReadExact(block.bytes.data(), size);
        blocks.push_back(std::move(block));
    }
}

void WriteBlocks(TByteWriter& out, const TGIFBlocks& blocks) {
    for (const TGIFBlock& block : blocks) {
        out.Put(static_cast<std::uint8_t>(block.bytes.size()));
        out.Write(block.bytes.data(), block.bytes.size());
    }
    out.Put(0);
}

template <class T>
std::unique_ptr<TGIFExtension> Create(TGIFSubImage& subImage) {
    return std::make_unique<T>(subImage);
}

// One line per sub-block, each ending at its first zero byte.
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
    ReadBlocks(in, blocks_);
}

void TGIFTextExtension::SaveData(TByteWriter& out) const {
    WriteBlocks(out, blocks_);
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

std::uint8_t TGIFGraphicControlExtension::Field(std::size_t index) const {
    return !blocks_.empty() && index < blocks_[0].bytes.size() ? blocks_[0].bytes[index] : 0;
}

// Read by its sub-blocks, as other decoders read it, rather than as six fixed bytes: a block of
// another size than 4 then stays the block it was. Data cut short is a warning, not an error,
// and what arrived still counts.
void TGIFGraphicControlExtension::LoadData(TByteReader& in) {
    blocks_.clear();
    std::uint8_t size = 0;
    while (true) {
        if (!in.ReadByte(size)) {
            Warning(msg::kPrematureEnd);
            return;
        }
        if (size == 0)
            break;
        TGIFBlock block{std::vector<std::uint8_t>(size)};
        block.bytes.resize(in.Read(block.bytes.data(), size));
        const bool cut = block.bytes.size() < size;
        if (!block.bytes.empty())
            blocks_.push_back(std::move(block));
        if (cut) {
            Warning(msg::kPrematureEnd);
            return;
        }
    }
    if (Transparent())
        SubImage().SetTransparent(true);
}

void TGIFGraphicControlExtension::SaveData(TByteWriter& out) const {
    WriteBlocks(out, blocks_);
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
    firstBlock_.resize(blockSize);
    in.ReadExact(firstBlock_.data(), blockSize);
    identifier_.fill(0);
    std::copy_n(firstBlock_.begin(), std::min(identifier_.size(), firstBlock_.size()),
                identifier_.begin());
    ReadBlocks(in, blocks_);
    ReadMeaning();
}

void TGIFApplicationExtension::SaveData(TByteWriter& out) const {
    out.Put(static_cast<std::uint8_t>(firstBlock_.size()));
    out.Write(firstBlock_.data(), firstBlock_.size());
    WriteBlocks(out, blocks_);
}

void TGIFApplicationExtension::SetIdentifier(const char (&text)[12]) {
    identifier_ = MakeIdentifier(text);
    firstBlock_.assign(identifier_.begin(), identifier_.end());
}

const TGIFExtensionClass& TGIFUnknownAppExtension::Class() {
    static const TGIFExtensionClass kClass{TGIFApplicationExtension::kLabel, nullptr,
                                           &Create<TGIFUnknownAppExtension>};
    return kClass;
}

const TGIFExtensionClass& TGIFAppExtNSLoop::Class() {
    static const TGIFExtensionClass kClass{TGIFApplicationExtension::kLabel, nullptr,
                                           &Create<TGIFAppExtNSLoop>};
    return kClass;
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage& subImage) : TGIFApplicationExtension(subImage) {
    SetIdentifier("NETSCAPE2.0");
    blocks_ = {TGIFBlock{{1, 0, 0}}};
}

// Sub-block 1 holds the loop count, sub-block 2 the buffer size; others mean nothing here.
void TGIFAppExtNSLoop::ReadMeaning() {
    constexpr std::uint8_t kLoopBlock = 1;
    constexpr std::uint8_t kBufferBlock = 2;
    for (const TGIFBlock& block : blocks_) {
        const std::vector<std::uint8_t>& bytes = block.bytes;
        if ((bytes[0] & 7) == kLoopBlock) {
            if (bytes.size() < 3)
                throw GIFException(msg::kInvalidData);
            loopCount_ = GetU16(&bytes[1]);
        } else if ((bytes[0] & 7) == kBufferBlock) {
            if (bytes.size() < 5)
                throw GIFException(msg::kInvalidData);
            bufferSize_ = GetU32(&bytes[1]);
        }
    }
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
