// packcheck: tells a publisher, before a pack ships, what the installer
// will do with it on every user's machine.
//
//   packcheck [--codepage N] [FOLDER]
//   packcheck --write [--force] [--codepage N] [FOLDER]
#include "packcheck/check.h"
#include "packcheck/output.h"
#include "packcheck/writelist.h"
#include "app/dllsearch.h"
#include <windows.h>
#include <wchar.h>
#include <string>

struct Options {
    BOOL fHelp;
    BOOL fWrite;
    BOOL fForce;
    UINT uCodePage;
    const WCHAR *pwszFolder;
};

// A code page the system can convert with; UTF-7 never is an ANSI code
// page, and the list reader refuses it.
static BOOL ParseCodePage(const WCHAR *pwsz, UINT *puCodePage)
{
    if (pwsz == NULL || wcslen(pwsz) == 0 || wcslen(pwsz) > 5
        || wcsspn(pwsz, L"0123456789") != wcslen(pwsz))
        return FALSE;
    UINT uCodePage = (UINT)wcstoul(pwsz, NULL, 10);
    if (uCodePage == 0 || uCodePage == CP_UTF7 || !IsValidCodePage(uCodePage))
        return FALSE;
    *puCodePage = uCodePage;
    return TRUE;
}

static BOOL ParseArguments(int argc, WCHAR **argv, Options *pOptions)
{
    *pOptions = Options{FALSE, FALSE, FALSE, 1252, L"."};
    BOOL fFolder = FALSE;
    for (int i = 1; i < argc; i++) {
        const WCHAR *pwszArg = argv[i];
        if (wcscmp(pwszArg, L"--help") == 0 || wcscmp(pwszArg, L"-h") == 0
            || wcscmp(pwszArg, L"/?") == 0) {
            pOptions->fHelp = TRUE;
        } else if (wcscmp(pwszArg, L"--write") == 0) {
            pOptions->fWrite = TRUE;
        } else if (wcscmp(pwszArg, L"--force") == 0) {
            pOptions->fForce = TRUE;
        } else if (wcscmp(pwszArg, L"--codepage") == 0) {
            if (!ParseCodePage(i + 1 < argc ? argv[++i] : NULL, &pOptions->uCodePage)) {
                PrintErrorLine(L"--codepage verwacht het nummer van een codetabel die deze"
                               L" computer kent, zoals 1252.");
                return FALSE;
            }
        } else if (pwszArg[0] == L'-' && pwszArg[1] == L'-') {
            PrintErrorLine(L"Onbekende optie: " + std::wstring(pwszArg));
            return FALSE;
        } else if (fFolder) {
            PrintErrorLine(L"Geef hooguit \u00E9\u00E9n map.");
            return FALSE;
        } else {
            pOptions->pwszFolder = pwszArg;
            fFolder = TRUE;
        }
    }
    if (pOptions->fForce && !pOptions->fWrite) {
        PrintErrorLine(L"--force hoort bij --write.");
        return FALSE;
    }
    return TRUE;
}

static BOOL IsFolder(const WCHAR *pwszPath)
{
    DWORD dwAttr = GetFileAttributesW(pwszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

int wmain(int argc, WCHAR **argv)
{
    RestrictDllSearch();   // packcheck too is run from a pack's folder
    Options options;
    if (!ParseArguments(argc, argv, &options)) {
        PrintUsage(TRUE);
        return CHECK_NOT_RUN;
    }
    if (options.fHelp) {
        PrintUsage(FALSE);
        return CHECK_SOUND;
    }
    // Everything after this works in the pack's folder, by relative names,
    // so a folder this machine's ANSI code page cannot name works too.
    if (!IsFolder(options.pwszFolder) || !SetCurrentDirectoryW(options.pwszFolder)) {
        PrintErrorLine(L"De map " + std::wstring(options.pwszFolder)
                       + L" bestaat niet of kan niet worden geopend.");
        return CHECK_NOT_RUN;
    }
    g_uPackCodePage = options.uCodePage;
    return options.fWrite ? WritePackList(options.fForce) : CheckPack();
}
