// What reading the series list costs against reading its bytes at all:
// reads a list of one million entries with the program's own reader, and
// the same file byte by byte with fgetc, in the same run.
#include "app/globals.h"
#include "app/listfile.h"
#include "timing.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const int kEntries = 1000000;
const int kReps = 5;
const char kFolder[] = "C:\\bench-lijst";
const char kList[] = "C:\\bench-lijst\\teinstal.txt";

long WriteList()
{
    CreateDirectoryA(kFolder, NULL);
    FILE *file = fopen(kList, "wb");
    if (file == NULL)
        return -1;
    for (int i = 0; i < kEntries; i++)
        fprintf(file, "%s\r\n", SeriesName(i).c_str());
    long cb = ftell(file);
    return fclose(file) == 0 ? cb : -1;
}

// Untimed: the reader yields every entry whole and in order.
bool ReaderReadsEveryEntry()
{
    FILE *file = fopen(kList, "rb");
    if (file == NULL)
        return false;
    OpenList(file, CP_ACP);
    int i = 0;
    bool ok = true;
    while (ok && ReadListEntry(file))
        ok = i < kEntries && SeriesName(i++) == g_szListLine;
    fclose(file);
    return ok && i == kEntries;
}

// Seconds for one pass of the reader; the count of entries read.
double TimeReader(long *pcEntries)
{
    FILE *file = fopen(kList, "rb");
    if (file == NULL)
        return -1;
    const double t0 = Seconds();
    OpenList(file, CP_ACP);
    long c = 0;
    while (ReadListEntry(file))
        c++;
    const double t = Seconds() - t0;
    fclose(file);
    *pcEntries = c;
    return t;
}

// Seconds for one pass of fgetc to the end; the count of bytes read.
double TimeBytes(long *pcBytes)
{
    FILE *file = fopen(kList, "rb");
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
    const long cbList = WriteList();
    int rc = 0;
    if (cbList < 0 || !ReaderReadsEveryEntry()) {
        fprintf(stderr, "bench: the list could not be written or was not read back whole\n");
        rc = 1;
    }
    std::vector<double> reader, bytes;
    for (int rep = 0; rc == 0 && rep < kReps; rep++) {
        long cEntries = 0, cBytes = 0;
        reader.push_back(TimeReader(&cEntries));
        bytes.push_back(TimeBytes(&cBytes));
        if (cEntries != kEntries || cBytes != cbList) {
            fprintf(stderr, "bench: read %ld entries and %ld bytes, not %d and %ld\n",
                    cEntries, cBytes, kEntries, cbList);
            rc = 1;
        }
    }
    if (rc == 0) {
        const double tReader = Median(reader), tBytes = Median(bytes);
        const double mb = cbList / 1e6;
        printf("list of %d entries, %.1f MB, median of %d passes each:\n", kEntries, mb, kReps);
        printf("  baseline, fgetc to the end: %7.1f ms  %7.1f MB/s\n", tBytes * 1e3, mb / tBytes);
        printf("  ReadListEntry:              %7.1f ms  %7.1f MB/s  %.2f M entries/s  = %.3f x baseline\n",
               tReader * 1e3, mb / tReader, kEntries / tReader / 1e6, tReader / tBytes);
    }
    DeleteFileA(kList);
    RemoveDirectoryA(kFolder);
    return rc;
}
