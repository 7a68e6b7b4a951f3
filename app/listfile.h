// Reading the series list "teinstal.txt": one entry per line, a line ending
// at CR or LF, in whichever encoding the publisher's editor saved it.
//
// The line rules work on bytes of a code page (the ANSI code page in the
// installer). A line read as ANSI is read byte for byte as it stands; a
// Unicode line as if it had first been converted to that code page: U+0000
// ends an entry's text, and an entry holds at most 149 bytes of converted
// text, cut between characters, so a piece of a long line may hold fewer.
#pragma once
#include "app/globals.h"
#include <windows.h>
#include <stdio.h>

// The list's name in the start folder; as UTF-16 for the wide API.
#define INSTRRSE_LIST_NAME "teinstal.txt"
const char c_szListName[] = INSTRRSE_LIST_NAME;
const WCHAR c_wszListName[] = L"" INSTRRSE_LIST_NAME;

// As Notepad's save dialog names them (ListEncodingName). Without a
// byte-order mark each line is read as UTF-8 when it is valid UTF-8 past
// ASCII, and as ANSI otherwise, so a line pasted from an old file costs
// only itself.
enum ListEncoding {
    LIST_ANSI,       // "ANSI": no line read as UTF-8
    LIST_UTF8,       // "UTF-8": every line past ASCII read as UTF-8
    LIST_UTF8_ANSI,  // "UTF-8 met regels in ANSI": lines of both kinds
    LIST_UTF8_BOM,   // "UTF-8 met BOM": starts with EF BB BF
    LIST_UTF16LE,    // "UTF-16 LE": starts with FF FE
    LIST_UTF16BE,    // "UTF-16 BE": starts with FE FF
};

// An open list. Every ReadListEntry that returns 1 sets the entry's fields
// beside g_szListLine, which holds its bytes in uCodePage.
struct ListFile {
    int nEncoding;          // a ListEncoding
    UINT uCodePage;         // CP_ACP allowed
    BOOL fReadError;        // the list could not be read to its end
    // As the publisher wrote it, ending where g_szListLine ends, with what
    // the code page cannot hold (undecodable bytes are U+FFFD).
    WCHAR wszEntry[2 * c_cbListEntry + 1];
    // The code page cannot hold a character of the entry's text:
    // g_szListLine has "?" in its place, never a look-alike.
    BOOL fUnmappable;
    BOOL fContinues;        // a further piece of the line of the entry before
    // A line read as UTF-8 without a byte-order mark, whole in this entry:
    // its bytes as they stand, if at most 149 (an ANSI line may be valid
    // UTF-8 by chance, and then these name what it meant); else "".
    char szRaw[c_cbListEntry + 1];
    // The reader's own: the list decoded, and how far it was read.
    WCHAR *pwchText;
    size_t cwchText;
    size_t iNext;
    BOOL fLastFull;
    BOOL fCheckedConversion;
    // The entry's piece of the line in pwchText, and whether it was read
    // as ANSI (WrittenEntryText).
    size_t iPiece;
    size_t cwchPiece;
    BOOL fAnsiPiece;
};

// Reads a list opened in binary mode ("rb") whole and decodes it, keeping
// what came before a read error. uCodePage must hold ASCII as itself, as
// every ANSI code page does: CP_ACP in the installer. FALSE, with nothing
// read, for a code page the system does not know and for UTF-7. CloseList
// frees what OpenList took, whatever it returned.
BOOL OpenList(FILE *file, UINT uCodePage, ListFile *pList);
void CloseList(ListFile *pList);

// 1 when an entry (possibly empty) was read, 0 at the end of the list.
int ReadListEntry(ListFile *pList);
// Back to the list's first entry, to read it again.
void RewindList(ListFile *pList);

const char *ListEncodingName(int nEncoding);

// The current entry as the publisher wrote it, for showing to a person:
// wszEntry, and past a NUL, which ends the entry's text, what followed it
// in the same piece of the line. Returns the units written, NULs included,
// cut to fit cch - 1; the text is terminated.
size_t WrittenEntryText(const ListFile *pList, WCHAR *pwsz, size_t cch);

// Text of the list converted to its code page as the reader converts it:
// never to a look-alike ("Łódź" never becomes "Lodz"), and *pfUnmappable
// set when the code page's default character ("?") stands in for one it
// cannot hold, where the code page can say so. Returns the bytes written.
int ConvertToListCodePage(const ListFile *pList, const WCHAR *pwch, size_t cwch, char *pch, int cb,
                          BOOL *pfUnmappable);
// Bytes that hold any entry's text converted: 149 characters, each up to
// two UTF-16 units of up to four bytes.
const int c_cbConvertedEntry = 8 * c_cbListEntry;
