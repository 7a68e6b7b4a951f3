// Assertions about the files a test left behind that say what they found,
// for EXPECT_TRUE: a bare "false" tells nothing about a file that is there
// but cut short or different.
#pragma once
#include "tests/driver/files.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace driver {

// The file holds exactly these bytes. Otherwise names what is there:
// nothing, a file of another size, or the first byte that differs.
inline ::testing::AssertionResult HasBytes(const std::string &path, const std::string &bytes)
{
    std::string got;
    if (!ReadFile(path, &got))
        return ::testing::AssertionFailure() << path << " is missing or cannot be read";
    if (got.size() != bytes.size())
        return ::testing::AssertionFailure() << path << " holds " << got.size()
                                             << " bytes instead of " << bytes.size();
    auto diff = std::mismatch(got.begin(), got.end(), bytes.begin());
    if (diff.first != got.end())
        return ::testing::AssertionFailure() << path << " differs at offset "
                                             << (diff.first - got.begin());
    return ::testing::AssertionSuccess();
}

// No file stands at the path; otherwise says how large the one there is.
inline ::testing::AssertionResult IsAbsent(const std::string &path)
{
    if (!FileExists(path))
        return ::testing::AssertionSuccess();
    std::string got;
    ReadFile(path, &got);
    return ::testing::AssertionFailure() << path << " is there (" << got.size() << " bytes)";
}

}  // namespace driver
