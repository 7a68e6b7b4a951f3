// Finding a series that a zip tool unpacked under another name than the
// list gives. Zip tools disagree on how the bytes of a name in a zip are
// read: Explorer reads them in the OEM code page unless the zip says
// UTF-8, while many tools write UTF-8 without saying so, or the Mac's
// decomposed form, or the ANSI code page. "Café.rrs" then arrives as
// "Caf├®.rrs", "Cafe\u0301.rrs", "Cafe╠ü.rrs" or "CafÚ.rrs".
#pragma once
#include <windows.h>
#include <stddef.h>

// Looks in the folder pszDir (ending in a backslash, in the ANSI code page)
// for the file pszName (a plain file name, bytes of uAnsiCodePage) in
// exactly these forms: its UTF-8 bytes read in uOemCodePage; its
// decomposed form; the UTF-8 bytes of that read in uOemCodePage; its bytes
// read in uOemCodePage. ZIPFORM_ONE, with the wide path of the file in
// pwszPath, when exactly one file is there in one of these forms;
// ZIPFORM_SEVERAL (pwszPath: the first found) when more than one is;
// ZIPFORM_NONE when none is, and for a name that has no other form (plain
// ASCII).
enum ZipFormLookup { ZIPFORM_NONE, ZIPFORM_ONE, ZIPFORM_SEVERAL };
ZipFormLookup FindZipToolName(const char *pszDir, const char *pszName, UINT uAnsiCodePage,
                     UINT uOemCodePage, WCHAR *pwszPath, size_t cchPath);
