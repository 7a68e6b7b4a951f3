#include "app/onerun.h"
#include "app/globals.h"
#include "app/paths.h"
#include <shlwapi.h>

// A claim is a named object in the user's session, holding the claiming
// run's process id; the object goes when its last handle is closed, also
// when a run is ended by force. Its name comes from the folder's full long
// path in upper case, so that the same folder given by its short name or
// in another letter case is the same claim.
static const WCHAR c_wszPackClaim[] = L"Local\\instrrse.pakket.";
static const WCHAR c_wszDataClaim[] = L"Local\\instrrse.data-map.";

// FNV-1a: a name of fixed length for a path of any length.
static ULONGLONG HashOf(const WCHAR *pwsz)
{
    ULONGLONG h = 14695981039346656037ull;
    for (; *pwsz != L'\0'; pwsz++) {
        h ^= (ULONGLONG)(USHORT)*pwsz;
        h *= 1099511628211ull;
    }
    return h;
}

// FALSE when the folder cannot be named as the system knows it; the
// program then goes without the claim rather than refuse to work.
static BOOL ComposeClaimName(const WCHAR *pwszKind, const char *pszFolder, WCHAR *pwszName, int cchName)
{
    WCHAR wszFolder[MAX_PATH], wszFull[MAX_PATH], wszLong[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, pszFolder, -1, wszFolder, MAX_PATH) == 0)
        return FALSE;
    DWORD cch = GetFullPathNameW(wszFolder, MAX_PATH, wszFull, NULL);
    if (cch == 0 || cch >= MAX_PATH)
        return FALSE;
    cch = GetLongPathNameW(wszFull, wszLong, MAX_PATH);
    const WCHAR *pwszPath = cch != 0 && cch < MAX_PATH ? wszLong : wszFull;
    WCHAR wszUpper[MAX_PATH] = L"";
    if (!AppendWide(wszUpper, MAX_PATH, pwszPath))
        return FALSE;
    CharUpperBuffW(wszUpper, (DWORD)lstrlenW(wszUpper));
    ULONGLONG h = HashOf(wszUpper);
    return wnsprintfW(pwszName, cchName, L"%s%08lx%08lx", pwszKind, (DWORD)(h >> 32), (DWORD)h) > 0;
}

// NULL when the object is there already: another run holds the claim. One
// that cannot be made at all does not stop the run.
static HANDLE Claim(const WCHAR *pwszKind, const char *pszFolder)
{
    WCHAR wszName[MAX_PATH];
    if (!ComposeClaimName(pwszKind, pszFolder, wszName, MAX_PATH))
        return INVALID_HANDLE_VALUE;
    HANDLE hClaim = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(DWORD),
                                       wszName);
    if (hClaim == NULL)
        return INVALID_HANDLE_VALUE;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(hClaim);
        return NULL;
    }
    DWORD *pdwOwner = (DWORD *)MapViewOfFile(hClaim, FILE_MAP_WRITE, 0, 0, sizeof(DWORD));
    if (pdwOwner != NULL) {
        *pdwOwner = GetCurrentProcessId();
        UnmapViewOfFile(pdwOwner);
    }
    return hClaim;
}

HANDLE ClaimPack(void)
{
    return Claim(c_wszPackClaim, g_szCurrentDir);
}

HANDLE ClaimDataFolder(void)
{
    return Claim(c_wszDataClaim, g_szDataDir);
}

void ReleaseClaim(HANDLE hClaim)
{
    if (hClaim != NULL && hClaim != INVALID_HANDLE_VALUE)
        CloseHandle(hClaim);
}

static DWORD PackOwner(void)
{
    WCHAR wszName[MAX_PATH];
    if (!ComposeClaimName(c_wszPackClaim, g_szCurrentDir, wszName, MAX_PATH))
        return 0;
    HANDLE hClaim = OpenFileMappingW(FILE_MAP_READ, FALSE, wszName);
    if (hClaim == NULL)
        return 0;
    DWORD dwOwner = 0;
    const DWORD *pdwOwner = (const DWORD *)MapViewOfFile(hClaim, FILE_MAP_READ, 0, 0, sizeof(DWORD));
    if (pdwOwner != NULL) {
        dwOwner = *pdwOwner;
        UnmapViewOfFile(pdwOwner);
    }
    CloseHandle(hClaim);
    return dwOwner;
}

static BOOL CALLBACK BringForward(HWND hwnd, LPARAM lParam)
{
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hwnd, &dwProcess);
    if (dwProcess != (DWORD)lParam || !IsWindowVisible(hwnd))
        return TRUE;
    if (IsIconic(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
    return FALSE;
}

void BringPackRunForward(void)
{
    DWORD dwOwner = PackOwner();
    if (dwOwner != 0 && dwOwner != GetCurrentProcessId())
        EnumWindows(BringForward, (LPARAM)dwOwner);
}
