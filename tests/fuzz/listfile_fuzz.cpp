// Fuzzes the series list reader: the input is the bytes of teinstal.txt.
// The reader's entries must be the ones a plain model of the list format
// gives, worked out from runs of line breaks and runs of text rather than
// byte by byte as the reader goes, so the two cannot share a mistake.
#include "app/globals.h"
#include "app/listfile.h"
#include <algorithm>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const size_t c_cchEntry = 149;
const size_t c_cBreaksPerEmptyEntry = 5;

bool IsBreak(uint8_t b)
{
    return b == '\r' || b == '\n';
}

// An entry's text ends at its first NUL; the bytes after it are read but
// not used.
std::string EntryText(const uint8_t *pb, size_t cb)
{
    const void *pNul = memchr(pb, '\0', cb);
    return std::string((const char *)pb, pNul ? (const uint8_t *)pNul - pb : cb);
}

std::vector<std::string> ExpectedEntries(const uint8_t *pb, size_t cb)
{
    size_t i = 0;
    if (cb >= 3 && pb[0] == 0xEF && pb[1] == 0xBB && pb[2] == 0xBF)
        i = 3;
    std::vector<std::string> entries;
    // The break that ends a line's last piece belongs to that entry; a
    // piece of exactly 149 bytes ends without taking one.
    bool fBreakEndsEntry = false;
    while (i < cb) {
        size_t cBreaks = 0;
        for (; i < cb && IsBreak(pb[i]); i++)
            cBreaks++;
        if (fBreakEndsEntry && cBreaks > 0)
            cBreaks--;
        entries.insert(entries.end(), cBreaks / c_cBreaksPerEmptyEntry, std::string());

        size_t iText = i;
        for (; i < cb && !IsBreak(pb[i]); i++) {
        }
        size_t cchText = i - iText;
        for (size_t off = 0; off < cchText; off += c_cchEntry)
            entries.push_back(EntryText(pb + iText + off, std::min(c_cchEntry, cchText - off)));
        fBreakEndsEntry = cchText % c_cchEntry != 0;
    }
    return entries;
}

[[noreturn]] void Mismatch(const char *pszWhat, size_t iEntry, const std::string &expected)
{
    // The buffer may be what went wrong: never read past its end.
    fprintf(stderr, "list reader: %s at entry %zu\n  expected \"%s\"\n  read     \"%.*s\"\n",
            pszWhat, iEntry, expected.c_str(), (int)sizeof(g_szListLine), g_szListLine);
    __builtin_trap();
}

// The buffer is always terminated within its 150 bytes and never holds a
// line break, whatever stood in the file.
void CheckBuffer(size_t iEntry, const std::string &expected)
{
    if (g_szListLine[c_cchEntry] != '\0')
        Mismatch("entry not terminated", iEntry, expected);
    if (memchr(g_szListLine, '\r', c_cchEntry) || memchr(g_szListLine, '\n', c_cchEntry))
        Mismatch("line break in entry", iEntry, expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pb, size_t cb)
{
    std::vector<std::string> expected = ExpectedEntries(pb, cb);
    FILE *file = fmemopen((void *)pb, cb, "rb");
    if (file == NULL)
        __builtin_trap();
    OpenList(file, CP_ACP);

    // Every entry but a 5-break empty one takes at least one byte, so a
    // reader that goes on longer than the file has bytes never ends.
    size_t iEntry = 0;
    for (;; iEntry++) {
        int nRead = ReadListEntry(file);
        std::string want = iEntry < expected.size() ? expected[iEntry] : "(end)";
        if (nRead == 0)
            break;
        if (nRead != 1)
            Mismatch("result neither 0 nor 1", iEntry, want);
        CheckBuffer(iEntry, want);
        if (iEntry >= expected.size())
            Mismatch("entry after the end", iEntry, want);
        if (want != g_szListLine)
            Mismatch("wrong entry", iEntry, want);
    }
    if (iEntry != expected.size())
        Mismatch("list ended early", iEntry, expected[iEntry]);
    fclose(file);
    return 0;
}
