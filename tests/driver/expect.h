// What a test asks of the files and the programs it ran, for EXPECT_TRUE and
// ASSERT_TRUE: each check says what it found (a bare "false" tells nothing
// about a file that is there but cut short or different), and the failure
// names the line that asked. Shared by the unit and the end-to-end tests.
#pragma once
#include "tests/driver/driver.h"
#include "tests/driver/files.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace driver {

// Where a helper that checks as it goes was called from. As a defaulted last
// argument it is the caller's file and line (what C++20 names
// std::source_location), and the helper reports its failures there.
struct Here {
    Here(const char *pszFile = __builtin_FILE(), int nLine = __builtin_LINE())
        : file(pszFile), line(nLine)
    {
    }
    const char *file;
    int line;
};

// Reports a check that failed at the line that asked; whether it held.
inline bool Check(const Here &here, const ::testing::AssertionResult &result)
{
    if (!result)
        ADD_FAILURE_AT(here.file, here.line) << result.message();
    return result;
}

// A text the program showed is the one expected; otherwise shows both.
inline ::testing::AssertionResult Says(const std::string &shown, const std::string &want)
{
    if (shown == want)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "shown:\n" << shown << "\ninstead of:\n" << want;
}

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

// The program ends by itself within the bound, with exit code 0; one that
// does not end is terminated.
inline ::testing::AssertionResult EndsCleanly(Installer &inst)
{
    DWORD dwExit = 1;
    if (!WaitForExit(inst, &dwExit))
        return ::testing::AssertionFailure() << "the installer did not end; terminated";
    if (dwExit != 0)
        return ::testing::AssertionFailure() << "the installer ended with exit code " << dwExit;
    return ::testing::AssertionSuccess();
}

// The dialog closes, nothing more is shown, and the program ends cleanly.
inline ::testing::AssertionResult EndsSilently(Installer &inst, HWND hDlg)
{
    if (!WaitGone(hDlg))
        return ::testing::AssertionFailure() << "the dialog did not close";
    if (!ShowsNothingFor(inst, kWaitMs))
        return ::testing::AssertionFailure() << "the installer showed a window";
    return EndsCleanly(inst);
}

// A start folder and a data folder, and what a test asks of the series
// (each holding what SeriesBytes gives it) and of the list in them.
struct PackFolders {
    std::string start;   // no trailing backslash
    std::string data;    // no trailing backslash

    std::string StartPath(const std::string &name) const { return start + "\\" + name; }
    std::string DataPath(const std::string &name) const { return data + "\\" + name; }
    std::string ListPath() const { return StartPath("teinstal.txt"); }

    // Installed: whole in the data folder, and gone from the start folder.
    ::testing::AssertionResult InDataOnly(const std::string &name) const
    {
        ::testing::AssertionResult result = HasBytes(DataPath(name), SeriesBytes(name));
        return result ? IsAbsent(StartPath(name)) : result;
    }
    // Not moved: whole in the start folder, and nothing of its name in the
    // data folder.
    ::testing::AssertionResult InStartOnly(const std::string &name) const
    {
        ::testing::AssertionResult result = HasBytes(StartPath(name), SeriesBytes(name));
        return result ? IsAbsent(DataPath(name)) : result;
    }
    ::testing::AssertionResult ListKept(const std::string &bytes) const
    {
        return HasBytes(ListPath(), bytes);
    }
    ::testing::AssertionResult ListDeleted() const { return IsAbsent(ListPath()); }
};

}  // namespace driver
