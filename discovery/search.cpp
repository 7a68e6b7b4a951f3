#include "discovery.h"
#include "../app/globals.h"

void FindTargetProgram(HWND)
{
    g_szIniPath[0] = '\0';
}
