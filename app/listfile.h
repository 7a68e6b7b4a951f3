// Reading the series list "teinstal.txt": one entry per line, a line ending
// at CR or LF, in whichever encoding the publisher's editor saved it.
//
// The line rules work on bytes of a code page (the ANSI code page in the
// installer). A line in ANSI is read byte for byte as it stands; a Unicode
// line as if it had first been converted to that code page: CR and LF are
// its line-break bytes, U+0000 ends an entry's text, and an entry holds at
// most 149 bytes of converted text, cut between characters, so a piece of
// a long line may hold fewer.
#pragma once
#include "app/globals.h"
#include <windows.h>
#include <stdio.h>

// The encodings a list may be saved in; the names are those of Notepad's
// save dialog (ListEncodingName). Without a byte-order mark each line is
// read as UTF-8 when it is valid UTF-8 with a byte past ASCII, and as ANSI
// otherwise, so one line pasted from an old file costs only itself.
enum ListEncoding {
    LIST_ANSI,       // "ANSI": no line read as UTF-8
    LIST_UTF8,       // "UTF-8": no mark, every line past ASCII read as UTF-8
    LIST_UTF8_ANSI,  // no mark, lines of both kinds
    LIST_UTF8_BOM,   // "UTF-8 met BOM": starts with EF BB BF
    LIST_UTF16LE,    // "UTF-16 LE": starts with FF FE
    LIST_UTF16BE,    // "UTF-16 BE": starts with FE FF
};

// An open list, and its current entry, which every ReadListEntry that
// returns 1 sets beside g_szListLine (its bytes in uCodePage; its text ends
// at the first NUL).
struct ListFile {
    int nEncoding;           // a ListEncoding
    UINT uCodePage;          // the code page of the entries (CP_ACP allowed)
    BOOL fReadError;         // the list could not be read to its end
    // wszEntry: the entry as the publisher wrote it, ending where
    //   g_szListLine ends; for a Unicode line it also holds what the code
    //   page cannot (undecodable bytes and lone surrogates are U+FFFD).
    // fUnmappable: the code page cannot hold a character of the entry's
    //   text; g_szListLine has "?" in its place, never a look-alike.
    // fContinues: the entry is a further piece of the line of the one before.
    // szRaw: for a line read as UTF-8 without a byte-order mark, whole in
    //   this entry, its bytes as they stand (an ANSI line may be valid
    //   UTF-8 by chance, and then these are the name it meant); empty when
    //   they are more than 149 bytes, and for every other entry.
    WCHAR wszEntry[2 * c_cbListEntry + 1];
    BOOL fUnmappable;
    BOOL fContinues;
    char szRaw[c_cbListEntry + 1];
    // The reader's own: the whole list decoded, and where it stands in it.
    WCHAR *pwchText;
    size_t cwchText;
    size_t iNext;
    BOOL fLastFull;
    BOOL fCheckedConversion;
};

// Reads a list opened in binary mode ("rb") whole and decides its encoding.
// uCodePage is the code page entries are converted to, one that holds ASCII
// as itself (CP_ACP in the installer). FALSE, with nothing read, for a code
// page the system does not know, and for UTF-7. Entries before a read error
// are kept, and fReadError says the list ended there. CloseList frees what
// OpenList took, whatever it returned.
BOOL OpenList(FILE *file, UINT uCodePage, ListFile *pList);
void CloseList(ListFile *pList);

// 1 when an entry (possibly empty) was read, 0 at the end of the list.
int ReadListEntry(ListFile *pList);

// "ANSI", "UTF-8", "UTF-8 met BOM", "UTF-16 LE" or "UTF-16 BE", and for a
// list of both kinds of lines "UTF-8 met regels in ANSI".
const char *ListEncodingName(int nEncoding);
