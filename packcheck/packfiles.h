// The files of a pack: the folder being checked, which is the current
// directory. Names are looked up and compared in UTF-16, through the wide
// API, so a name this machine's ANSI code page cannot hold is found too.
#pragma once
#include "app/listfile.h"
#include <windows.h>
#include <string>
#include <vector>

extern const WCHAR c_wszInstallerName[];   // "instrrse.exe"

// What the Mac's and Windows' own tools leave in a folder: ".DS_Store",
// "._" files (AppleDouble), "__MACOSX", "Thumbs.db", "desktop.ini". Never a
// series, whatever its attributes: on a user's Windows they are ordinary
// files.
BOOL IsLeftBehind(const std::wstring &wstrName);

// The files a list may name: every file of the pack except folders, hidden
// and system files, what tools leave behind, ".txt" files and the two
// programs, sorted ignoring case.
std::vector<std::wstring> ListSeriesFiles();

enum PackLookup {
    PACK_FILE,      // a file; pwstrFound gets its name as it stands on disk
    PACK_FOLDER,    // a folder of that name
    PACK_ALIAS,     // a file whose own name, in pwstrFound, differs beyond
                    // letter case: the name is its short name (8.3)
    PACK_MISSING,   // nothing of that name
};
PackLookup FindInPack(const std::wstring &wstrName, std::wstring *pwstrFound);

// A series file of the pack whose name differs from this one only in
// letter case and accents ("Taal (een).rrs" for "Taal (één).rrs"): what
// the publisher probably meant by a name not in the pack.
BOOL FindLookAlike(const std::wstring &wstrName, std::wstring *pwstrFound);

// The name as bytes of the code page, when they give exactly this name
// back; FALSE when the code page cannot hold it.
BOOL NameInCodePage(const std::wstring &wstrName, UINT uCodePage, std::string *pBytes);

// Names equal ignoring case the way the file system does, not by any
// language's rules.
BOOL EqualIgnoringCase(const std::wstring &wstrA, const std::wstring &wstrB);

// The name in composed form (NFC): "e" and U+0301 become "é".
std::wstring Composed(const std::wstring &wstrName);
