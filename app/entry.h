// What the installer does with one entry of the series list: the verdict
// that the moves and a check of a pack before it ships both go by.
#pragma once
#include <windows.h>
#include <stddef.h>

struct ListFile;

enum EntryVerdict {
    VERDICT_MOVE,         // move the file named
    VERDICT_SKIP_TXT,     // a ".txt" file: stays where it is, without a word
    VERDICT_NO_FILE,      // empty, a bare folder, "." or "..": names no file
    VERDICT_DEVICE,       // refused: a device name
    VERDICT_STREAM,       // refused: ":" (a stream or a drive)
    VERDICT_WILDCARD,     // refused: "*" or "?"
    VERDICT_FORBIDDEN,    // refused: <, >, a double quote or |
    VERDICT_CONTROL,      // refused: a control character
    VERDICT_CUT_CHAR,     // refused: a double-byte character cut after its lead byte
    VERDICT_UNMAPPABLE,   // refused: the list's code page cannot hold a character of the name
    VERDICT_RESERVED,     // refused: the installer's own temporary name (movefile.h)
};

// Whether a file of this name is one the list may name without its being
// moved: a ".txt" file, in any letter case. For a name in UTF-16, such as
// a file of the pack; JudgeEntryName applies the same rule to an entry.
BOOL IsSkippedTextName(const WCHAR *pwszName);

// The verdict on one entry given as bytes of uCodePage, by the name rules
// alone: only the file-name part and
// extension count, trailing blanks and dots are dropped, then ".txt" names
// are skipped and names Windows would not open as that file are refused.
// pszName (cbName bytes, MAX_PATH is ample) receives the name judged, the
// file to move for VERDICT_MOVE; "" for VERDICT_NO_FILE.
EntryVerdict JudgeEntryName(const char *pszEntry, char *pszName, size_t cbName,
                            UINT uCodePage = CP_ACP);

// The verdict on the list's current entry (listfile.h): JudgeEntryName on
// g_szListLine, refusing a name the code page could not hold. A line read as
// UTF-8 may be an ANSI line that is valid UTF-8 by chance; its bytes as they
// stand (szRaw) then win when their file is in the start folder, or, when
// the start folder holds neither file, in the data folder (moved there by a
// run cut short). pszDataDir may be NULL. Both folders end in a backslash
// and are in the ANSI code page; names are looked up in them through the
// list's code page.
EntryVerdict JudgeListEntry(const ListFile *pList, const char *pszStartDir, const char *pszDataDir,
                            char *pszName, size_t cbName);

// The name a verdict of JudgeListEntry is about, for showing to a person:
// its characters as the publisher wrote them (pszName converted from the
// list's code page, or, for VERDICT_UNMAPPABLE, the file-name part of the
// entry as written), trailing blanks and dots dropped. Cut to fit.
void EntryNameForUser(const ListFile *pList, EntryVerdict verdict, const char *pszName,
                      WCHAR *pwszName, size_t cchName);

// Why the installer refuses a name, in Dutch, for a verdict that refuses
// one: the words the closing warning and the check of a pack both use.
const WCHAR *RefusalReason(EntryVerdict verdict);
// "codetabel 1252 kan deze naam niet bevatten", cut to fit.
void FormatUnmappableReason(UINT uCodePage, WCHAR *pwszReason, size_t cchReason);
