#include "core/SettingsFile.h"

// Bytes as they stand: the file holds ASCII keys and numbers, and no UTF conversion is wanted.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <cstdlib>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/Volume.h"

namespace core {
namespace {

// A value longer than this is no setting of ours; the program always read at most so much.
constexpr std::size_t kMaxValueLength = 1023;

std::optional<int> ParseDigits(const std::string& digits, int base, bool negative) {
    if (digits.empty())
        return std::nullopt;
    long long value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFLL)
            return std::nullopt;
    }
    // Hexadecimal values name a 32-bit pattern; decimal ones must fit as they are.
    if (base == 10 && value > (negative ? 2147483648LL : 2147483647LL))
        return std::nullopt;
    return static_cast<int>(static_cast<std::uint32_t>(negative ? -value : value));
}

std::optional<int> ParseInteger(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseDigits(text.substr(2), 16, false);
    if (!text.empty() && text[0] == '$')
        return ParseDigits(text.substr(1), 16, false);
    const bool negative = !text.empty() && text[0] == '-';
    const bool sign = !text.empty() && (text[0] == '-' || text[0] == '+');
    return ParseDigits(text.substr(sign ? 1 : 0), 10, negative);
}

}  // namespace

// The variant that matches section and key names without regard to letter case.
class TSettingsFile::Store : public CSimpleIniA {};

TSettingsFile::TSettingsFile(std::string path) : path_(std::move(path)) {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    // A file that is there but cannot be read would lose what it holds to a save of ours alone.
    refused_ = platform::ReadOwnFile(path_, bytes, reason) == platform::OwnFileRead::Refused;
    store_ = std::make_unique<Store>();
    store_->SetUnicode(false);
    store_->SetSpaces(false);  // "Key=Value", as the program always wrote
    store_->LoadData(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TSettingsFile::~TSettingsFile() = default;

int TSettingsFile::ReadInteger(const std::string& section, const std::string& key,
                               int defaultValue) const {
    const char* value = store_->GetValue(section.c_str(), key.c_str(), nullptr);
    if (!value)
        return defaultValue;
    const std::string text(value);
    if (text.size() > kMaxValueLength)
        return defaultValue;
    return ParseInteger(text).value_or(defaultValue);
}

bool TSettingsFile::ReadBool(const std::string& section, const std::string& key,
                             bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TSettingsFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    store_->SetValue(section.c_str(), key.c_str(), std::to_string(value).c_str());
}

void TSettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
}

bool TSettingsFile::Save() {
    std::string text;
    if (refused_ || store_->Save(text) < 0)
        return false;
    return platform::CreateFolders(platform::FolderOf(path_)) &&
           platform::WriteWholeFile(
               path_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string SettingsPath(const std::string& executablePath) {
    const std::string beside = executablePath + ".ini";
    if (platform::FindPath(beside))
        return beside;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string base =
        config && *config ? std::string(config) : std::string(home ? home : "") + "/.config";
    return base + "/orbel-kelvane/kelvane.ini";
}

bool MayWriteSettings(const std::string& settingsPath) {
    // The folder may not exist yet: the nearest one that does decides the volume. A link is
    // written through, so the volume of the file it leads to decides.
    std::string folder = platform::FolderOf(platform::ResolveNamedLink(settingsPath));
    while (!platform::FindPath(folder) && folder != "/" && folder != ".")
        folder = platform::FolderOf(folder);
    return platform::GetDriveType(folder) == platform::DriveType::Fixed;
}

std::string UnableToWrite(const std::string& path) {
    return "Unable to write to " + path;
}

}  // namespace core
