#include "app/paths.h"
#include <string.h>
#include <wchar.h>

static char FoldAscii(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? (char)(ch - 'A' + 'a') : ch;
}

static BOOL IsLeadByte(BYTE b, UINT uCodePage)
{
    // Plain ASCII is never a lead byte: the common case asks nobody.
    return b >= 0x80 && IsDBCSLeadByteEx(uCodePage, b);
}

// Length in bytes of the character at psz: two for a lead byte that has its
// trail byte, so that the trail byte is never read as a separator or a dot.
static size_t CharBytes(const char *psz, UINT uCodePage)
{
    return (IsLeadByte((BYTE)psz[0], uCodePage) && psz[1] != '\0') ? 2 : 1;
}

// A trail byte is compared as it stands: the 0x41 of "\x83\x41" (U+30A2) is
// no "A", and folding it would give "\x83\x61" (U+30C2), another name.
BOOL PathsEqual(const char *pszA, const char *pszB, UINT uCodePage)
{
    size_t cch = strlen(pszA);
    if (cch != strlen(pszB))
        return FALSE;
    for (size_t i = 0; i < cch; i += CharBytes(pszA + i, uCodePage)) {
        BOOL fSame = CharBytes(pszA + i, uCodePage) == 2 ? memcmp(pszA + i, pszB + i, 2) == 0
                                              : FoldAscii(pszA[i]) == FoldAscii(pszB[i]);
        if (!fSame)
            return FALSE;
    }
    return TRUE;
}

BOOL CopyPath(char *pszDest, size_t cbDest, const char *pszSrc)
{
    size_t cch = strlen(pszSrc);
    if (cbDest == 0)
        return FALSE;
    if (cch >= cbDest) {
        pszDest[0] = '\0';
        return FALSE;
    }
    memcpy(pszDest, pszSrc, cch + 1);
    return TRUE;
}

// The bounded append, for narrow and UTF-16 text alike: cchHave and cchAdd
// are the lengths of what the buffer holds and of what is added.
template <class Char>
static BOOL AppendChars(Char *pDest, size_t cchDest, size_t cchHave, const Char *pSrc, size_t cchAdd)
{
    if (cchHave >= cchDest || cchAdd >= cchDest - cchHave)
        return FALSE;
    memcpy(pDest + cchHave, pSrc, (cchAdd + 1) * sizeof(Char));
    return TRUE;
}

BOOL AppendPath(char *pszDest, size_t cbDest, const char *pszSrc)
{
    return AppendChars(pszDest, cbDest, strnlen(pszDest, cbDest), pszSrc, strlen(pszSrc));
}

BOOL AppendWide(WCHAR *pwszDest, size_t cchDest, const WCHAR *pwszSrc)
{
    return AppendChars(pwszDest, cchDest, wcsnlen(pwszDest, cchDest), pwszSrc, wcslen(pwszSrc));
}

BOOL AppendNumber(WCHAR *pwszDest, size_t cchDest, unsigned long n)
{
    WCHAR wszDigits[24];   // 20 digits hold any 64-bit number
    WCHAR *pwch = wszDigits + sizeof(wszDigits) / sizeof(WCHAR) - 1;
    *pwch = L'\0';
    do {
        *--pwch = (WCHAR)(L'0' + n % 10);
        n /= 10;
    } while (n > 0);
    return AppendWide(pwszDest, cchDest, pwch);
}

static WCHAR FoldAsciiW(WCHAR wch)
{
    return (wch >= L'A' && wch <= L'Z') ? (WCHAR)(wch - L'A' + L'a') : wch;
}

BOOL NamesEqualAsciiCase(const WCHAR *pwszA, const WCHAR *pwszB)
{
    for (; *pwszA != L'\0' && FoldAsciiW(*pwszA) == FoldAsciiW(*pwszB); pwszA++, pwszB++) {
    }
    return *pwszA == L'\0' && *pwszB == L'\0';
}

static BOOL CopyPart(char *pszPart, size_t cbPart, const char *pch, size_t cch)
{
    if (pszPart == NULL)
        return TRUE;
    if (cch >= cbPart)
        return FALSE;
    memcpy(pszPart, pch, cch);
    pszPart[cch] = '\0';
    return TRUE;
}

static void ClearPart(char *pszPart, size_t cbPart)
{
    if (pszPart != NULL && cbPart > 0)
        pszPart[0] = '\0';
}

BOOL SplitPath(const char *pszPath,
               char *pszDrive, size_t cbDrive,
               char *pszDir, size_t cbDir,
               char *pszName, size_t cbName,
               char *pszExt, size_t cbExt, UINT uCodePage)
{
    size_t cchDrive = (pszPath[0] != '\0' && pszPath[1] == ':') ? 2 : 0;
    const char *pchDir = pszPath + cchDrive;

    const char *pchDirEnd = pchDir;   // just after the last separator
    for (const char *pch = pchDir; *pch != '\0'; pch += CharBytes(pch, uCodePage))
        if (*pch == '\\' || *pch == '/')
            pchDirEnd = pch + 1;

    const char *pchEnd = pchDirEnd + strlen(pchDirEnd);
    const char *pchDot = pchEnd;      // the last dot after the folder
    for (const char *pch = pchDirEnd; *pch != '\0'; pch += CharBytes(pch, uCodePage))
        if (*pch == '.')
            pchDot = pch;

    BOOL fOk = CopyPart(pszDrive, cbDrive, pszPath, cchDrive)
            && CopyPart(pszDir, cbDir, pchDir, (size_t)(pchDirEnd - pchDir))
            && CopyPart(pszName, cbName, pchDirEnd, (size_t)(pchDot - pchDirEnd))
            && CopyPart(pszExt, cbExt, pchDot, (size_t)(pchEnd - pchDot));
    if (fOk)
        return TRUE;
    ClearPart(pszDrive, cbDrive);
    ClearPart(pszDir, cbDir);
    ClearPart(pszName, cbName);
    ClearPart(pszExt, cbExt);
    return FALSE;
}

// The start of the path's last character, a double-byte one counted whole;
// NULL for an empty path.
static const char *LastChar(const char *psz, UINT uCodePage)
{
    const char *pchLast = NULL;
    for (const char *pch = psz; *pch != '\0'; pch += CharBytes(pch, uCodePage))
        pchLast = pch;
    return pchLast;
}

static BOOL EndsWithSeparator(const char *pszDir, UINT uCodePage)
{
    const char *pchLast = LastChar(pszDir, uCodePage);
    return pchLast != NULL && CharBytes(pchLast, uCodePage) == 1
        && (*pchLast == '\\' || *pchLast == '/');
}

// A final 0x5C that is the trail byte of a double-byte character is no
// backslash: the folder still needs one.
BOOL IsFolderPath(const char *pszPath, UINT uCodePage)
{
    const char *pchLast = LastChar(pszPath, uCodePage);
    return pchLast != NULL && CharBytes(pchLast, uCodePage) == 1 && *pchLast == '\\';
}

// A lead byte whose trail byte is missing would take an appended backslash
// as its trail byte, and the path would still name no folder.
static BOOL EndsInLoneLeadByte(const char *psz, UINT uCodePage)
{
    const char *pchLast = LastChar(psz, uCodePage);
    return pchLast != NULL && CharBytes(pchLast, uCodePage) == 1
        && IsLeadByte((BYTE)*pchLast, uCodePage);
}

BOOL EnsureTrailingBackslash(char *pszPath, UINT uCodePage)
{
    if (IsFolderPath(pszPath, uCodePage))
        return TRUE;
    return !EndsInLoneLeadByte(pszPath, uCodePage) && AppendPath(pszPath, MAX_PATH, "\\");
}

BOOL MakeFolderPath(char *pszDest, size_t cbDest,
                    const char *pszDrive, const char *pszDir, UINT uCodePage)
{
    char szDrive[3] = "";
    if (pszDrive != NULL && pszDrive[0] != '\0') {
        szDrive[0] = pszDrive[0];
        szDrive[1] = ':';
    }
    BOOL fOk = CopyPath(pszDest, cbDest, szDrive)
            && AppendPath(pszDest, cbDest, pszDir)
            && (pszDir[0] == '\0' || EndsWithSeparator(pszDir, uCodePage)
                || (!EndsInLoneLeadByte(pszDir, uCodePage) && AppendPath(pszDest, cbDest, "\\")));
    if (!fOk && cbDest > 0)
        pszDest[0] = '\0';
    return fOk;
}

BOOL IsDroppedAtNameEnd(unsigned ch)
{
    return ch == '.' || ch == ' ';
}

void TrimNameEnd(char *pszName, UINT uCodePage)
{
    char *pchEnd = pszName;
    for (char *pch = pszName; *pch != '\0'; pch += CharBytes(pch, uCodePage))
        if (CharBytes(pch, uCodePage) == 2 || !IsDroppedAtNameEnd((BYTE)*pch))
            pchEnd = pch + CharBytes(pch, uCodePage);
    *pchEnd = '\0';
}

BOOL IsForbiddenInName(unsigned ch)
{
    return ch < 32 || (ch < 128 && strchr("\\/:*?\"<>|", (int)ch) != NULL);
}

static NameFault CharFault(BYTE b)
{
    if (!IsForbiddenInName(b))
        return NAME_PLAIN;
    if (b == ':')
        return NAME_STREAM;
    if (b == '*' || b == '?')
        return NAME_WILDCARD;
    if (b < 32)
        return NAME_CONTROL;
    return NAME_FORBIDDEN;
}

// A character of a device name's base: ASCII folded; the superscripts ¹, ²
// and ³, which Windows takes as port numbers too, as their digits; anything
// else as a byte no device name holds.
static char BaseChar(WCHAR wch, UINT)
{
    if (wch < 0x80)
        return FoldAscii((char)wch);
    return wch == 0xB9 ? '1' : wch == 0xB2 ? '2' : wch == 0xB3 ? '3' : '\x7F';
}

// Windows judges a narrow name once it is UTF-16, so a byte is a
// superscript only where the code page makes it one: 0xB9 is "¹" in 1252,
// but the half-width katakana "ｹ" in 932.
static char BaseChar(char ch, UINT uCodePage)
{
    WCHAR wch;
    if ((BYTE)ch < 0x80)
        return FoldAscii(ch);
    if (IsLeadByte((BYTE)ch, uCodePage) || MultiByteToWideChar(uCodePage, 0, &ch, 1, &wch, 1) != 1)
        return '\x7F';
    return BaseChar(wch, uCodePage);
}

// For a name in bytes of the path code page and for one in UTF-16 alike.
template <class Char>
static BOOL IsDeviceNameOf(const Char *pszName, UINT uCodePage)
{
    static const char *const c_apszDevices[] = { "con", "prn", "aux", "nul", "conin$", "conout$" };
    static const char *const c_apszPorts[] = { "com", "lpt" };

    // Windows looks only at what stands before the first dot, blanks trimmed.
    size_t cchBase = 0;
    while (pszName[cchBase] != 0 && pszName[cchBase] != '.')
        cchBase++;
    while (cchBase > 0 && pszName[cchBase - 1] == ' ')
        cchBase--;
    char szBase[8];
    if (cchBase >= sizeof(szBase))
        return FALSE;
    for (size_t i = 0; i < cchBase; i++)
        szBase[i] = BaseChar(pszName[i], uCodePage);
    szBase[cchBase] = '\0';

    for (const char *pszDevice : c_apszDevices)
        if (strcmp(szBase, pszDevice) == 0)
            return TRUE;
    for (const char *pszPort : c_apszPorts)
        if (cchBase == 4 && strncmp(szBase, pszPort, 3) == 0 && szBase[3] >= '0' && szBase[3] <= '9')
            return TRUE;
    return FALSE;
}

BOOL IsDeviceNameW(const WCHAR *pwszName)
{
    return IsDeviceNameOf(pwszName, CP_ACP);
}

NameFault FindNameFault(const char *pszName, UINT uCodePage)
{
    const char *pchLast = LastChar(pszName, uCodePage);
    if (pchLast == NULL)
        return NAME_EMPTY;
    if (EndsInLoneLeadByte(pszName, uCodePage))
        return NAME_CUT_CHAR;   // a character cut off: no file on disk has this name
    for (const char *pch = pszName; *pch != '\0'; pch += CharBytes(pch, uCodePage)) {
        NameFault fault = CharBytes(pch, uCodePage) == 1 ? CharFault((BYTE)*pch) : NAME_PLAIN;
        if (fault != NAME_PLAIN)
            return fault;
    }
    return IsDeviceNameOf(pszName, uCodePage) ? NAME_DEVICE : NAME_PLAIN;
}
