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

// One text line per data sub-block; a line ends at the first zero byte of its sub-block.
using TGIFTextLines = std::vector<std::string>;

class TGIFTextExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = 0x01;
    static const TGIFExtensionClass& Class();
    using TGIFExtension::TGIFExtension;

    std::uint8_t Label() const override { return kLabel; }
    // Block size, text grid left, top, width, height, cell width, cell height, foreground and
    // background colour index, as in the file.
    std::array<std::uint8_t, 13>& Block() { return block_; }
    TGIFTextLines& Lines() { return lines_; }

protected:
    void LoadData(TByteReader& in) override;
    void SaveData(TByteWriter& out) const override;

private:
    std::array<std::uint8_t, 13> block_{12};
    TGIFTextLines lines_;
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = 0xF9;
    static const TGIFExtensionClass& Class();
    explicit TGIFGraphicControlExtension(TGIFSubImage& subImage);
    ~TGIFGraphicControlExtension() override;

    std::uint8_t Label() const override { return kLabel; }
    std::uint8_t Packed() const { return bytes_[1]; }
    bool Transparent() const { return (bytes_[1] & 0x01) != 0; }
    std::uint16_t Delay() const { return GetU16(&bytes_[2]); }
    std::uint8_t TransparentColorIndex() const { return bytes_[4]; }

protected:
    void LoadData(TByteReader& in) override;
    void SaveData(TByteWriter& out) const override;

private:
    // Block size, packed fields, delay (2 bytes), transparent index, terminator.
    std::array<std::uint8_t, 6> bytes_{4};
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

// The generic application extension: only its block size and identifier. Its subclasses read
// and write the data sub-blocks.
class TGIFApplicationExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = 0xFF;
    static const TGIFExtensionClass& Class();
    using TGIFExtension::TGIFExtension;

    std::uint8_t Label() const override { return kLabel; }
    const TGIFAppIdentifier& Identifier() const { return identifier_; }

protected:
    void LoadData(TByteReader& in) final;
    void SaveData(TByteWriter& out) const final;
    virtual void LoadAppData(TByteReader&) {}
    virtual void SaveAppData(TByteWriter& out) const { out.Put(0); }

    TGIFAppIdentifier identifier_{};
    // The bytes of an oversized first block after the identifier.
    std::vector<std::uint8_t> blockRest_;
};

// A data sub-block kept as it was: 1 to 255 bytes.
struct TGIFBlock {
    std::vector<std::uint8_t> bytes;
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass& Class();
    using TGIFApplicationExtension::TGIFApplicationExtension;

    const std::vector<TGIFBlock>& Blocks() const { return blocks_; }

protected:
    void LoadAppData(TByteReader& in) override;
    void SaveAppData(TByteWriter& out) const override;

private:
    std::vector<TGIFBlock> blocks_;
};

// The animation loop block ("NETSCAPE2.0", also "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass& Class();
    explicit TGIFAppExtNSLoop(TGIFSubImage& subImage);

    std::uint16_t LoopCount() const { return loopCount_; }
    std::uint32_t BufferSize() const { return bufferSize_; }

protected:
    void LoadAppData(TByteReader& in) override;
    void SaveAppData(TByteWriter& out) const override;

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
