#include "packcheck/writelist.h"
#include "packcheck/output.h"
#include "packcheck/packfiles.h"
#include "app/entry.h"
#include "app/listfile.h"
#include "app/paths.h"
#include <string.h>
#include <string>
#include <vector>

// The line for one file: its name as bytes of the code page that the
// installer, reading them back, judges to be that very file. FALSE, with
// the reason, when there is no such line.
static BOOL ListLineFor(const std::wstring &wstrName, std::string *pLine, std::wstring *pwstrWhy)
{
    if (!NameInCodePage(wstrName, g_uPackCodePage, pLine)) {
        *pwstrWhy = UnmappableReason(g_uPackCodePage);
        return FALSE;
    }
    if (pLine->size() > (size_t)c_cbListEntry) {
        *pwstrWhy = L"de naam is in codetabel " + Number(g_uPackCodePage) + L" langer dan "
                 + Number(c_cbListEntry) + L" bytes";
        return FALSE;
    }
    char szName[MAX_PATH];
    EntryVerdict verdict = JudgeEntryName(pLine->c_str(), szName, sizeof(szName), g_uPackCodePage);
    if (verdict != VERDICT_MOVE && verdict != VERDICT_SKIP_TXT && verdict != VERDICT_NO_FILE) {
        *pwstrWhy = std::wstring(L"de installer weigert de naam: ") + RefusalReason(verdict);
        return FALSE;
    }
    if (verdict != VERDICT_MOVE || strcmp(szName, pLine->c_str()) != 0) {
        // Trailing blanks or dots: Windows would open another name.
        *pwstrWhy = L"de installer zou een ander bestand openen";
        return FALSE;
    }
    return TRUE;
}

static BOOL ListExists()
{
    return GetFileAttributesW(c_wszListName) != INVALID_FILE_ATTRIBUTES;
}

// Where the new list is written before it takes the list's name: a ".txt"
// name, so that one left by a crash is never taken for a series.
static const WCHAR c_wszNewListName[] = L"teinstal.nieuw.txt";

static BOOL WriteWhole(const WCHAR *pwszName, const std::string &bytes)
{
    HANDLE hFile = CreateFileW(pwszName, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD cbWritten = 0;
    BOOL fWritten = WriteFile(hFile, bytes.data(), (DWORD)bytes.size(), &cbWritten, NULL)
                 && cbWritten == bytes.size() && FlushFileBuffers(hFile);
    return CloseHandle(hFile) && fWritten;
}

// The whole list, or nothing: it is written under another name and takes
// the list's name only once whole, so a write that fails (a full disk)
// never costs the list that was there. Without fForce an existing list is
// never replaced, not even one made since it was looked for.
static BOOL WriteListFile(const std::string &bytes, BOOL fForce)
{
    if (WriteWhole(c_wszNewListName, bytes)
        && MoveFileExW(c_wszNewListName, c_wszListName,
                       (fForce ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    DeleteFileW(c_wszNewListName);
    return FALSE;
}

CheckStatus WritePackList(BOOL fForce)
{
    if (!fForce && ListExists()) {
        PrintErrorLine(L"Er staat al een teinstal.txt in deze map; die blijft zoals hij is."
                       L" Gebruik --force om hem te vervangen.");
        return CHECK_NOT_RUN;
    }
    std::string list;
    std::vector<std::wstring> awstrLeftOut;
    unsigned long cListed = 0;
    for (const std::wstring &wstrName : ListSeriesFiles()) {
        std::string line;
        std::wstring wstrWhy;
        if (!ListLineFor(wstrName, &line, &wstrWhy)) {
            awstrLeftOut.push_back(QuotedName(wstrName) + L": " + wstrWhy);
            continue;
        }
        list += line + "\r\n";
        cListed++;
    }
    for (const std::wstring &wstrLeftOut : awstrLeftOut)
        PrintLine(L"FOUT: weggelaten uit teinstal.txt, " + wstrLeftOut);
    if (cListed == 0) {
        PrintLine(L"Er staat geen enkele serie in deze map die de installer kan installeren;"
                  L" teinstal.txt is niet geschreven.");
        return CHECK_FAULTS;
    }
    if (!WriteListFile(list, fForce)) {
        PrintErrorLine(L"teinstal.txt kon niet worden geschreven.");
        return CHECK_NOT_RUN;
    }
    PrintLine(L"teinstal.txt geschreven: " + Number(cListed)
              + (cListed == 1 ? L" serie" : L" series") + L", codetabel "
              + Number(g_uPackCodePage) + L", regeleinden CR LF.");
    PrintLine(L"");
    CheckStatus status = CheckPack();
    if (status == CHECK_NOT_RUN || awstrLeftOut.empty())
        return status;
    PrintLine(L"Niet in orde: " + Number((unsigned long)awstrLeftOut.size())
              + (awstrLeftOut.size() == 1 ? L" bestand" : L" bestanden")
              + L" weggelaten uit teinstal.txt (zie boven); de installer installeert"
              L" die niet.");
    return CHECK_FAULTS;
}
