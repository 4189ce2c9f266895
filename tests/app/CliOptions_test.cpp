// The command line read into the options of a run, without running it.

#include "app/CliOptions.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
