#include "app/CliTimes.h"

#include <CLI/CLI.hpp>

#include <map>
#include <optional>
#include <regex>
#include <sstream>

#include "engine/DateAssign.h"
#include "engine/DosTime.h"
#include "platform/FileTime.h"

namespace app {
namespace {

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS" into a date and a time of day. Month, day and the
// parts of the time may have one digit, as date(1) and touch -d take them, and blanks around
// the value (left by quoting in a script) do not count; nothing else is taken.
bool ReadDateTime(const std::string& text, engine::TDateTime& date, engine::TDateTime& time,
                  std::string& error) {
    static const std::regex form(
        R"(\s*(\d{4})-(\d{1,2})-(\d{1,2})(?: (\d{1,2}):(\d{1,2}):(\d{1,2}))?\s*)");
    std::smatch parts;
    const auto number = [&](std::size_t index) {
        return parts[index].matched ? std::stoi(parts[index].str()) : 0;
    };
    if (!std::regex_match(text, parts, form) ||
        !engine::TryEncodeDate(number(1), number(2), number(3), date) ||
        !engine::TryEncodeTime(number(4), number(5), number(6), 0, time)) {
        error = "'" + text + "' is not a date and time of the form YYYY-MM-DD HH:MM:SS";
        return false;
    }
    return true;
}

// A date and time that the DOS form can hold.
bool ReadWritableDate(const std::string& option, const std::string& text, engine::TDateTime& date,
                      engine::TDateTime& time, std::string& error) {
    if (!ReadDateTime(text, date, time, error))
        return false;
    if (engine::IsDosYear(date))
        return true;
    error = option + ": " + engine::kYearRangeMessage;
    return false;
}

// "[+|-][Dd]HH:MM[:SS]" into ticks of 100 ns.
bool ReadShift(const std::string& text, std::int64_t& ticks, std::string& error) {
    static const std::regex form(R"(\s*([+-]?)(?:(\d+)d)?(\d{1,2}):(\d{2})(?::(\d{2}))?\s*)");
    std::smatch parts;
    if (!std::regex_match(text, parts, form) || std::stoi(parts[4].str()) > 59 ||
        (parts[5].matched && std::stoi(parts[5].str()) > 59) || parts[2].length() > 6) {
        error =
            "--shift takes [+|-][DAYSd]HH:MM[:SS], as in -1:00 or +2d03:00:30, not '" + text + "'";
        return false;
    }
    const std::int64_t days = parts[2].matched ? std::stoll(parts[2].str()) : 0;
    const std::int64_t seconds =
        ((days * 24 + std::stoll(parts[3].str())) * 60 + std::stoll(parts[4].str())) * 60 +
        (parts[5].matched ? std::stoll(parts[5].str()) : 0);
    ticks = (parts[1].str() == "-" ? -seconds : seconds) *
            static_cast<std::int64_t>(platform::kTicksPerSecond);
    return true;
}

const std::map<std::string, engine::TimeField> kTimeFields = {
    {"created", engine::TimeField::Created},
    {"modified", engine::TimeField::Modified},
    {"opened", engine::TimeField::Opened}};

// The words of a comma-separated list, each once.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; std::getline(in, word, ',');)
        words.push_back(word);
    return words;
}

}  // namespace

TCliTimes::TCliTimes(CLI::App& cli)
    : time_(cli.add_option("--time", timeText_, "Set all three times to \"YYYY-MM-DD HH:MM:SS\"")),
      created_(cli.add_option("--created", createdText_,
                              "Set the creation time (\"YYYY-MM-DD HH:MM:SS\")")),
      modified_(cli.add_option("--modified", modifiedText_,
                               "Set the last-write time (\"YYYY-MM-DD HH:MM:SS\")")),
      opened_(cli.add_option("--opened", openedText_, "Set the last-access date (YYYY-MM-DD)")),
      shift_(
          cli.add_option("--shift", shiftText_,
                         "Move the times by [+|-][DAYSd]HH:MM[:SS], as in -1:00 or +2d03:00:30")),
      copy_(cli.add_option("--copy-time", copyText_,
                           "Write this time (created, modified or opened) to the others")),
      from_(cli.add_option("--time-from", fromText_,
                           "Set the times from a date the file carries, from any of exif (a "
                           "photo's EXIF date), id3 (a song's ID3v2 recording time) and name "
                           "(the date and time in its name), separated by commas; tried in "
                           "that order")),
      which_(cli.add_option("--which", whichText_,
                            "The times --shift, --copy-time and --time-from change, of "
                            "created,modified,opened (default: all three)")) {}

bool TCliTimes::Read(engine::RunOptions& o, std::string& error) const {
    const int ways = (time_->count() > 0) +
                     (created_->count() || modified_->count() || opened_->count()) +
                     (shift_->count() > 0) + (copy_->count() > 0) + (from_->count() > 0);
    if (ways > 1) {
        error =
            "--time, --created/--modified/--opened, --shift, --copy-time and --time-from are "
            "each a way of setting times; give one";
        return false;
    }
    if (which_->count() && !shift_->count() && !copy_->count() && !from_->count()) {
        error = "--which goes with --shift, --copy-time or --time-from";
        return false;
    }
    if (shift_->count()) {
        o.dateChange = engine::DateChange::Shift;
        return ReadShift(shiftText_, o.shift, error) && ReadWhich(o, error);
    }
    if (copy_->count()) {
        const auto found = kTimeFields.find(copyText_);
        if (found == kTimeFields.end()) {
            error = "--copy-time takes created, modified or opened";
            return false;
        }
        o.dateChange = engine::DateChange::Copy;
        o.copyFrom = found->second;
        return ReadWhich(o, error);
    }
    if (from_->count()) {
        static const std::map<std::string, bool engine::RunOptions::*> kSources = {
            {"exif", &engine::RunOptions::fromExif},
            {"id3", &engine::RunOptions::fromId3},
            {"name", &engine::RunOptions::fromName}};
        const std::vector<std::string> sources = Words(fromText_);
        for (const std::string& source : sources) {
            const auto found = kSources.find(source);
            if (found == kSources.end()) {
                error = "--time-from takes exif, id3 and name, separated by commas, not '" +
                        source + "'";
                return false;
            }
            o.*(found->second) = true;
        }
        if (sources.empty()) {
            error = "--time-from takes exif, id3 and name, separated by commas";
            return false;
        }
        o.dateChange = engine::DateChange::FromFile;
        return ReadWhich(o, error);
    }
    return ReadGiven(o, error);
}

bool TCliTimes::ReadWhich(engine::RunOptions& o, std::string& error) const {
    if (!which_->count()) {
        o.created = o.modified = o.opened = true;
        return true;
    }
    for (const std::string& word : Words(whichText_)) {
        const auto found = kTimeFields.find(word);
        if (found == kTimeFields.end()) {
            error = "--which takes created, modified and opened, separated by commas";
            return false;
        }
        (found->second == engine::TimeField::Created    ? o.created
         : found->second == engine::TimeField::Modified ? o.modified
                                                        : o.opened) = true;
    }
    return true;
}

bool TCliTimes::ReadGiven(engine::RunOptions& o, std::string& error) const {
    engine::TDateTime unusedTime = 0;
    if (time_->count()) {
        o.dateChange = engine::DateChange::SetSelected;
        return ReadDateTime(timeText_, o.date, o.time, error);
    }
    o.created = created_->count() > 0;
    o.modified = modified_->count() > 0;
    o.opened = opened_->count() > 0;
    if (!o.created && !o.modified && !o.opened)
        return true;
    o.dateChange = engine::DateChange::SetSeparate;
    // The run itself examines only the first of these dates, as the window does; on the
    // command line a date that cannot be written is refused whichever option gives it.
    return (!o.created ||
            ReadWritableDate("--created", createdText_, o.createdDate, o.createdTime, error)) &&
           (!o.modified ||
            ReadWritableDate("--modified", modifiedText_, o.modifiedDate, o.modifiedTime, error)) &&
           (!o.opened ||
            ReadWritableDate("--opened", openedText_, o.openedDate, unusedTime, error));
}

}  // namespace app
