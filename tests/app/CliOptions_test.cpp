// The command line read into the options of a run, without running it.

#include "app/CliOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DateTime.h"

namespace {

// The forms of a date and time the options take: one digit for month, day and the parts of the
// time, blanks around the value alike on both sides; nothing else.
TEST(CliOptionsTest, DatesTakeOneFormWithOrWithoutBlanksAround) {
    const engine::TDateTime day = engine::EncodeDate(2021, 1, 2);
    const engine::TDateTime withTime = day + engine::EncodeTime(3, 4, 5, 0);
    constexpr engine::TDateTime kRefused = -1;
    const std::pair<const char*, engine::TDateTime> cases[] = {
        {"2021-1-2 3:4:5", withTime},
        {" 2021-01-02", day},
        {"2021-01-02 ", day},
        {" 2021-01-02 03:04:05 ", withTime},
        {"2021-01-0203:04:05", kRefused},
        {"2021-01-02 03:04", kRefused},
        {"2021-+1-02", kRefused},
        {"2021-001-02", kRefused},
    };
    for (const auto& [value, expected] : cases) {
        const std::string option = std::string("--modified=") + value;
        const char* argv[] = {"kelvane-cli", option.c_str(), "a.txt"};
        const app::CliParseResult result = app::ParseCommandLine(3, argv);
        const engine::RunOptions& o = result.command.options;
        const bool taken = result.kind == app::CliParseResult::Kind::Run;
        EXPECT_EQ(taken ? o.modifiedDate + o.modifiedTime : kRefused, expected) << value;
    }
}

// The ways of setting times exclude one another; each reads its own values.
TEST(CliOptionsTest, OneWayOfSettingTimesAtATime) {
    struct Case {
        std::vector<const char*> args;
        bool taken;
        engine::DateChange change;
    };
    const Case cases[] = {
        {{"--shift=-1:00"}, true, engine::DateChange::Shift},
        {{"--shift=+2d03:00:30", "--which=modified"}, true, engine::DateChange::Shift},
        {{"--copy-time=modified", "--which=created,opened"}, true, engine::DateChange::Copy},
        {{"--time-from=name"}, true, engine::DateChange::FromFile},
        {{"--shift=1:60"}, false, {}},
        {{"--copy-time=birth"}, false, {}},
        {{"--time-from=exif,id3,name"}, true, engine::DateChange::FromFile},
        {{"--time-from=exif,gps"}, false, {}},
        {{"--time-from="}, false, {}},
        {{"--id3v2"}, false, {}},
        {{"--which=created"}, false, {}},
        {{"--shift=1:00", "--which=size"}, false, {}},
        {{"--time=2020-01-01", "--shift=1:00"}, false, {}},
        {{"--modified=2020-01-01", "--copy-time=created"}, false, {}},
        {{"--shift=1:00", "--time-from=name"}, false, {}},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"kelvane-cli"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        argv.push_back("a.txt");
        const app::CliParseResult result =
            app::ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        const std::string what = c.args.front();
        ASSERT_EQ(result.kind == app::CliParseResult::Kind::Run, c.taken) << what;
        if (!c.taken) {
            EXPECT_EQ(result.exitCode, 2) << what;
            continue;
        }
        EXPECT_EQ(result.command.options.dateChange, c.change) << what;
    }
    const char* shift[] = {"kelvane-cli", "--shift=-2d01:02:03", "--which=opened", "a.txt"};
    const engine::RunOptions o = app::ParseCommandLine(4, shift).command.options;
    EXPECT_EQ(o.shift, -((2 * 24 + 1) * 3600 + 2 * 60 + 3) * 10'000'000LL);
    EXPECT_TRUE(o.opened && !o.created && !o.modified);
    // The sources are tried in one order, whichever order they are given in.
    const char* sources[] = {"kelvane-cli", "--time-from=name,exif", "a.txt"};
    const engine::RunOptions from = app::ParseCommandLine(3, sources).command.options;
    EXPECT_TRUE(from.fromExif && !from.fromId3 && from.fromName);
    const char* tagKinds[] = {"kelvane-cli", "--id3-rename", "--id3v2", "a.mp3"};
    EXPECT_TRUE(app::ParseCommandLine(4, tagKinds).command.options.id3v2);
}

}  // namespace
