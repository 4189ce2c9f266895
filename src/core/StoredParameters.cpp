#include "core/StoredParameters.h"

#include <string>

#include "core/SettingsFile.h"
#include "platform/FileTime.h"

namespace core {
namespace {

const std::string kParameters = "Parameters";

// A number outside [low, high] is no value of ours: the default stands.
int ReadInRange(const TSettingsFile& ini, const std::string& key, int low, int high,
                int defaultValue) {
    const int value = ini.ReadInteger(kParameters, key, defaultValue);
    return value >= low && value <= high ? value : defaultValue;
}

}  // namespace

TStoredParameters ReadStoredParameters(const TSettingsFile& ini) {
    TStoredParameters s;
    s.shiftEarlier = ini.ReadBool(kParameters, "ShiftEarlier", s.shiftEarlier);
    s.shiftDays = ReadInRange(ini, "ShiftDays", 0, kMaxShiftDays, s.shiftDays);
    s.shiftHours = ReadInRange(ini, "ShiftHours", 0, 23, s.shiftHours);
    s.shiftMinutes = ReadInRange(ini, "ShiftMinutes", 0, 59, s.shiftMinutes);
    s.shiftSeconds = ReadInRange(ini, "ShiftSeconds", 0, 59, s.shiftSeconds);
    s.copyFrom = static_cast<engine::TimeField>(
        ReadInRange(ini, "CopyFrom", static_cast<int>(engine::TimeField::Created),
                    static_cast<int>(engine::TimeField::Opened), static_cast<int>(s.copyFrom)));
    s.fromExif = ini.ReadBool(kParameters, "FromExif", s.fromExif);
    s.fromId3 = ini.ReadBool(kParameters, "FromID3v2", s.fromId3);
    s.fromName = ini.ReadBool(kParameters, "FromName", s.fromName);
    s.id3v2 = ini.ReadBool(kParameters, "ID3v2", s.id3v2);
    return s;
}

void WriteStoredParameters(TSettingsFile& ini, const TStoredParameters& s) {
    ini.WriteBool(kParameters, "ShiftEarlier", s.shiftEarlier);
    ini.WriteInteger(kParameters, "ShiftDays", s.shiftDays);
    ini.WriteInteger(kParameters, "ShiftHours", s.shiftHours);
    ini.WriteInteger(kParameters, "ShiftMinutes", s.shiftMinutes);
    ini.WriteInteger(kParameters, "ShiftSeconds", s.shiftSeconds);
    ini.WriteInteger(kParameters, "CopyFrom", static_cast<int>(s.copyFrom));
    ini.WriteBool(kParameters, "FromExif", s.fromExif);
    ini.WriteBool(kParameters, "FromID3v2", s.fromId3);
    ini.WriteBool(kParameters, "FromName", s.fromName);
    ini.WriteBool(kParameters, "ID3v2", s.id3v2);
}

std::int64_t ShiftTicks(const TStoredParameters& s) {
    const std::int64_t seconds =
        ((static_cast<std::int64_t>(s.shiftDays) * 24 + s.shiftHours) * 60 + s.shiftMinutes) * 60 +
        s.shiftSeconds;
    const std::int64_t ticks = seconds * static_cast<std::int64_t>(platform::kTicksPerSecond);
    return s.shiftEarlier ? -ticks : ticks;
}

void ApplyStoredParameters(const TStoredParameters& s, engine::RunOptions& options) {
    options.shift = ShiftTicks(s);
    options.copyFrom = s.copyFrom;
    options.fromExif = s.fromExif;
    options.fromId3 = s.fromId3;
    options.fromName = s.fromName;
    options.id3v2 = s.id3v2;
}

}  // namespace core
