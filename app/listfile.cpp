#include "listfile.h"
#include "globals.h"
#include <string.h>

static const int c_cchEntry = 149;
static const int c_cLineBreaksSkipped = 5;

void SkipByteOrderMark(FILE *file)
{
    static const unsigned char c_abBom[] = { 0xEF, 0xBB, 0xBF };
    unsigned char abStart[sizeof(c_abBom)];
    size_t cbRead = fread(abStart, 1, sizeof(abStart), file);
    if (cbRead == sizeof(c_abBom) && memcmp(abStart, c_abBom, sizeof(c_abBom)) == 0)
        return;
    clearerr(file);
    rewind(file);
}

static bool IsLineBreak(int ch)
{
    return ch == '\r' || ch == '\n';
}

int ReadListEntry(FILE *file)
{
    memset(g_szListLine, 0, sizeof(g_szListLine));

    int ch = EOF;
    for (int i = 0; i < c_cLineBreaksSkipped; i++) {
        ch = fgetc(file);
        if (ch == EOF || !IsLineBreak(ch))
            break;
    }
    if (ch == EOF)
        return 0;
    // Pushing the byte back instead of seeking keeps the stream's buffer:
    // a seek would cost a system call for every entry.
    if (ungetc(ch, file) == EOF)
        return 0;

    for (int i = 0; i < c_cchEntry; i++) {
        ch = fgetc(file);
        if (ch == EOF || IsLineBreak(ch))
            break;
        g_szListLine[i] = (char)ch;
    }
    return 1;
}
