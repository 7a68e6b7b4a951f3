#include "packcheck/console.h"
#include "packcheck/output.h"
#include <tlhelp32.h>

// The process that started packcheck; 0 when that cannot be told.
static DWORD ParentProcessId(void)
{
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    DWORD dwSelf = GetCurrentProcessId(), dwParent = 0;
    for (BOOL fMore = Process32FirstW(hSnapshot, &entry); fMore && dwParent == 0;
         fMore = Process32NextW(hSnapshot, &entry))
        if (entry.th32ProcessID == dwSelf)
            dwParent = entry.th32ParentProcessID;
    CloseHandle(hSnapshot);
    return dwParent;
}

// A console packcheck shares with the program that started it (a command
// prompt, a script) is that program's, and its report stays there. Any
// other process on the console joined it later, as a tool that reads the
// window does: it makes the console no less packcheck's own.
BOOL OwnsItsConsole(void)
{
    DWORD adwProcesses[64];
    DWORD cProcesses = GetConsoleProcessList(adwProcesses, 64);
    if (cProcesses == 0 || cProcesses > 64)
        return FALSE;
    DWORD dwSelf = GetCurrentProcessId();
    DWORD dwParent = cProcesses > 1 ? ParentProcessId() : 0;
    for (DWORD i = 0; i < cProcesses; i++)
        if (adwProcesses[i] != dwSelf && (dwParent == 0 || adwProcesses[i] == dwParent))
            return FALSE;
    DWORD dwMode;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &dwMode)
        && GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &dwMode);
}

// Shift, Ctrl, Alt and the like alone close nothing: Alt+Tab to another
// window must leave the report where it is.
static BOOL IsModifierKey(WORD wVirtualKey)
{
    switch (wVirtualKey) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_LWIN: case VK_RWIN:
    case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
        return TRUE;
    default:
        return FALSE;
    }
}

void WaitForKeyToClose(void)
{
    HANDLE hIn = GetStdHandle(STD_INPUT_HANDLE);
    // A key pressed while the check ran must not close the window unread.
    FlushConsoleInputBuffer(hIn);
    PrintLine(L"");
    PrintLine(L"Druk op een toets om dit venster te sluiten.");
    for (;;) {
        INPUT_RECORD record;
        DWORD cRead = 0;
        if (!ReadConsoleInputW(hIn, &record, 1, &cRead) || cRead == 0)
            return;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown
            && !IsModifierKey(record.Event.KeyEvent.wVirtualKeyCode))
            return;
    }
}
