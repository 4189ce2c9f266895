#pragma once
// A platform::Result as a test assertion: a failure prints its reason.

#include <gtest/gtest.h>

#include "platform/Result.h"

namespace testsupport {

inline testing::AssertionResult Done(const platform::Result& result) {
    if (result)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << result.Reason();
}

}  // namespace testsupport
