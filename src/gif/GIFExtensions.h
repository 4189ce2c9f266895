#pragma once
// The extension blocks of a GIF file and the two registries that pick the class for a block.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gif/GIFItem.h"

namespace gif {

class TGIFSubImage;
class TGIFExtension;

// What the reader knows of an extension class before it has an instance.
struct TGIFExtensionClass {
    std::uint8_t label;
    // Given the stream just after the label, the class to instantiate: the class itself, a
    // more specific one, or none (nullptr). Classes without refinement leave it null.
    const TGIFExtensionClass* (*refine)(TByteReader& in);
    std::unique_ptr<TGIFExtension> (*create)(TGIFSubImage& subImage);
};

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage& subImage);

    TGIFSubImage& SubImage() const { return *subImage_; }
    TGIFVersion Version() const override { return TGIFVersion::GIF89a; }
    virtual std::uint8_t Label() const = 0;

    // The introducer and the label, then the block's own data.
    void LoadFromStream(TByteReader& in) final;
    void SaveToStream(TByteWriter& out) const final;

protected:
    virtual void LoadData(TByteReader& in) = 0;
    virtual void SaveData(TByteWriter& out) const = 0;

private:
    TGIFSubImage* subImage_;
};

// A data sub-block kept as it was: 1 to 255 bytes.
struct TGIFBlock {
    std::vector<std::uint8_t> bytes;
};
// Data sub-blocks as in the file, without their zero-length terminator.
using TGIFBlocks = std::vector<TGIFBlock>;

// One text line per data sub-block; a line ends at the first zero byte of its sub-block.
using TGIFTextLines = std::vector<std::string>;

class TGIFTextExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = 0x01;
    static const TGIFExtensionClass& Class();
    using TGIFExtension::TGIFExtension;

    std::uint8_t Label() const override { return kLabel; }

protected:
    void LoadData(TByteReader& in) override;
    void SaveData(TByteWriter& out) const override;

private:
    // The text block (grid left, top, width, height, cell width and height, foreground and
    // background colour index: 12 bytes in a new one), then the text, each sub-block as it
    // came, zero bytes and all, so that the block is written back with the size it was read
    // with and other decoders read it as before.
    TGIFBlocks blocks_{TGIFBlock{std::vector<std::uint8_t>(12)}};
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = 0xF9;
    static const TGIFExtensionClass& Class();
    explicit TGIFGraphicControlExtension(TGIFSubImage& subImage);
    ~TGIFGraphicControlExtension() override;

    std::uint8_t Label() const override { return kLabel; }
    std::uint8_t Packed() const { return Field(0); }
    bool Transparent() const { return (Packed() & 0x01) != 0; }
    std::uint16_t Delay() const { return static_cast<std::uint16_t>(Field(1) | (Field(2) << 8)); }
    std::uint8_t TransparentColorIndex() const { return Field(3); }

protected:
    void LoadData(TByteReader& in) override;
    void SaveData(TByteWriter& out) const override;

private:
    // A byte of the first sub-block; 0 where the block is shorter.
    std::uint8_t Field(std::size_t index) const;

    // The sub-blocks as in the file: one of 4 bytes (packed fields, delay, transparent index) in
    // a well-formed file and in a new one. A block of another size, or more sub-blocks, are
    // kept as they came, so they are written back the way other decoders read them.
    TGIFBlocks blocks_{TGIFBlock{{0, 0, 0, 0}}};
};

class TGIFCommentExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = 0xFE;
    static const TGIFExtensionClass& Class();
    using TGIFExtension::TGIFExtension;

    std::uint8_t Label() const override { return kLabel; }
    TGIFTextLines& Lines() { return lines_; }

protected:
    void LoadData(TByteReader& in) override;
    void SaveData(TByteWriter& out) const override;

private:
    TGIFTextLines lines_;
};

using TGIFAppIdentifier = std::array<std::uint8_t, 11>;

// An application extension: its first block (the identifier and authentication code) and its
// data sub-blocks, all kept as read and written back unchanged. Subclasses read what the
// sub-blocks mean.
class TGIFApplicationExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = 0xFF;
    static const TGIFExtensionClass& Class();
    using TGIFExtension::TGIFExtension;

    std::uint8_t Label() const override { return kLabel; }
    // The first 11 bytes of the first block, zero-filled after a 10-byte block.
    const TGIFAppIdentifier& Identifier() const { return identifier_; }
    const TGIFBlocks& Blocks() const { return blocks_; }

protected:
    void LoadData(TByteReader& in) final;
    void SaveData(TByteWriter& out) const final;
    // Called once the sub-blocks are read.
    virtual void ReadMeaning() {}

    void SetIdentifier(const char (&text)[12]);
    TGIFBlocks blocks_;

private:
    // 11 bytes in a well-formed file, 10 in some old ones, occasionally more.
    std::vector<std::uint8_t> firstBlock_;
    TGIFAppIdentifier identifier_{};
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass& Class();
    using TGIFApplicationExtension::TGIFApplicationExtension;
};

// The animation loop block ("NETSCAPE2.0", also "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass& Class();
    explicit TGIFAppExtNSLoop(TGIFSubImage& subImage);

    std::uint16_t LoopCount() const { return loopCount_; }
    std::uint32_t BufferSize() const { return bufferSize_; }

protected:
    void ReadMeaning() override;

private:
    std::uint16_t loopCount_ = 0;
    std::uint32_t bufferSize_ = 0;
};

// Label → extension class, searched from the last registration, so a later one wins.
class TExtensionList {
public:
    void Add(std::uint8_t label, const TGIFExtensionClass& extensionClass);
    const TGIFExtensionClass* Find(std::uint8_t label) const;

private:
    std::vector<std::pair<std::uint8_t, const TGIFExtensionClass*>> entries_;
};

// Application identifier (all 11 bytes) → application extension class, last registration first.
class TAppExtensionList {
public:
    void Add(const TGIFAppIdentifier& identifier, const TGIFExtensionClass& extensionClass);
    const TGIFExtensionClass* Find(const TGIFAppIdentifier& identifier) const;

private:
    std::vector<std::pair<TGIFAppIdentifier, const TGIFExtensionClass*>> entries_;
};

// The process-wide registries, filled with the built-in classes on first use.
TExtensionList& ExtensionClasses();
TAppExtensionList& AppExtensionClasses();

// With the stream just after an introducer: the class for the extension that follows, or
// nullptr. The stream is left where it was.
const TGIFExtensionClass* FindExtensionClass(TByteReader& in);

}  // namespace gif
