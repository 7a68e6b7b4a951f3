// Finding a series that a zip tool unpacked under another name than the
// list gives. Zip tools disagree on how the bytes of a name in a zip are
// read: Explorer reads them in the OEM code page unless the zip says
// UTF-8, while many tools write UTF-8 without saying so, or the Mac's
// decomposed form, or the ANSI code page. "Café.rrs" then arrives as
// "Caf├®.rrs", "Cafe\u0301.rrs", "Cafe╠ü.rrs" or "CafÚ.rrs".
#pragma once
#include <windows.h>
#include <stddef.h>

enum ZipFormLookup { ZIPFORM_NONE, ZIPFORM_ONE, ZIPFORM_SEVERAL };

// Looks in the folder pszDir (ending in a backslash, in the ANSI code page)
// for the file pszName (a plain file name, bytes of uAnsiCodePage) in
// exactly these forms: its UTF-8 bytes read in uOemCodePage; its
// decomposed form; the UTF-8 bytes of that read in uOemCodePage; its bytes
// read in uOemCodePage. A name that has no other form (plain ASCII) has
// none there. pwszPath gets the one form's wide path for ZIPFORM_ONE; for
// ZIPFORM_SEVERAL, the first form found. ZIPFORM_NONE too when that path
// does not fit in cchPath characters.
ZipFormLookup FindZipToolName(const char *pszDir, const char *pszName, UINT uAnsiCodePage,
                              UINT uOemCodePage, WCHAR *pwszPath, size_t cchPath);

// The same search, giving the wide path of every form that is there (each
// file once, in the order above) in awszPaths; returns how many.
const int c_cZipToolForms = 4;
int FindZipToolForms(const char *pszDir, const char *pszName, UINT uAnsiCodePage,
                     UINT uOemCodePage, WCHAR awszPaths[c_cZipToolForms][MAX_PATH]);
