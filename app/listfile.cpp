#include "app/listfile.h"
#include "app/globals.h"
#include <limits.h>
#include <stdlib.h>
#include <string.h>

static const size_t c_cLineBreaksSkipped = 5;
// No list comes near this; reading stops there, so every count fits an int.
static const size_t c_cbListMax = (size_t)1 << 30;
static_assert(c_cbListMax <= (size_t)INT_MAX, "a list's counts fit an int");

static BOOL IsLineBreak(WCHAR wch)
{
    return wch == L'\r' || wch == L'\n';
}

static BOOL IsHighSurrogate(WCHAR wch)
{
    return wch >= 0xD800 && wch <= 0xDBFF;
}

// Decoded text holds no lone low surrogate, so one stands for a byte past
// ASCII of a line read as ANSI: every line then lives in one text, and the
// line rules run over it once, whatever each line's encoding.
static BOOL IsLowSurrogate(WCHAR wch)
{
    return wch >= 0xDC00 && wch <= 0xDFFF;
}

// In blocks of the C library's own 4 KiB until the end or an error: a list
// that cannot be read past some point still gives every entry before it,
// where one larger read would fail whole. The buffer is sized for the list
// as it stands, since growing it would cost more than the reading.
static BYTE *ReadWhole(FILE *file, size_t *pcb, BOOL *pfReadError)
{
    long cbFile = fseek(file, 0, SEEK_END) == 0 ? ftell(file) : 0;
    fseek(file, 0, SEEK_SET);
    BYTE *pb = NULL;
    size_t cb = 0, cbAlloc = 0, cbRead = 1;
    while (cbRead > 0) {
        if (cbAlloc - cb < 4096) {
            cbAlloc = cbAlloc == 0 ? (cbFile > 0 ? (size_t)cbFile : 0) + 4096 : 2 * cbAlloc;
            BYTE *pbMore = cbAlloc <= c_cbListMax ? (BYTE *)realloc(pb, cbAlloc) : NULL;
            if (pbMore == NULL)
                break;
            pb = pbMore;
        }
        cbRead = fread(pb + cb, 1, 4096, file);
        cb += cbRead;
    }
    *pfReadError = cbRead > 0 || ferror(file) != 0;
    *pcb = cb;
    return pb;
}

// A line of a list without a byte-order mark: UTF-8 when it is valid UTF-8
// past ASCII, ANSI otherwise. Returns the units written.
static size_t DecodeLine(const BYTE *pb, size_t cb, WCHAR *pwch, BOOL *pfUtf8, BOOL *pfAnsi)
{
    size_t i = 0;
    while (i < cb && pb[i] < 0x80)
        i++;
    if (i < cb) {
        int cwch = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, (const char *)pb, (int)cb,
                                       pwch, (int)cb);
        if (cwch > 0) {
            *pfUtf8 = TRUE;
            return (size_t)cwch;
        }
        *pfAnsi = TRUE;
    }
    for (i = 0; i < cb; i++)
        pwch[i] = pb[i] < 0x80 ? (WCHAR)pb[i] : (WCHAR)(0xDC00 | pb[i]);
    return cb;
}

static size_t DecodeLines(const BYTE *pb, size_t cb, WCHAR *pwch, int *pnEncoding)
{
    BOOL fUtf8 = FALSE, fAnsi = FALSE;
    size_t cwch = 0, iLine = 0;
    for (size_t i = 0; i <= cb; i++) {
        if (i < cb && pb[i] != '\r' && pb[i] != '\n')
            continue;
        cwch += DecodeLine(pb + iLine, i - iLine, pwch + cwch, &fUtf8, &fAnsi);
        if (i < cb)
            pwch[cwch++] = pb[i];
        iLine = i + 1;
    }
    *pnEncoding = !fUtf8 ? LIST_ANSI : fAnsi ? LIST_UTF8_ANSI : LIST_UTF8;
    return cwch;
}

// Into pwch, which has room for cb units: no encoding takes more.
static size_t Decode(const BYTE *pb, size_t cb, WCHAR *pwch, int *pnEncoding)
{
    size_t cwch = 0;
    if (cb >= 2 && ((pb[0] == 0xFF && pb[1] == 0xFE) || (pb[0] == 0xFE && pb[1] == 0xFF))) {
        int iLow = pb[0] == 0xFF ? 0 : 1;
        *pnEncoding = iLow == 0 ? LIST_UTF16LE : LIST_UTF16BE;
        for (size_t i = 2; i + 1 < cb; i += 2)
            pwch[cwch++] = (WCHAR)(pb[i + iLow] | pb[i + 1 - iLow] << 8);
    } else if (cb >= 3 && pb[0] == 0xEF && pb[1] == 0xBB && pb[2] == 0xBF) {
        *pnEncoding = LIST_UTF8_BOM;
        int cwchDecoded = cb == 3 ? 0 : MultiByteToWideChar(CP_UTF8, 0, (const char *)pb + 3,
                                                            (int)(cb - 3), pwch, (int)cb);
        cwch = cwchDecoded > 0 ? (size_t)cwchDecoded : 0;
    } else {
        return DecodeLines(pb, cb, pwch, pnEncoding);
    }
    // A lone surrogate is no character, and must not pass for an ANSI byte.
    for (size_t i = 0; i < cwch; i++) {
        if (IsHighSurrogate(pwch[i]) && i + 1 < cwch && IsLowSurrogate(pwch[i + 1]))
            i++;
        else if (IsHighSurrogate(pwch[i]) || IsLowSurrogate(pwch[i]))
            pwch[i] = 0xFFFD;
    }
    return cwch;
}

static BOOL AllowsCheckedConversion(UINT uCodePage)
{
    if (uCodePage == CP_ACP)
        uCodePage = GetACP();
    return uCodePage != CP_UTF8 && uCodePage != 42 && uCodePage != 52936 && uCodePage != 54936
        && !(uCodePage >= 50220 && uCodePage <= 50229)
        && !(uCodePage >= 57002 && uCodePage <= 57011);
}

BOOL OpenList(FILE *file, UINT uCodePage, ListFile *pList)
{
    memset(pList, 0, sizeof(*pList));
    if (uCodePage == CP_UTF7 || (uCodePage != CP_ACP && !IsValidCodePage(uCodePage)))
        return FALSE;
    pList->uCodePage = uCodePage;
    pList->fCheckedConversion = AllowsCheckedConversion(uCodePage);
    size_t cb = 0;
    BYTE *pb = ReadWhole(file, &cb, &pList->fReadError);
    pList->pwchText = (WCHAR *)malloc((cb + 1) * sizeof(WCHAR));
    if (pList->pwchText == NULL)
        pList->fReadError = TRUE;
    else
        pList->cwchText = Decode(pb, cb, pList->pwchText, &pList->nEncoding);
    free(pb);
    return TRUE;
}

void CloseList(ListFile *pList)
{
    free(pList->pwchText);
    pList->pwchText = NULL;
    pList->cwchText = pList->iNext = 0;
}

int ConvertToListCodePage(const ListFile *pList, const WCHAR *pwch, size_t cwch, char *pch, int cb,
                          BOOL *pfUnmappable)
{
    BOOL fChecked = pList->fCheckedConversion;
    *pfUnmappable = FALSE;
    return cwch == 0 ? 0
         : WideCharToMultiByte(pList->uCodePage, fChecked ? WC_NO_BEST_FIT_CHARS : 0, pwch,
                               (int)cwch, pch, cb, fChecked ? "?" : NULL,
                               fChecked ? pfUnmappable : NULL);
}

// How many units of whole characters fit in one entry once converted: only
// for a piece that did not fit whole, which takes a double-byte code page
// or a UTF-8 one.
static size_t UnitsThatFit(const ListFile *pList, const WCHAR *pwch, size_t cwch)
{
    int cb = 0;
    size_t i = 0;
    while (i < cwch) {
        size_t cwchChar = IsHighSurrogate(pwch[i]) && i + 1 < cwch ? 2 : 1;
        char ab[8];
        BOOL fUnmappable;
        cb += ConvertToListCodePage(pList, pwch + i, cwchChar, ab, sizeof(ab), &fUnmappable);
        if (cb > c_cbListEntry)
            break;
        i += cwchChar;
    }
    return i;
}

// Bytes as they stand: of a line read as ANSI, or ASCII, which is the same
// in every code page read.
static void TakeBytes(ListFile *pList, const WCHAR *pwch, size_t cwchText, BOOL fAnsi)
{
    for (size_t i = 0; i < cwchText; i++)
        g_szListLine[i] = (char)(pwch[i] & 0xFF);
    int cwchWide = (int)cwchText;
    if (fAnsi)
        cwchWide = MultiByteToWideChar(pList->uCodePage, 0, g_szListLine, (int)cwchText,
                                       pList->wszEntry, 2 * c_cbListEntry);
    else
        memcpy(pList->wszEntry, pwch, cwchText * sizeof(WCHAR));
    pList->wszEntry[cwchWide] = L'\0';
}

// A Unicode piece converted to the code page; the text is its first
// cwchText units. Returns the units that fit in one entry.
static size_t ConvertPiece(ListFile *pList, const WCHAR *pwch, size_t cwchPiece, size_t cwchText)
{
    char ab[c_cbConvertedEntry];
    int cb = ConvertToListCodePage(pList, pwch, cwchPiece, ab, sizeof(ab), &pList->fUnmappable);
    size_t cwchFit = cb > c_cbListEntry ? UnitsThatFit(pList, pwch, cwchPiece) : cwchPiece;
    if (cwchText == cwchPiece && cb <= c_cbListEntry) {
        memcpy(g_szListLine, ab, (size_t)cb);
    } else {
        if (cwchText > cwchFit)
            cwchText = cwchFit;
        ConvertToListCodePage(pList, pwch, cwchText, g_szListLine, c_cbListEntry,
                              &pList->fUnmappable);
    }
    memcpy(pList->wszEntry, pwch, cwchText * sizeof(WCHAR));
    pList->wszEntry[cwchText] = L'\0';
    return cwchFit;
}

// A piece of a line: up to 149 characters, each at least one byte once
// converted, then as many as fit in 149 bytes. Its text ends at a NUL.
static void ReadPiece(ListFile *pList, const WCHAR *pwch, size_t cwch)
{
    size_t cwchPiece = 0;
    int cch = 0;
    BOOL fAnsi = FALSE, fPastAscii = FALSE;
    for (; cwchPiece < cwch && cch < c_cbListEntry && !IsLineBreak(pwch[cwchPiece]); cch++) {
        WCHAR wch = pwch[cwchPiece];
        fAnsi = fAnsi || IsLowSurrogate(wch);
        fPastAscii = fPastAscii || wch >= 0x80;
        cwchPiece += IsHighSurrogate(wch) && cwchPiece + 1 < cwch ? 2 : 1;
    }
    BOOL fFull = cch == c_cbListEntry;
    size_t cwchText = 0;
    while (cwchText < cwchPiece && pwch[cwchText] != 0)
        cwchText++;

    if (!fPastAscii || fAnsi) {
        TakeBytes(pList, pwch, cwchText, fAnsi);
    } else {
        size_t cwchFit = ConvertPiece(pList, pwch, cwchPiece, cwchText);
        // The rest of the line, and the break that ended it, come next.
        fFull = fFull || cwchFit < cwchPiece;
        cwchPiece = cwchFit;
        // Only a whole line is the entry an ANSI reading would give.
        if ((pList->nEncoding == LIST_UTF8 || pList->nEncoding == LIST_UTF8_ANSI) && !fFull
            && !pList->fContinues) {
            int cbRaw = WideCharToMultiByte(CP_UTF8, 0, pwch, (int)cwchText, pList->szRaw,
                                            c_cbListEntry, NULL, NULL);
            pList->szRaw[cbRaw] = '\0';
        }
    }
    pList->fLastFull = fFull;
    pList->iPiece = (size_t)(pwch - pList->pwchText);
    pList->cwchPiece = cwchPiece;
    pList->fAnsiPiece = fAnsi;
    // A piece that is not full ended at the line break, which it takes.
    pList->iNext += cwchPiece + (!fFull && cwchPiece < cwch ? 1 : 0);
}

int ReadListEntry(ListFile *pList)
{
    memset(g_szListLine, 0, sizeof(g_szListLine));
    pList->wszEntry[0] = L'\0';
    pList->fUnmappable = FALSE;
    pList->fContinues = FALSE;
    pList->szRaw[0] = '\0';
    pList->cwchPiece = 0;

    const WCHAR *pwch = pList->pwchText + pList->iNext;
    size_t cwch = pList->cwchText - pList->iNext;
    size_t cBreaks = 0;
    while (cBreaks < c_cLineBreaksSkipped && cBreaks < cwch && IsLineBreak(pwch[cBreaks]))
        cBreaks++;
    pList->iNext += cBreaks;
    if (cBreaks == c_cLineBreaksSkipped) {
        // The fifth break is read again as the entry's first byte, and ends it.
        pList->fLastFull = FALSE;
        return 1;
    }
    if (cBreaks == cwch)
        return 0;
    pList->fContinues = pList->fLastFull && cBreaks == 0;
    ReadPiece(pList, pwch + cBreaks, cwch - cBreaks);
    return 1;
}

void RewindList(ListFile *pList)
{
    pList->iNext = 0;
    pList->fLastFull = FALSE;
}

const char *ListEncodingName(int nEncoding)
{
    static const char *const c_apszNames[] = {"ANSI", "UTF-8", "UTF-8 met regels in ANSI",
                                              "UTF-8 met BOM", "UTF-16 LE", "UTF-16 BE"};
    return nEncoding > LIST_ANSI && nEncoding <= LIST_UTF16BE ? c_apszNames[nEncoding] : "ANSI";
}

size_t WrittenEntryText(const ListFile *pList, WCHAR *pwsz, size_t cch)
{
    if (cch == 0)
        return 0;
    const WCHAR *pwch = pList->pwchText + pList->iPiece;
    size_t cwch = pList->cwchPiece < cch ? pList->cwchPiece : cch - 1;
    if (pList->fAnsiPiece) {
        // A piece read as ANSI holds one unit a byte.
        char ab[c_cbListEntry];
        if (cwch > sizeof(ab))
            cwch = sizeof(ab);
        for (size_t i = 0; i < cwch; i++)
            ab[i] = (char)(pwch[i] & 0xFF);
        int cwchWide = cwch == 0 ? 0 : MultiByteToWideChar(pList->uCodePage, 0, ab, (int)cwch,
                                                            pwsz, (int)(cch - 1));
        cwch = cwchWide > 0 ? (size_t)cwchWide : 0;
    } else {
        memcpy(pwsz, pwch, cwch * sizeof(WCHAR));
    }
    pwsz[cwch] = L'\0';
    return cwch;
}
