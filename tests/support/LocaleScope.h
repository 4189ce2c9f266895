#pragma once
// Puts a locale and a time zone in force for one test and restores the "C" locale afterwards.

#include <clocale>
#include <ctime>
#include <string>

#include "platform/LocaleFormats.h"
#include "support/TempDir.h"

namespace testsupport {

class LocaleScope {
public:
    LocaleScope(const char* locale, const char* timeZone) : tz_("TZ", timeZone) {
        tzset();
        available_ = std::setlocale(LC_ALL, locale) != nullptr;
        platform::ReloadLocaleFormats();
    }
    ~LocaleScope() {
        std::setlocale(LC_ALL, "C");
        platform::ReloadLocaleFormats();
    }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

    // False when the machine lacks the locale (scripts/install-deps generates it).
    bool Available() const { return available_; }

private:
    ScopedEnv tz_;
    bool available_ = false;
};

}  // namespace testsupport
