#include "discovery.h"
#include "../app/globals.h"

void LoadDataFolder(void)
{
    g_szDataDir[0] = '\0';
}
