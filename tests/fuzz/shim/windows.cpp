#include "windows.h"

static unsigned s_uCodePage = 1252;

void SetAnsiCodePage(unsigned uCodePage)
{
    s_uCodePage = uCodePage;
}

BOOL IsDBCSLeadByte(BYTE bTestChar)
{
    if (s_uCodePage != 932)
        return FALSE;
    return (bTestChar >= 0x81 && bTestChar <= 0x9F) || (bTestChar >= 0xE0 && bTestChar <= 0xFC);
}
