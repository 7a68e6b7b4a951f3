// Fuzzes the series list reader. The input is one byte choosing the code
// page (odd: 932, even: 1252) and then the bytes of teinstal.txt. The
// reader's entries must be the ones a plain model of the list format
// gives: the list decoded line by line into characters, each converted on
// its own, then cut into entries from runs of line breaks and runs of text
// rather than unit by unit as the reader goes, so the two cannot share a
// mistake. Both use the system's conversions (here the shim's).
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

// One character of the list: as written, and its bytes in the code page
// ("?" when it has none). A byte of a line read as ANSI is a character of
// its own with no text as written: the entry's is converted whole.
struct Char {
    std::wstring wide;
    std::string bytes;
    bool fUnmappable;
    bool fAnsi;
    std::string raw;   // at the start of a line read as UTF-8 without a mark: its bytes
};

struct Entry {
    std::string text;
    std::wstring wide;
    bool fUnmappable;
    bool fContinues;
    std::string raw;
};

bool IsBreak(const Char &ch)
{
    return ch.bytes == "\r" || ch.bytes == "\n";
}

void AddUnicode(const std::wstring &text, std::vector<Char> *pChars)
{
    for (size_t i = 0; i < text.size(); i++) {
        bool fPair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()
                  && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        std::wstring wide = text.substr(i, fPair ? 2 : 1);
        if (!fPair && wide[0] >= 0xD800 && wide[0] < 0xE000)
            wide[0] = 0xFFFD;
        i += fPair ? 1 : 0;
        char ab[8];
        BOOL fUsedDefault = FALSE;
        int cb = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(),
                                     ab, sizeof(ab), "?", &fUsedDefault);
        pChars->push_back(Char{wide, std::string(ab, (size_t)cb), fUsedDefault != FALSE, false, ""});
    }
}

// A line without a byte-order mark: UTF-8 when it is valid UTF-8 past ASCII.
void AddLine(const uint8_t *pb, size_t cb, std::vector<Char> *pChars, bool *pfUtf8, bool *pfAnsi)
{
    bool fPastAscii = std::any_of(pb, pb + cb, [](uint8_t b) { return b >= 0x80; });
    std::vector<WCHAR> wide(cb + 1);
    int cwch = !fPastAscii ? 0 : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, (const char *)pb,
                                                      (int)cb, wide.data(), (int)wide.size());
    if (cwch > 0) {
        size_t iFirst = pChars->size();
        AddUnicode(std::wstring(wide.data(), (size_t)cwch), pChars);
        (*pChars)[iFirst].raw.assign((const char *)pb, strnlen((const char *)pb, cb));
        *pfUtf8 = true;
        return;
    }
    *pfAnsi = *pfAnsi || fPastAscii;
    for (size_t i = 0; i < cb; i++)
        pChars->push_back(Char{L"", std::string(1, (char)pb[i]), false, true, ""});
}

int Decode(const uint8_t *pb, size_t cb, std::vector<Char> *pChars)
{
    std::wstring text;
    if (cb >= 2 && ((pb[0] == 0xFF && pb[1] == 0xFE) || (pb[0] == 0xFE && pb[1] == 0xFF))) {
        for (size_t i = 2; i + 1 < cb; i += 2)
            text += (wchar_t)(pb[0] == 0xFF ? pb[i] | pb[i + 1] << 8 : pb[i] << 8 | pb[i + 1]);
        AddUnicode(text, pChars);
        return pb[0] == 0xFF ? LIST_UTF16LE : LIST_UTF16BE;
    }
    if (cb >= 3 && pb[0] == 0xEF && pb[1] == 0xBB && pb[2] == 0xBF) {
        text.resize(cb);
        int cwch = MultiByteToWideChar(CP_UTF8, 0, (const char *)pb + 3, (int)cb - 3, &text[0], (int)cb);
        AddUnicode(text.substr(0, (size_t)cwch), pChars);
        return LIST_UTF8_BOM;
    }
    bool fUtf8 = false, fAnsi = false;
    size_t iLine = 0;
    for (size_t i = 0; i <= cb; i++) {
        if (i < cb && pb[i] != '\r' && pb[i] != '\n')
            continue;
        AddLine(pb + iLine, i - iLine, pChars, &fUtf8, &fAnsi);
        if (i < cb)
            pChars->push_back(Char{std::wstring(1, (wchar_t)pb[i]), std::string(1, (char)pb[i]),
                                   false, false, ""});
        iLine = i + 1;
    }
    return !fUtf8 ? LIST_ANSI : fAnsi ? LIST_UTF8_ANSI : LIST_UTF8;
}

// A piece is the longest run of whole characters of at most 149 bytes;
// for an ANSI line, where each byte is a character, simply 149 bytes.
size_t PieceLength(const std::vector<Char> &chars, size_t iFrom, size_t iEnd)
{
    size_t cb = 0, i = iFrom;
    for (; i < iEnd && i - iFrom < c_cbEntry && cb + chars[i].bytes.size() <= c_cbEntry; i++)
        cb += chars[i].bytes.size();
    return i - iFrom;
}

// The entry a piece gives: its text ends at its first NUL.
Entry PieceEntry(const std::vector<Char> &chars, size_t iFrom, size_t cch)
{
    Entry entry{"", L"", false, false, ""};
    for (size_t i = iFrom; i < iFrom + cch && chars[i].bytes[0] != '\0'; i++) {
        entry.text += chars[i].bytes;
        entry.wide += chars[i].wide;
        entry.fUnmappable = entry.fUnmappable || chars[i].fUnmappable;
    }
    if (chars[iFrom].fAnsi && !entry.text.empty()) {
        WCHAR wsz[2 * c_cbEntry];
        int cwch = MultiByteToWideChar(CP_ACP, 0, entry.text.data(), (int)entry.text.size(), wsz,
                                       2 * c_cbEntry);
        entry.wide.assign(wsz, (size_t)cwch);
    }
    return entry;
}

std::vector<Entry> ExpectedEntries(const std::vector<Char> &chars)
{
    std::vector<Entry> entries;
    // The break that ends a line's last piece belongs to that entry; a
    // piece of 149 characters ends without taking one.
    bool fBreakEndsEntry = false;
    size_t i = 0;
    while (i < chars.size()) {
        size_t cBreaks = 0;
        for (; i < chars.size() && IsBreak(chars[i]); i++)
            cBreaks++;
        if (fBreakEndsEntry && cBreaks > 0)
            cBreaks--;
        entries.insert(entries.end(), cBreaks / c_cBreaksPerEmptyEntry, Entry{"", L"", false, false, ""});

        size_t iText = i;
        for (; i < chars.size() && !IsBreak(chars[i]); i++) {
        }
        size_t cchLast = 0;
        size_t cPieces = 0;
        for (size_t off = iText; off < i; off += cchLast, cPieces++) {
            cchLast = PieceLength(chars, off, i);
            entries.push_back(PieceEntry(chars, off, cchLast));
            entries.back().fContinues = off != iText;
        }
        if (cPieces == 1 && cchLast < c_cbEntry && chars[iText].raw.size() <= c_cbEntry)
            entries.back().raw = chars[iText].raw;
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

[[noreturn]] void Mismatch(const char *pszWhat, size_t iEntry, const Entry &expected, const ListFile &list)
{
    // The buffers may be what went wrong: never read past their end.
    std::string read(g_szListLine, strnlen(g_szListLine, sizeof(g_szListLine)));
    fprintf(stderr, "list reader: %s at entry %zu (%s)\n  expected \"%s\"%s%s raw \"%s\"\n"
            "  read     \"%s\"%s%s raw \"%s\"\n",
            pszWhat, iEntry, ListEncodingName(list.nEncoding),
            Shown(expected.text).c_str(), expected.fUnmappable ? " unmappable" : "",
            expected.fContinues ? " continues" : "", Shown(expected.raw).c_str(),
            Shown(read).c_str(), list.fUnmappable ? " unmappable" : "", list.fContinues ? " continues" : "",
            Shown(std::string(list.szRaw, strnlen(list.szRaw, sizeof(list.szRaw)))).c_str());
    __builtin_trap();
}

void CheckEntry(size_t iEntry, const Entry &want, const ListFile &list)
{
    // The buffers are always terminated and never hold a line break.
    const size_t cwch = sizeof(list.wszEntry) / sizeof(WCHAR);
    if (g_szListLine[c_cbEntry] != '\0' || list.szRaw[c_cbEntry] != '\0'
        || std::find(list.wszEntry, list.wszEntry + cwch, L'\0') == list.wszEntry + cwch)
        Mismatch("entry not terminated", iEntry, want, list);
    if (memchr(g_szListLine, '\r', c_cbEntry) || memchr(g_szListLine, '\n', c_cbEntry))
        Mismatch("line break in entry", iEntry, want, list);
    if (want.text != g_szListLine || want.wide != list.wszEntry)
        Mismatch("wrong entry", iEntry, want, list);
    if (want.fContinues != (list.fContinues != FALSE) || want.fUnmappable != (list.fUnmappable != FALSE))
        Mismatch("wrong flag", iEntry, want, list);
    if (want.raw != list.szRaw)
        Mismatch("wrong raw bytes", iEntry, want, list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pbInput, size_t cbInput)
{
    if (cbInput == 0)
        return 0;
    SetAnsiCodePage(pbInput[0] & 1 ? 932 : 1252);
    const uint8_t *pb = pbInput + 1;
    const size_t cb = cbInput - 1;
    std::vector<Char> chars;
    const int nEncoding = Decode(pb, cb, &chars);
    std::vector<Entry> expected = ExpectedEntries(chars);

    FILE *file = fmemopen((void *)pb, cb, "rb");
    if (file == NULL)
        __builtin_trap();
    ListFile list;
    const Entry end{"(end)", L"", false, false, ""};
    if (!OpenList(file, CP_ACP, &list) || list.fReadError)
        Mismatch("list not read", 0, end, list);
    fclose(file);
    if (list.nEncoding != nEncoding)
        Mismatch("wrong encoding", 0, end, list);

    // Every entry but a 5-break empty one takes at least one character, so
    // a reader that goes on longer than the file has characters never ends.
    size_t iEntry = 0;
    for (;; iEntry++) {
        int nRead = ReadListEntry(&list);
        const Entry &want = iEntry < expected.size() ? expected[iEntry] : end;
        if (nRead == 0)
            break;
        if (nRead != 1 || iEntry >= expected.size())
            Mismatch("entry after the end", iEntry, want, list);
        CheckEntry(iEntry, want, list);
    }
    if (iEntry != expected.size())
        Mismatch("list ended early", iEntry, expected[iEntry], list);
    CloseList(&list);
    return 0;
}
