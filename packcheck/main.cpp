// packcheck: tells a publisher, before a pack ships, what the installer
// will do with it on every user's machine.
//
//   packcheck [--codepage N] [--oemcodepage M] [FOLDER | PACK.zip]
//   packcheck --write [--force] [--codepage N] [FOLDER]
//   packcheck --zip OUT.zip [--force] [--codepage N] [--oemcodepage M] [FOLDER]
#include "packcheck/check.h"
#include "packcheck/console.h"
#include "packcheck/output.h"
#include "packcheck/writelist.h"
#include "packcheck/zipcheck.h"
#include "app/fileinfo.h"
#include "packcheck/zipwrite.h"
#include "app/dllsearch.h"
#include <windows.h>
#include <wchar.h>
#include <string>

struct Options {
    BOOL fHelp;
    BOOL fWrite;
    BOOL fForce;
    UINT uCodePage;
    UINT uOemCodePage;
    const WCHAR *pwszZipOut;   // --zip: the zip to make
    const WCHAR *pwszFolder;   // or the zip to check
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
    *pOptions = Options{FALSE, FALSE, FALSE, c_uDefaultPackCodePage, c_uDefaultPackOemCodePage, NULL, L"."};
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
        } else if (wcscmp(pwszArg, L"--oemcodepage") == 0) {
            if (!ParseCodePage(i + 1 < argc ? argv[++i] : NULL, &pOptions->uOemCodePage)) {
                PrintErrorLine(L"--oemcodepage verwacht het nummer van een codetabel die deze"
                               L" computer kent, zoals 850.");
                return FALSE;
            }
        } else if (wcscmp(pwszArg, L"--zip") == 0) {
            pOptions->pwszZipOut = i + 1 < argc ? argv[++i] : NULL;
            if (pOptions->pwszZipOut == NULL || pOptions->pwszZipOut[0] == L'\0') {
                PrintErrorLine(L"--zip verwacht de naam van de zip die het maakt.");
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
    if (pOptions->fForce && !pOptions->fWrite && pOptions->pwszZipOut == NULL) {
        PrintErrorLine(L"--force hoort bij --write of --zip.");
        return FALSE;
    }
    if (pOptions->fWrite && pOptions->pwszZipOut != NULL) {
        PrintErrorLine(L"--write en --zip gaan niet samen.");
        return FALSE;
    }
    return TRUE;
}

static int RunCommand(int argc, WCHAR **argv)
{
    Options options;
    if (!ParseArguments(argc, argv, &options)) {
        PrintUsage(TRUE);
        return CHECK_NOT_RUN;
    }
    if (options.fHelp) {
        PrintUsage(FALSE);
        return CHECK_SOUND;
    }
    g_uPackCodePage = options.uCodePage;
    g_uPackOemCodePage = options.uOemCodePage;
    if (options.pwszZipOut == NULL && !options.fWrite && IsFileW(options.pwszFolder))
        return CheckPackZip(options.pwszFolder);
    // The zip's name is taken where packcheck was started.
    WCHAR wszZipOut[MAX_PATH];
    if (options.pwszZipOut != NULL) {
        DWORD cch = GetFullPathNameW(options.pwszZipOut, MAX_PATH, wszZipOut, NULL);
        if (cch == 0 || cch >= MAX_PATH) {
            PrintErrorLine(L"De naam van de zip is te lang: " + std::wstring(options.pwszZipOut));
            return CHECK_NOT_RUN;
        }
    }
    // Everything after this works in the pack's folder, by relative names,
    // so a folder this machine's ANSI code page cannot name works too.
    if (!IsFolderW(options.pwszFolder) || !SetCurrentDirectoryW(options.pwszFolder)) {
        PrintErrorLine(L"De map " + std::wstring(options.pwszFolder)
                       + L" bestaat niet of kan niet worden geopend.");
        return CHECK_NOT_RUN;
    }
    if (options.pwszZipOut != NULL)
        return WritePackZip(wszZipOut, options.fForce);
    return options.fWrite ? WritePackList(options.fForce) : CheckPack();
}

int wmain(int argc, WCHAR **argv)
{
    RestrictDllSearch();   // packcheck too is run from a pack's folder
    // Judged on the console as packcheck found it when it started.
    BOOL fOwnConsole = OwnsItsConsole();
    int exitCode = RunCommand(argc, argv);
    if (fOwnConsole)
        WaitForKeyToClose();
    return exitCode;
}
