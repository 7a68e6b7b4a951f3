// What reading the series list costs against reading its bytes at all: reads
// lists of one million entries with the program's own reader, and the same
// files byte by byte with fgetc, in the same run, alternating. Three lists:
// plain ASCII names in ANSI (the road every list took so far), and accented
// names saved as UTF-8 and as UTF-16 LE, which are decoded and converted to
// the ANSI code page entry by entry.
#include "app/globals.h"
#include "app/listfile.h"
#include "tools/bench/timing.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const int kEntries = 1000000;
const int kReps = 7;
const char kFolder[] = "C:\\bench-lijst";

enum Encoding { kAnsi, kUtf8, kUtf16 };

struct ListKind {
    Encoding encoding;
    const char *label;
    const char *path;
};

const ListKind kKinds[] = {
    {kAnsi, "ANSI, ASCII names", "C:\\bench-lijst\\ansi.txt"},
    {kUtf8, "UTF-8, accented names", "C:\\bench-lijst\\utf8.txt"},
    {kUtf16, "UTF-16 LE, accented names", "C:\\bench-lijst\\utf16.txt"},
};

// "Café één 0000001.dat" for 0, and so on.
std::wstring AccentedName(int i)
{
    char szNumber[16];
    snprintf(szNumber, sizeof(szNumber), "%07d", i + 1);
    return L"Caf\u00e9 \u00e9\u00e9n " + std::wstring(szNumber, szNumber + strlen(szNumber)) + L".dat";
}

std::string Narrow(const std::wstring &wide, UINT uCodePage)
{
    char sz[256];
    int cb = WideCharToMultiByte(uCodePage, 0, wide.c_str(), (int)wide.size(), sz, sizeof(sz), NULL, NULL);
    return std::string(sz, cb > 0 ? (size_t)cb : 0);
}

// The entry the reader must give for entry i: its bytes in the ANSI code page.
std::string ExpectedEntry(Encoding encoding, int i)
{
    return encoding == kAnsi ? SeriesName(i) : Narrow(AccentedName(i), CP_ACP);
}

std::string EncodedLine(Encoding encoding, int i)
{
    if (encoding == kAnsi)
        return SeriesName(i) + "\r\n";
    std::wstring line = AccentedName(i) + L"\r\n";
    if (encoding == kUtf8)
        return Narrow(line, CP_UTF8);
    return std::string((const char *)line.data(), line.size() * sizeof(wchar_t));
}

long WriteList(const ListKind &kind)
{
    FILE *file = fopen(kind.path, "wb");
    if (file == NULL)
        return -1;
    if (kind.encoding == kUtf16)
        fwrite("\xFF\xFE", 1, 2, file);
    for (int i = 0; i < kEntries; i++) {
        std::string line = EncodedLine(kind.encoding, i);
        fwrite(line.data(), 1, line.size(), file);
    }
    long cb = ftell(file);
    return fclose(file) == 0 ? cb : -1;
}

// Untimed: the reader yields every entry whole and in order.
bool ReaderReadsEveryEntry(const ListKind &kind)
{
    FILE *file = fopen(kind.path, "rb");
    if (file == NULL)
        return false;
    ListFile list;
    bool ok = OpenList(file, CP_ACP, &list);
    int i = 0;
    while (ok && ReadListEntry(&list))
        ok = i < kEntries && ExpectedEntry(kind.encoding, i++) == g_szListLine;
    CloseList(&list);
    fclose(file);
    return ok && i == kEntries;
}

// Seconds for one pass of the reader, opening included; the count of
// entries read. Without pcEntries, no entry is read: the seconds for
// opening alone, which reads and decodes the whole list.
double TimeReader(const ListKind &kind, long *pcEntries)
{
    FILE *file = fopen(kind.path, "rb");
    if (file == NULL)
        return -1;
    const double t0 = Seconds();
    ListFile list;
    OpenList(file, CP_ACP, &list);
    long c = 0;
    while (pcEntries != NULL && ReadListEntry(&list))
        c++;
    CloseList(&list);
    const double t = Seconds() - t0;
    fclose(file);
    if (pcEntries != NULL)
        *pcEntries = c;
    return t;
}

// Seconds for one pass of fgetc to the end; the count of bytes read.
double TimeBytes(const ListKind &kind, long *pcBytes)
{
    FILE *file = fopen(kind.path, "rb");
    if (file == NULL)
        return -1;
    const double t0 = Seconds();
    long c = 0;
    while (fgetc(file) != EOF)
        c++;
    const double t = Seconds() - t0;
    fclose(file);
    *pcBytes = c;
    return t;
}

}  // namespace

int main()
{
    CreateDirectoryA(kFolder, NULL);
    const int cKinds = sizeof(kKinds) / sizeof(kKinds[0]);
    long acbList[cKinds];
    int rc = 0;
    for (int k = 0; k < cKinds && rc == 0; k++) {
        acbList[k] = WriteList(kKinds[k]);
        if (acbList[k] < 0 || !ReaderReadsEveryEntry(kKinds[k])) {
            fprintf(stderr, "bench: the %s list could not be written or was not read back whole\n",
                    kKinds[k].label);
            rc = 1;
        }
    }
    std::vector<double> reader[cKinds], bytes[cKinds], open[cKinds];
    for (int rep = 0; rc == 0 && rep < kReps; rep++) {
        for (int k = 0; k < cKinds && rc == 0; k++) {
            long cEntries = 0, cBytes = 0;
            reader[k].push_back(TimeReader(kKinds[k], &cEntries));
            bytes[k].push_back(TimeBytes(kKinds[k], &cBytes));
            open[k].push_back(TimeReader(kKinds[k], NULL));
            if (cEntries != kEntries || cBytes != acbList[k]) {
                fprintf(stderr, "bench: read %ld entries and %ld bytes of the %s list, not %d and %ld\n",
                        cEntries, cBytes, kKinds[k].label, kEntries, acbList[k]);
                rc = 1;
            }
        }
    }
    if (rc == 0) {
        printf("lists of %d entries, median of %d passes each, reader and fgetc alternating:\n",
               kEntries, kReps);
        for (int k = 0; k < cKinds; k++) {
            const double tReader = Median(reader[k]), tBytes = Median(bytes[k]);
            const double mb = acbList[k] / 1e6;
            printf("  %s, %.1f MB:\n", kKinds[k].label, mb);
            printf("    baseline, fgetc to the end: %7.1f ms  %7.1f MB/s\n", tBytes * 1e3, mb / tBytes);
            printf("    ReadListEntry:              %7.1f ms  %7.1f MB/s  %.2f M entries/s  = %.3f x baseline\n",
                   tReader * 1e3, mb / tReader, kEntries / tReader / 1e6, tReader / tBytes);
            printf("      of which opening:         %7.1f ms\n", Median(open[k]) * 1e3);
        }
    }
    for (const ListKind &kind : kKinds)
        DeleteFileA(kind.path);
    RemoveDirectoryA(kFolder);
    return rc;
}
