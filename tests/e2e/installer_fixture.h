// A start folder with series files and a list, a data folder beside it, and
// the real installer started in the start folder.
#pragma once
#include "tests/driver/driver.h"
#include "tests/driver/expect.h"
#include "tests/driver/files.h"
#include "res/resource.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

extern const char kNotFoundText[];
extern const char kSuccessText[];
extern const char kNotMovedStart[];

// The success box's text when these series of the list were not in the
// pack but stood in the data folder already.
std::string SuccessTextNaming(const std::vector<std::string> &wereThere);

// The "Let op" text naming these series, as NamesShown gives it.
std::wstring NotMovedTextW(const std::vector<std::wstring> &names);

// A "Let op" text without the cause under each name and without the
// advice at the end: its heading, the names shown, "en nog N andere" and
// the note on a list not read to its end.
template <class S> S NamesShown(const S &text)
{
    const typename S::value_type kNewline = '\n', kSpace = ' ';
    S names;
    int cBlank = 0;
    for (size_t at = 0, end; (end = text.find(kNewline, at)) != S::npos; at = end + 1) {
        S line = text.substr(at, end - at);
        if (!line.empty() && line[0] == kSpace)
            continue;   // a cause
        if (line.empty() && ++cBlank == 2)
            break;      // the advice follows
        names += line;
        names += kNewline;
    }
    return names;
}

class InstallerRun : public ::testing::Test, protected driver::PackFolders {
protected:
    std::string root;    // C:\rrtest\<test>
    driver::Installer inst;
    std::string exe;     // the installer started ("": as the build made it)

    void SetUp() override;
    void TearDown() override;

    void AddSeries(const std::vector<std::string> &names);
    void WriteList(const std::string &bytes);

    // Starts the installer in the start folder and waits for its dialog.
    HWND StartDialog(driver::Here here = {});
    // Browses to the folder and confirms it; the path box then holds it.
    ::testing::AssertionResult BrowseTo(HWND hDlg, const std::string &folder);
    // Waits for a message box with this caption, returns its text (in the
    // ANSI code page; as it stands in *pWideText) and confirms it.
    std::string AnswerMessageBox(const std::string &caption, bool *pWarningIcon = nullptr,
                                 std::wstring *pWideText = nullptr, driver::Here here = {});
    // The whole run as a user makes it: starts the installer, chooses the
    // folder in the dialog, presses "Ok", answers the closing box with this
    // caption and returns its text; expects the program to end by itself.
    std::string InstallTo(const std::string &folder, const std::string &caption,
                          std::wstring *pWideText = nullptr, driver::Here here = {});
};
