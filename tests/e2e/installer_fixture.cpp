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

HWND InstallerRun::StartDialog(driver::Here here)
{
    std::string program = exe.empty() ? driver::InstallerPath() : exe;
    if (!driver::Start(inst, program, start)) {
        ADD_FAILURE_AT(here.file, here.line) << "cannot start " << program;
        return nullptr;
    }
    HWND hDlg = driver::WaitForDialog(inst, "Raadrups data-map");
    if (hDlg == nullptr)
        ADD_FAILURE_AT(here.file, here.line) << "no data-folder dialog";
    return hDlg;
}

::testing::AssertionResult InstallerRun::BrowseTo(HWND hDlg, const std::string &folder)
{
    HWND hBrowser = driver::OpenBrowser(hDlg);
    if (hBrowser == nullptr)
        return ::testing::AssertionFailure() << "no folder browser";
    if (!driver::BrowserSelect(inst, hBrowser, folder))
        return ::testing::AssertionFailure() << "the browser does not reach " << folder;
    driver::BrowserConfirm(hBrowser);
    if (!driver::WaitGone(hBrowser))
        return ::testing::AssertionFailure() << "the browser did not close";
    std::string box = driver::ItemText(hDlg, IDC_DATAPATH);
    if (box != folder)
        return ::testing::AssertionFailure() << "the path box holds " << box << " instead of " << folder;
    return ::testing::AssertionSuccess();
}

std::string InstallerRun::InstallTo(const std::string &folder, const std::string &caption,
                                    std::wstring *pWideText, driver::Here here)
{
    HWND hDlg = StartDialog(here);
    if (hDlg == nullptr || !driver::Check(here, BrowseTo(hDlg, folder)))
        return "";
    driver::Press(hDlg, IDOK);
    std::string text = AnswerMessageBox(caption, nullptr, pWideText, here);
    driver::Check(here, driver::EndsCleanly(inst));
    return text;
}

std::string InstallerRun::AnswerMessageBox(const std::string &caption, bool *pWarningIcon,
                                           std::wstring *pWideText, driver::Here here)
{
    HWND hBox = driver::WaitForDialog(inst, caption);
    if (hBox == nullptr) {
        ADD_FAILURE_AT(here.file, here.line) << "no message box \"" << caption << "\"";
        return "";
    }
    std::string text = driver::MessageBoxText(hBox);
    if (pWideText != nullptr)
        *pWideText = driver::MessageBoxTextW(hBox);
    if (pWarningIcon != nullptr)
        *pWarningIcon = driver::MessageBoxHasIcon(hBox, IDI_WARNING);
    driver::Press(hBox, IDOK);
    return text;
}
