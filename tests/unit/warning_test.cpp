// The line the warning shows under a series for the cause its move
// returned: the words of that cause, never those of another, and never the
// system's text for success under a series that was not installed.
#include "app/globals.h"
#include "app/movefile.h"
#include "app/warning.h"
#include "tests/driver/files.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

// The line under a.dat, noted as not moved with this error.
std::wstring CauseShown(DWORD dwError)
{
    ClearNotMoved();
    NoteNotMoved(L"a.dat", VERDICT_MOVE, dwError, L"");
    WCHAR wszText[c_cchNotMovedText];
    FormatNotMoved(wszText, c_cchNotMovedText, FALSE);
    const std::wstring text = wszText, head = L"\na.dat\n    ";
    size_t at = text.find(head);
    if (at == std::wstring::npos)
        return L"(a.dat is not named) " + text;
    at += head.size();
    return text.substr(at, text.find(L'\n', at) - at);
}

std::wstring SystemText(DWORD dwError)
{
    WCHAR wszText[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, dwError, 0,
                   wszText, 512, NULL);
    std::wstring text = wszText;
    text.erase(text.find_last_not_of(L" \r\n") + 1);
    return text;
}

struct CauseRow {
    DWORD dwError;
    const WCHAR *pwszSays;    // the cause line holds these words
    const WCHAR *pwszNever;   // and never these
};

const CauseRow kCauses[] = {
    {ERROR_DISK_FULL, L"past niet meer: de schijf is vol", L"in gebruik"},
    {ERROR_HANDLE_DISK_FULL, L"past niet meer: de schijf is vol", L"in gebruik"},
    {ERROR_SHARING_VIOLATION, L"in gebruik", L"de schijf is vol"},
    {ERROR_ACCESS_DENIED, L"geweigerd", L"in gebruik"},
    {c_dwErrFolderInTheWay, L"in de data-map staat een map met deze naam", L"geweigerd"},
    {ERROR_SUCCESS, L"niet ge\u00efnstalleerd", nullptr},
};

TEST(NotMovedCause, EachErrorIsToldInItsOwnWords)
{
    strcpy(g_szDataDir, "C:\\rrtest\\data\\");   // on this machine, not on the network
    const std::wstring success = SystemText(ERROR_SUCCESS);
    ASSERT_FALSE(success.empty()) << "the system has no text for success";
    for (const CauseRow &row : kCauses) {
        std::wstring cause = CauseShown(row.dwError);
        std::string shown = driver::Narrow(cause, CP_UTF8);
        EXPECT_NE(cause.find(row.pwszSays), std::wstring::npos) << row.dwError << ": " << shown;
        if (row.pwszNever != nullptr) {
            EXPECT_EQ(cause.find(row.pwszNever), std::wstring::npos) << row.dwError << ": " << shown;
        }
        EXPECT_EQ(cause.find(success), std::wstring::npos) << row.dwError << ": " << shown;
    }
    ClearNotMoved();
}

}  // namespace
