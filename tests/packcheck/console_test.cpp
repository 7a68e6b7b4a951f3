// packcheck started as Explorer starts it, in a console window of its own:
// the report stays on screen until a key is pressed.
#include "tests/e2e/installer_fixture.h"

namespace {

// The text of the console window a process lives in, read by joining that
// console for a moment; empty when it cannot be joined.
std::wstring ConsoleText(DWORD dwProcessId)
{
    std::wstring text;
    if (!AttachConsole(dwProcessId))
        return text;
    HANDLE hOut = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (hOut != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(hOut, &info)) {
        for (SHORT y = 0; y <= info.dwCursorPosition.Y; y++) {
            std::wstring line(info.dwSize.X, L' ');
            DWORD cch = 0;
            ReadConsoleOutputCharacterW(hOut, &line[0], info.dwSize.X, COORD{0, y}, &cch);
            line.resize(cch);
            line.erase(line.find_last_not_of(L' ') + 1);
            text += line + L"\n";
        }
    }
    if (hOut != INVALID_HANDLE_VALUE)
        CloseHandle(hOut);
    FreeConsole();
    return text;
}

// Types one key into the console a process lives in.
bool PressKey(DWORD dwProcessId, WORD wVirtualKey, WCHAR wch)
{
    if (!AttachConsole(dwProcessId))
        return false;
    HANDLE hIn = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    INPUT_RECORD records[2] = {};
    for (int i = 0; i < 2; i++) {
        records[i].EventType = KEY_EVENT;
        records[i].Event.KeyEvent.bKeyDown = i == 0;
        records[i].Event.KeyEvent.wRepeatCount = 1;
        records[i].Event.KeyEvent.wVirtualKeyCode = wVirtualKey;
        records[i].Event.KeyEvent.uChar.UnicodeChar = wch;
    }
    DWORD cWritten = 0;
    bool fWritten = hIn != INVALID_HANDLE_VALUE && WriteConsoleInputW(hIn, records, 2, &cWritten)
                 && cWritten == 2;
    if (hIn != INVALID_HANDLE_VALUE)
        CloseHandle(hIn);
    FreeConsole();
    return fWritten;
}

const WCHAR kPrompt[] = L"Druk op een toets om dit venster te sluiten.";

class OwnConsole : public InstallerRun {};

// As a double-click starts it: a console of its own, nothing redirected.
// (The other packcheck tests read it through a pipe, where it never waits.)
TEST_F(OwnConsole, ReportStaysOnScreenUntilAKey)
{
    AddSeries({"a.dat"});
    WriteList("a.dat\r\nb.dat\r\n");
    FreeConsole();   // the test joins packcheck's console instead of its own
    std::string command = "\"" + driver::ProgramFolder() + "packcheck.exe\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, CREATE_NEW_CONSOLE, NULL,
                               start.c_str(), &si, &pi));
    std::wstring text;
    for (DWORD dwStart = GetTickCount(); GetTickCount() - dwStart < driver::kWaitMs; Sleep(50))
        if ((text = ConsoleText(pi.dwProcessId)).find(kPrompt) != std::wstring::npos)
            break;
    EXPECT_NE(text.find(L"\"b.dat\": FOUT: staat niet in het pakket"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"\n\n" + std::wstring(kPrompt) + L"\n"), std::wstring::npos) << text;
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 200), (DWORD)WAIT_TIMEOUT) << "ended without a key";
    EXPECT_TRUE(PressKey(pi.dwProcessId, VK_SHIFT, 0));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 200), (DWORD)WAIT_TIMEOUT) << "Shift alone closed it";
    EXPECT_TRUE(PressKey(pi.dwProcessId, 'X', L'x'));
    DWORD dwExitCode = 99;
    if (WaitForSingleObject(pi.hProcess, driver::kWaitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &dwExitCode);
    else
        TerminateProcess(pi.hProcess, 99);
    EXPECT_EQ(dwExitCode, 1u) << "the check's own exit status, after the key";
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace
