#include "app/dllsearch.h"
#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

typedef BOOL(WINAPI *SetDefaultDllDirectoriesProc)(DWORD);

void RestrictDllSearch(void)
{
    // Looked up rather than imported: Vista, and Windows 7 without
    // KB2533623, lack it, and the program must still start there. The
    // module handle of kernel32 needs no release.
    HMODULE hKernel = GetModuleHandleW(L"kernel32.dll");
    SetDefaultDllDirectoriesProc pfnSetDefault = NULL;
    if (hKernel != NULL)
        pfnSetDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(
            reinterpret_cast<void (*)(void)>(GetProcAddress(hKernel, "SetDefaultDllDirectories")));
    if (pfnSetDefault != NULL && pfnSetDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Without it, at least the current directory leaves the search; the
    // program's own folder stays in it on those systems.
    SetDllDirectoryW(L"");
}
