// A click on the link opens the download page through the shell and
// leaves the dialog open; a click beside it opens nothing. The http
// association of the test prefix points at the recorder for the duration,
// so no browser starts.
#include <gtest/gtest.h>
#include "tests/link/linktest.h"
#include <tlhelp32.h>
#include "app/globals.h"
#include "res/resource.h"
#include "ui/datafolderdlg.h"

namespace {

const char c_szCommandKey[] = "http\\shell\\open\\command";
const char c_szRecorder[] = "link_recorder.exe";

// Points the http association at the recorder and puts back what was there.
// Test programs running side by side take turns, through a named mutex of
// the prefix, since the association is one for all of them.
class BrowserRecorder {
public:
    explicit BrowserRecorder(const std::string &output) : m_output(output)
    {
        m_hMutex = CreateMutexA(NULL, FALSE, "instrrse-link-tests-http-association");
        DWORD dw = m_hMutex != NULL ? WaitForSingleObject(m_hMutex, 60000) : WAIT_FAILED;
        m_fOwnMutex = dw == WAIT_OBJECT_0 || dw == WAIT_ABANDONED;
        if (!m_fOwnMutex)
            return;
        DeleteFileA(m_output.c_str());
        HKEY hkey;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, c_szCommandKey, 0, KEY_QUERY_VALUE, &hkey) == ERROR_SUCCESS) {
            char sz[1024];
            DWORD cb = sizeof(sz) - 1, dwType = 0;
            if (RegQueryValueExA(hkey, NULL, NULL, &dwType, (BYTE *)sz, &cb) == ERROR_SUCCESS &&
                (dwType == REG_SZ || dwType == REG_EXPAND_SZ)) {
                sz[cb] = '\0';
                m_fHadValue = true;
                m_dwOldType = dwType;
                m_old = sz;
            }
            RegCloseKey(hkey);
        }
        std::string command = "\"" + driver::ProgramFolder() + c_szRecorder + "\" \"" + m_output + "\" \"%1\"";
        m_fSet = SetCommand(REG_SZ, command);
    }
    ~BrowserRecorder()
    {
        if (m_fOwnMutex) {
            if (m_fHadValue)
                SetCommand(m_dwOldType, m_old);
            else
                RegDeleteKeyA(HKEY_CLASSES_ROOT, c_szCommandKey);
            DeleteFileA(m_output.c_str());
            ReleaseMutex(m_hMutex);
        }
        if (m_hMutex != NULL)
            CloseHandle(m_hMutex);
    }
    bool IsSet() const { return m_fSet; }

    // Waits, within a bound, until at least cMin lines were recorded and no
    // recorder started by this process is still running; returns the lines.
    std::vector<std::string> Wait(size_t cMin)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < 200; i++) {
            bool fRunning = AnyRecorderRunning();
            lines = ReadLines();
            if (!fRunning && lines.size() >= cMin)
                break;
            Sleep(50);
        }
        return lines;
    }

private:
    HANDLE m_hMutex = NULL;
    bool m_fOwnMutex = false;
    std::string m_output;
    bool m_fHadValue = false;
    bool m_fSet = false;
    DWORD m_dwOldType = REG_SZ;
    std::string m_old;

    static bool SetCommand(DWORD dwType, const std::string &value)
    {
        HKEY hkey;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, c_szCommandKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hkey, NULL) !=
            ERROR_SUCCESS)
            return false;
        LONG lr = RegSetValueExA(hkey, NULL, 0, dwType, (const BYTE *)value.c_str(), (DWORD)value.size() + 1);
        RegCloseKey(hkey);
        return lr == ERROR_SUCCESS;
    }

    static bool AnyRecorderRunning()
    {
        HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (hSnap == INVALID_HANDLE_VALUE)
            return false;
        PROCESSENTRY32 pe = {};
        pe.dwSize = sizeof(pe);
        bool fFound = false;
        for (BOOL f = Process32First(hSnap, &pe); f && !fFound; f = Process32Next(hSnap, &pe))
            fFound = lstrcmpiA(pe.szExeFile, c_szRecorder) == 0 && pe.th32ParentProcessID == GetCurrentProcessId();
        CloseHandle(hSnap);
        return fFound;
    }

    std::vector<std::string> ReadLines()
    {
        std::vector<std::string> lines;
        HANDLE hFile = CreateFileA(m_output.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hFile == INVALID_HANDLE_VALUE)
            return lines;
        char sz[4096];
        DWORD cb = 0;
        BOOL fRead = ReadFile(hFile, sz, sizeof(sz) - 1, &cb, NULL);
        CloseHandle(hFile);
        if (!fRead)
            return lines;
        std::string text(sz, cb), line;
        for (char c : text) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else if (c != '\r') {
                line += c;
            }
        }
        return lines;
    }
};

std::string RecorderOutput(const char *pszName)
{
    char szTemp[MAX_PATH];
    DWORD cch = GetTempPathA(MAX_PATH, szTemp);
    if (cch == 0 || cch >= MAX_PATH)
        return "";
    return std::string(szTemp) + "instrrse-link-" + std::to_string(GetCurrentProcessId()) + "-" + pszName + ".txt";
}

const std::string c_expected = std::string("3 ") + c_szDownloadUrl;

void Click(HWND hDlg, int x, int y)
{
    SendMessageA(hDlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

// The clicks beside come first; once the one click on the link has been
// recorded and no recorder runs any more, any of them would have shown up.
TEST(LinkClick, OnlyAClickOnTheLinkOpensThePage)
{
    BrowserRecorder recorder(RecorderOutput("modeless"));
    ASSERT_TRUE(recorder.IsSet());
    HWND hDlg = OpenDataFolderDialog();
    ASSERT_NE(hDlg, (HWND)NULL);

    const POINT ptBeside[] = {{82, 200}, {386, 200}, {200, 194}, {200, 210}, {30, 30}};
    for (const POINT &pt : ptBeside)
        Click(hDlg, pt.x, pt.y);
    Click(hDlg, 200, 200);

    std::vector<std::string> lines = recorder.Wait(1);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(c_expected, lines[0]);
    EXPECT_TRUE(IsWindow(hDlg));
    EXPECT_TRUE(IsWindowVisible(hDlg));
    CloseDataFolderDialog(hDlg);
}

TEST(LinkClick, ClickNeedsNoHoverFirst)
{
    BrowserRecorder recorder(RecorderOutput("nohover"));
    ASSERT_TRUE(recorder.IsSet());
    HWND hDlg = OpenDataFolderDialog();
    ASSERT_NE(hDlg, (HWND)NULL);
    EXPECT_FALSE(g_fLinkHot);
    Click(hDlg, 83, 195);
    Click(hDlg, 385, 209);
    std::vector<std::string> lines = recorder.Wait(2);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(c_expected, lines[0]);
    EXPECT_EQ(c_expected, lines[1]);
    CloseDataFolderDialog(hDlg);
}

// The modal dialog as the run shows it: a click on the link, posted as the
// mouse would, opens the page while the dialog carries on until cancelled.
struct ModalDrive {
    BrowserRecorder *pRecorder;
    std::vector<std::string> lines;
    BOOL fVisibleAfterClick;
    BOOL fFoundDialog;
};

DWORD WINAPI DriveModal(LPVOID pv)
{
    ModalDrive *pDrive = (ModalDrive *)pv;
    for (int i = 0; i < 200 && !(g_hDlg != NULL && IsWindowVisible(g_hDlg)); i++)
        Sleep(50);
    HWND hDlg = g_hDlg;
    pDrive->fFoundDialog = hDlg != NULL && IsWindowVisible(hDlg);
    if (pDrive->fFoundDialog) {
        PostMessageA(hDlg, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200));
        PostMessageA(hDlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
        PostMessageA(hDlg, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
        pDrive->lines = pDrive->pRecorder->Wait(1);
        pDrive->fVisibleAfterClick = IsWindowVisible(hDlg);
    }
    // Always ends the dialog, found or not, so the test cannot hang.
    for (int i = 0; i < 100 && g_hDlg != NULL && IsWindow(g_hDlg); i++) {
        PostMessageA(g_hDlg, WM_COMMAND, IDCANCEL, 0);
        Sleep(50);
    }
    return 0;
}

TEST(LinkClick, ModalDialogStaysOpenAfterTheClick)
{
    BrowserRecorder recorder(RecorderOutput("modal"));
    ASSERT_TRUE(recorder.IsSet());
    ModalDrive drive = {&recorder, {}, FALSE, FALSE};
    g_hInst = GetModuleHandleA(NULL);
    g_hDlg = NULL;
    HANDLE hThread = CreateThread(NULL, 0, DriveModal, &drive, 0, NULL);
    ASSERT_NE(hThread, (HANDLE)NULL);
    INT_PTR nResult = DialogBoxParamA(g_hInst, MAKEINTRESOURCEA(IDD_DATAFOLDER), NULL, DataFolderDlgProc, 0);
    g_hDlg = NULL;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hThread, 30000));
    CloseHandle(hThread);

    EXPECT_EQ(IDCANCEL, nResult);
    ASSERT_TRUE(drive.fFoundDialog);
    EXPECT_TRUE(drive.fVisibleAfterClick);
    ASSERT_EQ(1u, drive.lines.size());
    EXPECT_EQ(c_expected, drive.lines[0]);
}

}  // namespace
