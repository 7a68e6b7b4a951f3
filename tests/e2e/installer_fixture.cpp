#include "tests/e2e/installer_fixture.h"

const char kNotFoundText[] =
    "Raadrups is niet te vinden. Indien het programma toch op de computer "
    "staat, blader dan zelf naar de data-map van Raadrups!";
const char kSuccessText[] = "De serie(s) zijn ingelezen!";
const char kNotMovedStart[] = "De volgende serie(s) zijn niet ingelezen:";

std::string SuccessTextNaming(const std::vector<std::string> &wereThere)
{
    std::string text = kSuccessText;
    if (wereThere.empty())
        return text;
    text += "\n\nDeze serie(s) stonden al in de data-map en zaten niet (meer) in dit pakket; "
            "de versie in de data-map is gebleven:\n";
    for (const std::string &name : wereThere)
        text += name + "\n";
    return text;
}

std::wstring NotMovedTextW(const std::vector<std::wstring> &names)
{
    std::wstring text = driver::Widen(kNotMovedStart, CP_ACP) + L"\n\n";
    for (const std::wstring &name : names)
        text += name + L"\n";
    return text;
}

void InstallerRun::SetUp()
{
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char &ch : name)
        if (ch == '/')
            ch = '_';
    root = driver::FreshFolder(name);
    start = root + "\\nieuw";
    data = root + "\\data";
    driver::MakeFolder(start);
    driver::MakeFolder(data);
}

void InstallerRun::TearDown()
{
    driver::Kill(inst);
}

void InstallerRun::AddSeries(const std::vector<std::string> &names)
{
    for (const std::string &name : names)
        driver::WriteFile(StartPath(name), driver::SeriesBytes(name));
}

void InstallerRun::WriteList(const std::string &bytes)
{
    driver::WriteFile(ListPath(), bytes);
}

HWND InstallerRun::StartDialog()
{
    std::string program = exe.empty() ? driver::InstallerPath() : exe;
    EXPECT_TRUE(driver::Start(inst, program, start)) << program;
    HWND hDlg = driver::WaitForDialog(inst, "Raadrups data-map");
    EXPECT_NE(hDlg, nullptr) << "no data-folder dialog";
    return hDlg;
}

void InstallerRun::BrowseTo(HWND hDlg, const std::string &folder)
{
    HWND hBrowser = driver::OpenBrowser(hDlg);
    ASSERT_NE(hBrowser, nullptr) << "no folder browser";
    ASSERT_TRUE(driver::BrowserSelect(inst, hBrowser, folder)) << folder;
    driver::BrowserConfirm(hBrowser);
    ASSERT_TRUE(driver::WaitGone(hBrowser));
    EXPECT_EQ(driver::ItemText(hDlg, IDC_DATAPATH), folder);
}

std::string InstallerRun::InstallTo(const std::string &folder, const std::string &caption)
{
    HWND hDlg = StartDialog();
    if (hDlg == nullptr)
        return "";
    BrowseTo(hDlg, folder);
    driver::Press(hDlg, IDOK);
    std::string text = AnswerMessageBox(caption);
    ExpectCleanExit();
    return text;
}

std::string InstallerRun::AnswerMessageBox(const std::string &caption, bool *pWarningIcon,
                                           std::wstring *pWideText)
{
    HWND hBox = driver::WaitForDialog(inst, caption);
    EXPECT_NE(hBox, nullptr) << "no message box \"" << caption << "\"";
    if (hBox == nullptr)
        return "";
    std::string text = driver::MessageBoxText(hBox);
    if (pWideText != nullptr)
        *pWideText = driver::MessageBoxTextW(hBox);
    if (pWarningIcon != nullptr)
        *pWarningIcon = driver::MessageBoxHasIcon(hBox, IDI_WARNING);
    driver::Press(hBox, IDOK);
    return text;
}

void InstallerRun::ExpectCleanExit()
{
    DWORD dwExit = 1;
    ASSERT_TRUE(driver::WaitForExit(inst, &dwExit)) << "the installer did not end; terminated";
    EXPECT_EQ(dwExit, 0u);
}

void InstallerRun::ExpectSilentExit(HWND hDlg)
{
    EXPECT_TRUE(driver::WaitGone(hDlg)) << "the dialog did not close";
    EXPECT_TRUE(driver::ShowsNothingFor(inst, driver::kWaitMs)) << "the installer showed a window";
    ExpectCleanExit();
}

void InstallerRun::ExpectInStartOnly(const std::string &name)
{
    EXPECT_TRUE(driver::HasBytes(StartPath(name), driver::SeriesBytes(name))) << "(start folder)";
    EXPECT_TRUE(driver::IsAbsent(DataPath(name))) << "(data folder)";
}

void InstallerRun::ExpectInDataOnly(const std::string &name)
{
    EXPECT_TRUE(driver::HasBytes(DataPath(name), driver::SeriesBytes(name))) << "(data folder)";
    EXPECT_TRUE(driver::IsAbsent(StartPath(name))) << "(start folder)";
}

void InstallerRun::ExpectListKept(const std::string &bytes)
{
    EXPECT_TRUE(driver::HasBytes(ListPath(), bytes)) << "(the list must be kept as it was)";
}

void InstallerRun::ExpectListDeleted()
{
    EXPECT_FALSE(driver::FileExists(ListPath())) << "the list was not deleted";
}
