#include "app/listfile.h"
#include "app/globals.h"
#include <string.h>

int g_nListEncoding;
UINT g_uListCodePage;
WCHAR g_wszListEntry[2 * c_cbListEntry + 1];
BOOL g_fListEntryUnmappable;
BOOL g_fListEntryContinues;
char g_szListEntryRaw[c_cbListEntry + 1];

static const int c_cLineBreaksSkipped = 5;
static const long c_cpEnd = -1;          // no code point: the end of the list
static const long c_cpReplacement = 0xFFFD;

// The entry before ended because it was full, not at a line break.
static BOOL s_fLastEntryFull;
// Code points read but not yet used, the next one last: the rest of a
// line that did not fit its entry once converted.
static long s_acpCarried[c_cbListEntry + 1];
static int s_cCarried;
// A UTF-16 unit read past a high surrogate that had no low one after it.
static long s_nPendingUnit;
// Whether the conversion may be asked not to use look-alikes and to say
// when it used the default character: not for UTF-8 and a few others.
static BOOL s_fCheckedConversion;

// The list's bytes pass through a buffer of the reader's own, filled a
// block at a time: fgetc for every byte would cost more than the rest of
// reading an entry. A block is the C library's own 4 KiB, so a list that
// cannot be read past some point still gives every entry before it, as
// fgetc did. Only the byte just read is ever stepped back over, and it is
// still in the buffer. The fuzzers make the block small, so that their
// short lists cross blocks.
#ifndef INSTRRSE_LIST_BLOCK
#define INSTRRSE_LIST_BLOCK 4096
#endif
static unsigned char s_abBuffer[INSTRRSE_LIST_BLOCK];
static size_t s_ibNext;
static size_t s_cbBuffer;

static inline int NextByte(FILE *file)
{
    if (s_ibNext == s_cbBuffer) {
        s_cbBuffer = fread(s_abBuffer, 1, sizeof(s_abBuffer), file);
        s_ibNext = 0;
        if (s_cbBuffer == 0)
            return EOF;
    }
    return s_abBuffer[s_ibNext++];
}

static inline void StepBack()
{
    s_ibNext--;
}

static bool IsLineBreak(long ch)
{
    return ch == '\r' || ch == '\n';
}

// The first byte of a UTF-8 sequence: how many bytes follow it, and the
// range the next one must lie in, which keeps out overlong forms,
// surrogates and values past U+10FFFF. FALSE for a byte no sequence starts
// with.
static BOOL Utf8Lead(int b, int *pcFollow, int *pbLow, int *pbHigh)
{
    *pbLow = 0x80;
    *pbHigh = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        *pcFollow = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
        *pcFollow = 2;
        if (b == 0xE0)
            *pbLow = 0xA0;
        if (b == 0xED)
            *pbHigh = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        *pcFollow = 3;
        if (b == 0xF0)
            *pbLow = 0x90;
        if (b == 0xF4)
            *pbHigh = 0x8F;
    } else {
        return FALSE;
    }
    return TRUE;
}

static unsigned long long Load8(const unsigned char *pb)
{
    unsigned long long n;
    memcpy(&n, pb, sizeof(n));
    return n;
}

// Reads the whole list once, in blocks: LIST_UTF8 when it is valid UTF-8
// with at least one byte past ASCII, LIST_ANSI otherwise. A list of plain
// ASCII reads the same either way and keeps the ANSI reader.
static int DetectUtf8(FILE *file)
{
    unsigned char ab[65536];
    BOOL fNonAscii = FALSE;
    int cFollow = 0, bLow = 0x80, bHigh = 0xBF;
    size_t cb;
    while ((cb = fread(ab, 1, sizeof(ab), file)) > 0) {
        for (size_t i = 0; i < cb; i++) {
            // Runs of ASCII, the bulk of any list, eight bytes at a time.
            while (cFollow == 0 && i + 8 <= cb && (Load8(ab + i) & 0x8080808080808080ull) == 0)
                i += 8;
            if (i >= cb)
                break;
            int b = ab[i];
            if (cFollow > 0) {
                if (b < bLow || b > bHigh)
                    return LIST_ANSI;
                cFollow--;
                bLow = 0x80;
                bHigh = 0xBF;
            } else if (b >= 0x80) {
                if (!Utf8Lead(b, &cFollow, &bLow, &bHigh))
                    return LIST_ANSI;
                fNonAscii = TRUE;
            }
        }
    }
    if (ferror(file) || cFollow > 0 || !fNonAscii)
        return LIST_ANSI;
    return LIST_UTF8;
}

static int DetectEncoding(FILE *file, long *pcbMark)
{
    unsigned char ab[3];
    size_t cb = fread(ab, 1, sizeof(ab), file);
    *pcbMark = 0;
    if (cb >= 2 && ab[0] == 0xFF && ab[1] == 0xFE) {
        *pcbMark = 2;
        return LIST_UTF16LE;
    }
    if (cb >= 2 && ab[0] == 0xFE && ab[1] == 0xFF) {
        *pcbMark = 2;
        return LIST_UTF16BE;
    }
    if (cb == 3 && ab[0] == 0xEF && ab[1] == 0xBB && ab[2] == 0xBF) {
        *pcbMark = 3;
        return LIST_UTF8_BOM;
    }
    rewind(file);
    return DetectUtf8(file);
}

static BOOL AllowsCheckedConversion(UINT uCodePage)
{
    if (uCodePage == CP_ACP)
        uCodePage = GetACP();
    return uCodePage != CP_UTF8 && uCodePage != 42 && uCodePage != 52936 && uCodePage != 54936
        && !(uCodePage >= 50220 && uCodePage <= 50229)
        && !(uCodePage >= 57002 && uCodePage <= 57011);
}

BOOL OpenList(FILE *file, UINT uCodePage)
{
    if (uCodePage == CP_UTF7 || (uCodePage != CP_ACP && !IsValidCodePage(uCodePage)))
        return FALSE;
    g_uListCodePage = uCodePage;
    s_fCheckedConversion = AllowsCheckedConversion(uCodePage);
    s_fLastEntryFull = FALSE;
    s_ibNext = s_cbBuffer = 0;
    s_cCarried = 0;
    s_nPendingUnit = -1;
    g_wszListEntry[0] = L'\0';
    g_fListEntryUnmappable = FALSE;
    g_fListEntryContinues = FALSE;
    g_szListEntryRaw[0] = '\0';

    long cbMark = 0;
    g_nListEncoding = DetectEncoding(file, &cbMark);
    rewind(file);
    // Past the mark again; rewind cleared any error of the scan, which
    // the reader then meets for itself.
    for (long i = 0; i < cbMark; i++)
        getc(file);
    return TRUE;
}

// ASCII is the same in every ANSI code page this reader is used with, and
// widened by hand: a conversion call for every entry would cost a good part
// of reading it.
static void WidenAnsiEntry()
{
    int i = 0;
    for (; g_szListLine[i] != '\0'; i++) {
        if ((BYTE)g_szListLine[i] >= 0x80) {
            if (MultiByteToWideChar(g_uListCodePage, 0, g_szListLine, -1, g_wszListEntry,
                                    (int)(sizeof(g_wszListEntry) / sizeof(WCHAR))) == 0)
                g_wszListEntry[0] = L'\0';
            return;
        }
        g_wszListEntry[i] = (WCHAR)g_szListLine[i];
    }
    g_wszListEntry[i] = L'\0';
}

// The ANSI road: bytes as they stand, exactly as the list has always been
// read, so every list that installed before installs the same.
static int ReadAnsiEntry(FILE *file)
{
    memset(g_szListLine, 0, sizeof(g_szListLine));

    int ch = EOF;
    int cBreaks = 0;
    for (; cBreaks < c_cLineBreaksSkipped; cBreaks++) {
        ch = NextByte(file);
        if (ch == EOF || !IsLineBreak(ch))
            break;
    }
    if (ch == EOF)
        return 0;
    // The byte that ended the skipping is the entry's first.
    StepBack();
    g_fListEntryContinues = s_fLastEntryFull && cBreaks == 0;

    int i = 0;
    for (; i < c_cbListEntry; i++) {
        ch = NextByte(file);
        if (ch == EOF || IsLineBreak(ch))
            break;
        g_szListLine[i] = (char)ch;
    }
    s_fLastEntryFull = i == c_cbListEntry;
    WidenAnsiEntry();
    return 1;
}

static long ReadUtf8CodePoint(FILE *file)
{
    int b = NextByte(file);
    if (b == EOF)
        return c_cpEnd;
    if (b < 0x80)
        return b;
    int cFollow, bLow, bHigh;
    if (!Utf8Lead(b, &cFollow, &bLow, &bHigh))
        return c_cpReplacement;
    long cp = b & (0x3F >> cFollow);
    for (; cFollow > 0; cFollow--) {
        int bNext = NextByte(file);
        if (bNext < bLow || bNext > bHigh) {
            // Not part of the sequence: it starts what comes next.
            if (bNext != EOF)
                StepBack();
            return c_cpReplacement;
        }
        cp = (cp << 6) | (bNext & 0x3F);
        bLow = 0x80;
        bHigh = 0xBF;
    }
    return cp;
}

// One UTF-16 unit; c_cpEnd at the end, where an odd last byte is dropped.
static long ReadUtf16Unit(FILE *file)
{
    if (s_nPendingUnit >= 0) {
        long nUnit = s_nPendingUnit;
        s_nPendingUnit = -1;
        return nUnit;
    }
    int b1 = NextByte(file);
    int b2 = b1 == EOF ? EOF : NextByte(file);
    if (b2 == EOF)
        return c_cpEnd;
    return g_nListEncoding == LIST_UTF16LE ? (b2 << 8) | b1 : (b1 << 8) | b2;
}

static long ReadUtf16CodePoint(FILE *file)
{
    long nUnit = ReadUtf16Unit(file);
    if (nUnit < 0xD800 || nUnit > 0xDFFF)
        return nUnit;
    if (nUnit >= 0xDC00)
        return c_cpReplacement;   // a low surrogate alone
    long nLow = ReadUtf16Unit(file);
    if (nLow >= 0xDC00 && nLow <= 0xDFFF)
        return 0x10000 + ((nUnit - 0xD800) << 10) + (nLow - 0xDC00);
    if (nLow != c_cpEnd)
        s_nPendingUnit = nLow;
    return c_cpReplacement;       // a high surrogate alone
}

static long ReadCodePoint(FILE *file)
{
    if (s_cCarried > 0)
        return s_acpCarried[--s_cCarried];
    return g_nListEncoding == LIST_UTF16LE || g_nListEncoding == LIST_UTF16BE
        ? ReadUtf16CodePoint(file) : ReadUtf8CodePoint(file);
}

static void CarryBack(long cp)
{
    s_acpCarried[s_cCarried++] = cp;
}

// UTF-16 of code points; the units of each code point start at
// aiUnit[its index]. Returns the count of units.
static int ToUtf16(const long *acp, int ccp, WCHAR *pwch, int *aiUnit)
{
    int cwch = 0;
    for (int i = 0; i < ccp; i++) {
        aiUnit[i] = cwch;
        long cp = acp[i];
        if (cp >= 0x10000) {
            pwch[cwch++] = (WCHAR)(0xD800 + ((cp - 0x10000) >> 10));
            pwch[cwch++] = (WCHAR)(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            pwch[cwch++] = (WCHAR)cp;
        }
    }
    aiUnit[ccp] = cwch;
    return cwch;
}

static int ToCodePage(const WCHAR *pwch, int cwch, char *pch, int cbMax, BOOL *pfUnmappable)
{
    BOOL fUsedDefault = FALSE;
    int cb = cwch == 0 ? 0
           : s_fCheckedConversion
           ? WideCharToMultiByte(g_uListCodePage, WC_NO_BEST_FIT_CHARS, pwch, cwch, pch, cbMax,
                                 "?", &fUsedDefault)
           : WideCharToMultiByte(g_uListCodePage, 0, pwch, cwch, pch, cbMax, NULL, NULL);
    *pfUnmappable = fUsedDefault;
    return cb;
}

// How many of the code points fit in one entry once converted: only for a
// piece that did not fit whole, which takes a double-byte code page or a
// UTF-8 one.
static int CodePointsThatFit(const WCHAR *pwch, const int *aiUnit, int ccp)
{
    char ab[8];
    int cb = 0;
    for (int i = 0; i < ccp; i++) {
        BOOL fUnmappable;
        cb += ToCodePage(pwch + aiUnit[i], aiUnit[i + 1] - aiUnit[i], ab, sizeof(ab), &fUnmappable);
        if (cb > c_cbListEntry)
            return i;
    }
    return ccp;
}

static void KeepRawBytes(const long *acp, int ccp)
{
    int cb = 0;
    for (int i = 0; i < ccp; i++) {
        long cp = acp[i];
        unsigned char ab[4];
        int cbCp;
        if (cp < 0x80) {
            ab[0] = (unsigned char)cp;
            cbCp = 1;
        } else if (cp < 0x800) {
            ab[0] = (unsigned char)(0xC0 | (cp >> 6));
            ab[1] = (unsigned char)(0x80 | (cp & 0x3F));
            cbCp = 2;
        } else if (cp < 0x10000) {
            ab[0] = (unsigned char)(0xE0 | (cp >> 12));
            ab[1] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
            ab[2] = (unsigned char)(0x80 | (cp & 0x3F));
            cbCp = 3;
        } else {
            ab[0] = (unsigned char)(0xF0 | (cp >> 18));
            ab[1] = (unsigned char)(0x80 | ((cp >> 12) & 0x3F));
            ab[2] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
            ab[3] = (unsigned char)(0x80 | (cp & 0x3F));
            cbCp = 4;
        }
        if (cb + cbCp > c_cbListEntry) {
            g_szListEntryRaw[0] = '\0';
            return;
        }
        memcpy(g_szListEntryRaw + cb, ab, (size_t)cbCp);
        cb += cbCp;
    }
    g_szListEntryRaw[cb] = '\0';
}

// The Unicode road: the same steps as the ANSI one, on code points, each
// of which is at least one byte of converted text.
static int ReadUnicodeEntry(FILE *file)
{
    memset(g_szListLine, 0, sizeof(g_szListLine));
    g_wszListEntry[0] = L'\0';
    g_fListEntryUnmappable = FALSE;
    g_szListEntryRaw[0] = '\0';

    long cp = c_cpEnd;
    int cBreaks = 0;
    for (; cBreaks < c_cLineBreaksSkipped; cBreaks++) {
        cp = ReadCodePoint(file);
        if (cp == c_cpEnd || !IsLineBreak(cp))
            break;
    }
    if (cp == c_cpEnd)
        return 0;
    CarryBack(cp);
    g_fListEntryContinues = s_fLastEntryFull && cBreaks == 0;

    long acp[c_cbListEntry];
    int ccp = 0;
    long cpBreak = c_cpEnd;   // the line break that ended the entry, if one did
    while (ccp < c_cbListEntry) {
        cp = ReadCodePoint(file);
        if (cp == c_cpEnd)
            break;
        if (IsLineBreak(cp)) {
            cpBreak = cp;
            break;
        }
        acp[ccp++] = cp;
    }
    BOOL fFull = ccp == c_cbListEntry;

    WCHAR awch[2 * c_cbListEntry];
    int aiUnit[c_cbListEntry + 1];
    char ab[4 * 2 * c_cbListEntry];
    BOOL fUnmappable = FALSE;
    int cwch = ToUtf16(acp, ccp, awch, aiUnit);
    int cb = ToCodePage(awch, cwch, ab, sizeof(ab), &fUnmappable);
    int ccpKept = ccp;
    if (cb > c_cbListEntry) {
        // The rest of the line, and the break that ended it, come next.
        ccpKept = CodePointsThatFit(awch, aiUnit, ccp);
        if (cpBreak != c_cpEnd)
            CarryBack(cpBreak);
        for (int i = ccp - 1; i >= ccpKept; i--)
            CarryBack(acp[i]);
        fFull = TRUE;
    }
    s_fLastEntryFull = fFull;

    // The text ends at a NUL; what follows it in the entry is read but not
    // used, so it neither counts as unmappable nor shows.
    int ccpText = 0;
    while (ccpText < ccpKept && acp[ccpText] != 0)
        ccpText++;
    if (ccpText != ccp)
        cb = ToCodePage(awch, aiUnit[ccpText], ab, sizeof(ab), &fUnmappable);
    memcpy(g_szListLine, ab, (size_t)cb);
    memcpy(g_wszListEntry, awch, (size_t)aiUnit[ccpText] * sizeof(WCHAR));
    g_wszListEntry[aiUnit[ccpText]] = L'\0';
    g_fListEntryUnmappable = fUnmappable;
    // Only a whole line is the entry an ANSI reading would give.
    if (g_nListEncoding == LIST_UTF8 && !fFull && !g_fListEntryContinues)
        KeepRawBytes(acp, ccpText);
    return 1;
}

int ReadListEntry(FILE *file)
{
    if (g_nListEncoding == LIST_ANSI)
        return ReadAnsiEntry(file);
    return ReadUnicodeEntry(file);
}

const char *ListEncodingName(int nEncoding)
{
    switch (nEncoding) {
    case LIST_UTF8:
        return "UTF-8";
    case LIST_UTF8_BOM:
        return "UTF-8 met BOM";
    case LIST_UTF16LE:
        return "UTF-16 LE";
    case LIST_UTF16BE:
        return "UTF-16 BE";
    default:
        return "ANSI";
    }
}
