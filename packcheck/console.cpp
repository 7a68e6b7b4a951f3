#include "packcheck/console.h"
#include "packcheck/output.h"

BOOL OwnsItsConsole(void)
{
    DWORD adwProcesses[2];
    if (GetConsoleProcessList(adwProcesses, 2) != 1)
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
