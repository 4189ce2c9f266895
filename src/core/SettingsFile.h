#pragma once
// The program's INI settings file: window placement, view, the two Settings options and the
// values of the Parameters page worth keeping (StoredParameters.h). Read once when the window
// opens and written once when it closes; other sections, keys and comments
// of an existing file are kept. A symbolic link to a file kept elsewhere is read and written
// through; anything else that is not a regular file (a FIFO, a device, a folder, a link to one
// of those or to nothing) is never read nor replaced, and neither is a file that cannot be read.

#include <memory>
#include <string>

namespace core {

class TSettingsFile {
public:
    // Reads the file when it exists; a missing or unreadable file reads as empty.
    explicit TSettingsFile(std::string path);
    ~TSettingsFile();
    TSettingsFile(const TSettingsFile&) = delete;
    TSettingsFile& operator=(const TSettingsFile&) = delete;

    const std::string& Path() const { return path_; }

    // Section and key names match without regard to case. An integer is decimal with an
    // optional sign, "0x…" (longer than two characters) or "$…" hexadecimal; a missing or
    // malformed value gives `defaultValue`. A boolean is an integer that is not 0.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Writes the whole file at once: a crash or a full disk leaves the old file or the new one,
    // never a cut one. The folder is made when missing. False when it could not be written, or
    // when what is there was not read (see above) and so is left as it is.
    bool Save();

private:
    class Store;
    std::string path_;
    std::unique_ptr<Store> store_;
    bool refused_ = false;
};

// Where the settings live: "<executable>.ini" beside the executable when that file exists
// (the program carried on a stick keeps its settings with it), otherwise
// $XDG_CONFIG_HOME/orbel-kelvane/kelvane.ini (~/.config when the variable is unset).
std::string SettingsPath(const std::string& executablePath);

// Settings are written only to a folder on a fixed volume, never to removable media or shares.
bool MayWriteSettings(const std::string& settingsPath);

// "Unable to write to %s" with the path put in.
std::string UnableToWrite(const std::string& path);

}  // namespace core
