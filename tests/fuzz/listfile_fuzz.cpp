// Fuzzes the series list reader. The input is one byte choosing the code
// page (odd: 932, even: 1252) and then the bytes of teinstal.txt. The
// reader's entries must be the ones a plain model of the list format
// gives: the whole list decoded and converted at once, then cut into
// entries from runs of line breaks and runs of text rather than character
// by character as the reader goes, so the two cannot share a mistake.
#include "app/globals.h"
#include "app/listfile.h"
#include <algorithm>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const size_t c_cbEntry = 149;
const size_t c_cBreaksPerEmptyEntry = 5;

// One character of the list: its code point (for an ANSI list, the byte)
// and its bytes in the code page, "?" when the code page has none.
struct Char {
    uint32_t cp;
    std::string bytes;
    bool fUnmappable;
};

struct Entry {
    std::string text;
    std::wstring wide;        // empty: not checked (ANSI lists)
    bool fUnmappable;
    bool fContinues;
    std::string raw;
};

bool IsBreak(uint32_t cp)
{
    return cp == '\r' || cp == '\n';
}

// How many bytes a UTF-8 sequence starting with b has, by the table of
// well-formed sequences; the second byte's range is checked apart.
size_t Utf8Length(uint8_t b)
{
    return b < 0x80 ? 1 : b < 0xC2 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 0;
}

bool Utf8SecondOk(uint8_t b0, uint8_t b1)
{
    uint8_t lo = b0 == 0xE0 ? 0xA0 : b0 == 0xF0 ? 0x90 : 0x80;
    uint8_t hi = b0 == 0xED ? 0x9F : b0 == 0xF4 ? 0x8F : 0xBF;
    return b1 >= lo && b1 <= hi;
}

// Decodes UTF-8; an ill-formed part becomes one U+FFFD per maximal part of
// a well-formed sequence (or per stray byte). *pfValid: none was ill-formed.
std::vector<uint32_t> DecodeUtf8(const uint8_t *pb, size_t cb, bool *pfValid)
{
    std::vector<uint32_t> cps;
    *pfValid = true;
    for (size_t i = 0; i < cb;) {
        size_t len = Utf8Length(pb[i]);
        size_t ok = len == 0 ? 0 : 1;
        if (len > 1 && i + 1 < cb && Utf8SecondOk(pb[i], pb[i + 1]))
            for (ok = 2; ok < len && i + ok < cb && (pb[i + ok] & 0xC0) == 0x80; ok++) {
            }
        if (len == 0 || ok < len) {
            cps.push_back(0xFFFD);
            *pfValid = false;
            i += std::max<size_t>(ok, 1);
            continue;
        }
        uint32_t cp = len == 1 ? pb[i] : pb[i] & (0x7F >> len);
        for (size_t k = 1; k < len; k++)
            cp = cp << 6 | (pb[i + k] & 0x3F);
        cps.push_back(cp);
        i += len;
    }
    return cps;
}

std::vector<uint32_t> DecodeUtf16(const uint8_t *pb, size_t cb, bool fLittle)
{
    std::vector<uint32_t> units;
    for (size_t i = 0; i + 1 < cb; i += 2)
        units.push_back(fLittle ? pb[i] | pb[i + 1] << 8 : pb[i] << 8 | pb[i + 1]);
    std::vector<uint32_t> cps;
    for (size_t i = 0; i < units.size(); i++) {
        uint32_t u = units[i];
        bool fHigh = u >= 0xD800 && u < 0xDC00;
        if (fHigh && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            cps.push_back(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            i++;
        } else {
            cps.push_back(u >= 0xD800 && u < 0xE000 ? 0xFFFD : u);
        }
    }
    return cps;
}

std::wstring ToUtf16(const std::vector<Char> &chars)
{
    std::wstring wide;
    for (const Char &ch : chars) {
        if (ch.cp >= 0x10000) {
            wide += (wchar_t)(0xD800 + ((ch.cp - 0x10000) >> 10));
            wide += (wchar_t)(0xDC00 + ((ch.cp - 0x10000) & 0x3FF));
        } else {
            wide += (wchar_t)ch.cp;
        }
    }
    return wide;
}

std::string ToUtf8(const std::vector<Char> &chars)
{
    std::string s;
    for (const Char &ch : chars) {
        uint32_t cp = ch.cp;
        if (cp < 0x80) {
            s += (char)cp;
        } else if (cp < 0x800) {
            s += (char)(0xC0 | cp >> 6);
            s += (char)(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            s += (char)(0xE0 | cp >> 12);
            s += (char)(0x80 | (cp >> 6 & 0x3F));
            s += (char)(0x80 | (cp & 0x3F));
        } else {
            s += (char)(0xF0 | cp >> 18);
            s += (char)(0x80 | (cp >> 12 & 0x3F));
            s += (char)(0x80 | (cp >> 6 & 0x3F));
            s += (char)(0x80 | (cp & 0x3F));
        }
    }
    return s;
}

// The whole list converted at once, character by character.
std::vector<Char> Convert(const std::vector<uint32_t> &cps)
{
    std::vector<Char> chars;
    for (uint32_t cp : cps) {
        Char ch{cp, "", false};
        std::wstring wide = ToUtf16({Char{cp, "", false}});
        char ab[8];
        BOOL fUsedDefault = FALSE;
        int cb = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(),
                                     ab, sizeof(ab), "?", &fUsedDefault);
        ch.bytes.assign(ab, (size_t)cb);
        ch.fUnmappable = fUsedDefault != FALSE;
        chars.push_back(ch);
    }
    return chars;
}

std::vector<Char> AnsiChars(const uint8_t *pb, size_t cb)
{
    std::vector<Char> chars;
    for (size_t i = 0; i < cb; i++)
        chars.push_back(Char{pb[i], std::string(1, (char)pb[i]), false});
    return chars;
}

// A piece is the longest run of whole characters of at most 149 bytes;
// for an ANSI list, where each byte is a character, simply 149 bytes.
size_t PieceLength(const std::vector<Char> &chars, size_t iFrom, size_t iEnd)
{
    size_t cb = 0, i = iFrom;
    for (; i < iEnd && i - iFrom < c_cbEntry && cb + chars[i].bytes.size() <= c_cbEntry; i++)
        cb += chars[i].bytes.size();
    return i - iFrom;
}

// The entry a piece gives: its text ends at its first NUL.
Entry PieceEntry(const std::vector<Char> &chars, size_t iFrom, size_t cch, bool fUnicode)
{
    Entry entry{"", L"", false, false, ""};
    std::vector<Char> text;
    for (size_t i = iFrom; i < iFrom + cch && chars[i].cp != 0; i++)
        text.push_back(chars[i]);
    for (const Char &ch : text) {
        entry.text += ch.bytes;
        entry.fUnmappable = entry.fUnmappable || ch.fUnmappable;
    }
    if (fUnicode)
        entry.wide = ToUtf16(text);
    return entry;
}

std::vector<Entry> ExpectedEntries(const std::vector<Char> &chars, bool fUnicode, bool fRaw)
{
    std::vector<Entry> entries;
    // The break that ends a line's last piece belongs to that entry; a
    // piece of 149 characters ends without taking one.
    bool fBreakEndsEntry = false;
    size_t i = 0;
    while (i < chars.size()) {
        size_t cBreaks = 0;
        for (; i < chars.size() && IsBreak(chars[i].cp); i++)
            cBreaks++;
        if (fBreakEndsEntry && cBreaks > 0)
            cBreaks--;
        entries.insert(entries.end(), cBreaks / c_cBreaksPerEmptyEntry, Entry{"", L"", false, false, ""});

        size_t iText = i;
        for (; i < chars.size() && !IsBreak(chars[i].cp); i++) {
        }
        size_t cchLast = 0;
        size_t cPieces = 0;
        for (size_t off = iText; off < i; off += cchLast, cPieces++) {
            cchLast = PieceLength(chars, off, i);
            Entry entry = PieceEntry(chars, off, cchLast, fUnicode);
            entry.fContinues = off != iText;
            entries.push_back(entry);
        }
        if (fRaw && cPieces == 1 && cchLast < c_cbEntry) {
            std::vector<Char> text;
            for (size_t k = iText; k < i && chars[k].cp != 0; k++)
                text.push_back(chars[k]);
            std::string raw = ToUtf8(text);
            if (raw.size() <= c_cbEntry)
                entries.back().raw = raw;
        }
        fBreakEndsEntry = cPieces > 0 && cchLast != c_cbEntry;
    }
    return entries;
}

std::string Shown(const std::string &s)
{
    std::string out;
    for (unsigned char ch : s) {
        char sz[8];
        snprintf(sz, sizeof(sz), (ch < 32 || ch >= 127) ? "\\x%02X" : "%c", ch);
        out += sz;
    }
    return out;
}

[[noreturn]] void Mismatch(const char *pszWhat, size_t iEntry, const Entry &expected)
{
    // The buffer may be what went wrong: never read past its end.
    std::string read(g_szListLine, strnlen(g_szListLine, sizeof(g_szListLine)));
    fprintf(stderr, "list reader: %s at entry %zu (%s)\n  expected \"%s\"%s%s raw \"%s\"\n"
            "  read     \"%s\"%s%s raw \"%s\"\n",
            pszWhat, iEntry, ListEncodingName(g_nListEncoding),
            Shown(expected.text).c_str(), expected.fUnmappable ? " unmappable" : "",
            expected.fContinues ? " continues" : "", Shown(expected.raw).c_str(),
            Shown(read).c_str(), g_fListEntryUnmappable ? " unmappable" : "",
            g_fListEntryContinues ? " continues" : "",
            Shown(std::string(g_szListEntryRaw, strnlen(g_szListEntryRaw, sizeof(g_szListEntryRaw)))).c_str());
    __builtin_trap();
}

// The buffers are always terminated and never hold a line break, whatever
// stood in the file.
void CheckBuffers(size_t iEntry, const Entry &expected)
{
    if (g_szListLine[c_cbEntry] != '\0' || g_szListEntryRaw[c_cbEntry] != '\0')
        Mismatch("entry not terminated", iEntry, expected);
    if (memchr(g_szListLine, '\r', c_cbEntry) || memchr(g_szListLine, '\n', c_cbEntry))
        Mismatch("line break in entry", iEntry, expected);
    const size_t cwch = sizeof(g_wszListEntry) / sizeof(WCHAR);
    if (std::find(g_wszListEntry, g_wszListEntry + cwch, L'\0') == g_wszListEntry + cwch)
        Mismatch("UTF-16 entry not terminated", iEntry, expected);
}

void CheckEntry(size_t iEntry, const Entry &want, bool fUnicode)
{
    CheckBuffers(iEntry, want);
    if (want.text != g_szListLine)
        Mismatch("wrong entry", iEntry, want);
    if (want.fContinues != (g_fListEntryContinues != FALSE))
        Mismatch("wrong continuation", iEntry, want);
    if (want.fUnmappable != (g_fListEntryUnmappable != FALSE))
        Mismatch("wrong unmappable flag", iEntry, want);
    if (want.raw != g_szListEntryRaw)
        Mismatch("wrong raw bytes", iEntry, want);
    if (fUnicode && want.wide != g_wszListEntry)
        Mismatch("wrong UTF-16 entry", iEntry, want);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pbInput, size_t cbInput)
{
    if (cbInput == 0)
        return 0;
    SetAnsiCodePage(pbInput[0] & 1 ? 932 : 1252);
    const uint8_t *pb = pbInput + 1;
    const size_t cb = cbInput - 1;

    int nEncoding = LIST_ANSI;
    std::vector<uint32_t> cps;
    bool fValid = false;
    if (cb >= 2 && pb[0] == 0xFF && pb[1] == 0xFE) {
        nEncoding = LIST_UTF16LE;
        cps = DecodeUtf16(pb + 2, cb - 2, true);
    } else if (cb >= 2 && pb[0] == 0xFE && pb[1] == 0xFF) {
        nEncoding = LIST_UTF16BE;
        cps = DecodeUtf16(pb + 2, cb - 2, false);
    } else if (cb >= 3 && pb[0] == 0xEF && pb[1] == 0xBB && pb[2] == 0xBF) {
        nEncoding = LIST_UTF8_BOM;
        cps = DecodeUtf8(pb + 3, cb - 3, &fValid);
    } else {
        cps = DecodeUtf8(pb, cb, &fValid);
        bool fNonAscii = std::any_of(pb, pb + cb, [](uint8_t b) { return b >= 0x80; });
        if (fValid && fNonAscii)
            nEncoding = LIST_UTF8;
    }
    const bool fUnicode = nEncoding != LIST_ANSI;
    std::vector<Entry> expected = ExpectedEntries(fUnicode ? Convert(cps) : AnsiChars(pb, cb),
                                                  fUnicode, nEncoding == LIST_UTF8);

    FILE *file = fmemopen((void *)pb, cb, "rb");
    if (file == NULL)
        __builtin_trap();
    const Entry end{"(end)", L"", false, false, ""};
    if (!OpenList(file, CP_ACP))
        Mismatch("list not opened", 0, end);
    if (g_nListEncoding != nEncoding)
        Mismatch(nEncoding == LIST_ANSI ? "wrong encoding, ANSI expected" : "wrong encoding", 0, end);

    // Every entry but a 5-break empty one takes at least one character, so
    // a reader that goes on longer than the file has characters never ends.
    size_t iEntry = 0;
    for (;; iEntry++) {
        int nRead = ReadListEntry(file);
        const Entry &want = iEntry < expected.size() ? expected[iEntry] : end;
        if (nRead == 0)
            break;
        if (nRead != 1)
            Mismatch("result neither 0 nor 1", iEntry, want);
        if (iEntry >= expected.size())
            Mismatch("entry after the end", iEntry, want);
        CheckEntry(iEntry, want, fUnicode);
    }
    if (iEntry != expected.size())
        Mismatch("list ended early", iEntry, expected[iEntry]);
    fclose(file);
    return 0;
}
