// Reading the series list "teinstal.txt": one entry per line, a line ending
// at CR or LF, in whichever encoding the publisher's editor saved it.
//
// The line rules work on bytes of a code page (the ANSI code page in the
// installer). An ANSI list is read byte for byte as it stands. A Unicode
// list (UTF-8 or UTF-16) is read as if it had first been converted to that
// code page: CR and LF are its line-break bytes, U+0000 ends an entry's
// text, and an entry holds at most 149 bytes of converted text. A piece of
// a long line never splits a character, so it may hold fewer.
#pragma once
#include "app/globals.h"
#include <windows.h>
#include <stdio.h>

// The encodings a list may be saved in; the names are those of Notepad's
// save dialog (ListEncodingName).
enum ListEncoding {
    LIST_ANSI,       // "ANSI": bytes of the code page, read as they stand
    LIST_UTF8,       // "UTF-8": no byte-order mark; valid UTF-8 with a non-ASCII byte
    LIST_UTF8_BOM,   // "UTF-8 met BOM": starts with EF BB BF
    LIST_UTF16LE,    // "UTF-16 LE": starts with FF FE
    LIST_UTF16BE,    // "UTF-16 BE": starts with FE FF
};


// The list being read, set by OpenList.
extern int g_nListEncoding;      // a ListEncoding
extern UINT g_uListCodePage;     // the code page entries are converted to (CP_ACP allowed)

// The current entry, set by every ReadListEntry that returns 1, beside
// g_szListLine (its bytes in g_uListCodePage; its text ends at the first NUL):
//
// g_wszListEntry: the entry as the publisher wrote it, in UTF-16, ending
//   where g_szListLine ends. For an ANSI list it is g_szListLine converted
//   from the code page; for a Unicode list the decoded text itself, so it
//   also holds what the code page cannot (undecodable bytes and lone
//   surrogates become U+FFFD). At most 149 characters, each one or two
//   UTF-16 units.
// g_fListEntryUnmappable: the code page cannot hold a character of the
//   entry's text; g_szListLine has the code page's default character ("?")
//   in its place, never a look-alike ("Łódź" never becomes "Lodz").
//   Always FALSE for an ANSI list.
// g_fListEntryContinues: the entry is a further piece of the line of the
//   entry before it, which was longer than one entry holds.
// g_szListEntryRaw: for a LIST_UTF8 list, the entry's bytes as they stand
//   in the file (an ANSI list may be valid UTF-8 by chance, and then these
//   are the names it meant); empty when they are more than 149 bytes, and
//   for the other encodings.
extern WCHAR g_wszListEntry[2 * c_cbListEntry + 1];
extern BOOL g_fListEntryUnmappable;
extern BOOL g_fListEntryContinues;
extern char g_szListEntryRaw[c_cbListEntry + 1];

// Prepares a list opened in binary mode ("rb") at its start for
// ReadListEntry: decides its encoding once (a byte-order mark, or else a
// scan of the whole list for UTF-8) and leaves the list positioned after
// any byte-order mark. uCodePage is the code page entries are converted to:
// CP_ACP in the installer. FALSE, with nothing read, for a code page the
// system does not know, and for UTF-7.
BOOL OpenList(FILE *file, UINT uCodePage);

// 1 when an entry (possibly empty) was read, 0 at the end of the list or
// when it cannot be read further (ferror then tells a read error). The
// reader reads ahead in blocks: the list is its alone until the end.
int ReadListEntry(FILE *file);

// "ANSI", "UTF-8", "UTF-8 met BOM", "UTF-16 LE" or "UTF-16 BE".
const char *ListEncodingName(int nEncoding);
