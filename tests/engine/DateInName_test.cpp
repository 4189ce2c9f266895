#include "engine/DateInName.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

// Each pattern a camera, phone or messenger writes, and names that only look like one.
TEST(DateInNameTest, ReadsThePatternsCamerasAndPhonesWrite) {
    struct Case {
        const char* name;
        std::optional<platform::SystemTime> parts;
    };
    const Case cases[] = {
        {"20230101_120000.jpg", platform::SystemTime{2023, 1, 1, 12, 0, 0, 0}},
        {"2023-01-01 12.00.00.png", platform::SystemTime{2023, 1, 1, 12, 0, 0, 0}},
        {"2023-01-01_12-00-00.mp4", platform::SystemTime{2023, 1, 1, 12, 0, 0, 0}},
        {"20230101-120000.jpg", platform::SystemTime{2023, 1, 1, 12, 0, 0, 0}},
        {"IMG_20230102_134500123.jpg", platform::SystemTime{2023, 1, 2, 13, 45, 0, 0}},
        {"IMG-20230101-WA0001.jpg", platform::SystemTime{2023, 1, 1, 0, 0, 0, 0}},
        {"Screenshot 2024-02-29 at 23:59:58.png",
         platform::SystemTime{2024, 2, 29, 0, 0, 0, 0}},  // " at " is no time separator
        {"PXL_20240229_235958.jpg", platform::SystemTime{2024, 2, 29, 23, 59, 58, 0}},
        {"a 2023-01-01_25-00-00 b", platform::SystemTime{2023, 1, 1, 0, 0, 0, 0}},
        {"20230229_120000.jpg", std::nullopt},   // no 29 February in 2023
        {"120230101_120000.jpg", std::nullopt},  // part of a longer number
        {"2023-01-01x.jpg", platform::SystemTime{2023, 1, 1, 0, 0, 0, 0}},
        {"2023-0101.jpg", std::nullopt},
        {"18991231.jpg", std::nullopt},
        {"notes.txt", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<platform::SystemTime> parts = DateInName(c.name);
        ASSERT_EQ(parts.has_value(), c.parts.has_value()) << c.name;
        if (parts) {
            EXPECT_EQ(std::tie(parts->year, parts->month, parts->day, parts->hour, parts->minute,
                               parts->second),
                      std::tie(c.parts->year, c.parts->month, c.parts->day, c.parts->hour,
                               c.parts->minute, c.parts->second))
                << c.name;
        }
    }
}

}  // namespace
}  // namespace engine
