#include "packcheck/check.h"
#include "packcheck/output.h"
#include "packcheck/packfiles.h"
#include "app/entry.h"
#include "app/listfile.h"
#include "app/paths.h"
#include "app/zipnames.h"
#include <algorithm>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

UINT g_uPackCodePage = c_uDefaultPackCodePage;
UINT g_uPackOemCodePage = c_uDefaultPackOemCodePage;

// The installer looks names up in its start folder; here that is the pack,
// the current directory.
static const char c_szPackDir[] = ".\\";

// One entry of the list and what the installer does with it.
struct Entry {
    std::wstring wstrWritten;   // as the publisher wrote it
    std::wstring wstrOutcome;   // what the installer does, in Dutch
    BOOL fFault;               // a series that will not be installed
};

// The files of the pack the list names, as they stand on disk.
static std::vector<std::wstring> s_awszNamed;
static unsigned long s_cFaults;
static unsigned long s_cMoved;
static std::vector<ListedSeries> s_aSeries;

const std::vector<ListedSeries> &CheckedSeries()
{
    return s_aSeries;
}

static BOOL IsNamed(const std::wstring &wstrFound)
{
    return std::find(s_awszNamed.begin(), s_awszNamed.end(), wstrFound) != s_awszNamed.end();
}

static void NoteNamed(const std::wstring &wstrName)
{
    std::wstring wstrFound;
    if (FindInPack(wstrName, &wstrFound) == PACK_FILE && !IsNamed(wstrFound))
        s_awszNamed.push_back(wstrFound);
}

// The pack unpacked from a zip that the check is about, if any.
static const ZipView *s_pZip;

static std::wstring NotUnpacked(const std::wstring &wstrFile)
{
    return s_pZip != NULL && s_pZip->pfnNotUnpacked != NULL ? s_pZip->pfnNotUnpacked(wstrFile)
                                                           : std::wstring();
}

// The files of the pack that are a name in a form a zip tool gives it.
static std::vector<std::wstring> ZipToolForms(const char *pszName)
{
    WCHAR awszPaths[c_cZipToolForms][MAX_PATH];
    int cForms = FindZipToolForms(c_szPackDir, pszName, g_uPackCodePage, g_uPackOemCodePage,
                                  awszPaths);
    std::vector<std::wstring> awstrForms;
    for (int i = 0; i < cForms; i++)
        awstrForms.push_back(awszPaths[i] + strlen(c_szPackDir));
    return awstrForms;
}

// pszName: the name to move, in the users' code page. The installer opens
// it by those bytes, which on their machine are these characters.
static void JudgeMove(const char *pszName, Entry *pEntry)
{
    WCHAR wszListed[MAX_PATH];
    if (MultiByteToWideChar(g_uPackCodePage, 0, pszName, -1, wszListed, MAX_PATH) == 0)
        wszListed[0] = L'\0';
    ListedSeries series = {wszListed, L"", FALSE, FALSE};
    if (IsLeftBehind(wszListed)) {
        s_aSeries.push_back(series);
        pEntry->fFault = TRUE;
        pEntry->wstrOutcome = L"FOUT: dit laat de Mac of Windows zelf in een map achter, het is"
                             L" geen serie; haal het uit de lijst";
        return;
    }
    // The file the installer opens, named when it is not the line itself
    // (a folder in front, trailing blanks, another letter case).
    std::wstring wstrFound;
    PackLookup lookup = FindInPack(wszListed, &wstrFound);
    std::vector<std::wstring> awstrForms;
    if (lookup == PACK_MISSING) {
        awstrForms = ZipToolForms(pszName);
        if (awstrForms.size() == 1) {
            lookup = FindInPack(awstrForms[0], &wstrFound);
            series.fOtherForm = TRUE;
        }
    }
    series.fMissing = lookup == PACK_MISSING && awstrForms.empty();
    std::wstring wstrNotUnpacked = lookup == PACK_FILE ? NotUnpacked(wstrFound) : L"";
    if (lookup == PACK_FILE && wstrNotUnpacked.empty())
        series.wstrFound = wstrFound;
    s_aSeries.push_back(series);
    std::wstring wstrFile = lookup == PACK_FILE ? wstrFound : wszListed;
    std::wstring wstrWhich = wstrFile == pEntry->wstrWritten ? L""
                          : L" (het bestand " + QuotedName(wstrFile)
                            + (series.fOtherForm ? L", zoals een zip-programma het noemde)" : L")");
    if (awstrForms.size() > 1) {
        pEntry->fFault = TRUE;
        pEntry->wstrOutcome = L"FOUT: staat in het pakket in meer dan \u00E9\u00E9n vorm ("
                           + NamesInWords(awstrForms) + L"); de installer weet niet welke bedoeld is";
        return;
    }
    switch (lookup) {
    case PACK_MISSING:
        pEntry->fFault = TRUE;
        pEntry->wstrOutcome = L"FOUT: staat niet in het pakket" + wstrWhich;
        if (FindLookAlike(wszListed, &wstrFound))
            pEntry->wstrOutcome += L"; bedoelt u " + QuotedName(wstrFound) + L"?";
        return;
    case PACK_FOLDER:
        pEntry->fFault = TRUE;
        pEntry->wstrOutcome = L"FOUT: is een map, geen bestand" + wstrWhich;
        return;
    case PACK_ALIAS:
        // Under such a name it would go into the data folder, or replace
        // another series there.
        pEntry->fFault = TRUE;
        pEntry->wstrOutcome = L"FOUT: is de korte naam van " + QuotedName(wstrFound)
                           + L"; de installer installeert een serie alleen onder haar eigen naam";
        return;
    case PACK_FILE:
        break;
    }
    if (!wstrNotUnpacked.empty()) {
        pEntry->fFault = TRUE;
        pEntry->wstrOutcome = L"FOUT: " + wstrNotUnpacked + wstrWhich;
        if (!IsNamed(wstrFound))
            s_awszNamed.push_back(wstrFound);
        return;
    }
    pEntry->wstrOutcome = L"wordt verplaatst" + wstrWhich;
    if (IsNamed(wstrFound)) {
        // The second time the file is already in the data folder, which
        // counts as installed.
        pEntry->wstrOutcome += L"; stond al eerder in de lijst";
        return;
    }
    s_awszNamed.push_back(wstrFound);
    s_cMoved++;
}

// The list's current entry.
static Entry JudgeEntry(const ListFile *pList)
{
    Entry entry;
    WCHAR wszWrittenText[sizeof(pList->wszEntry) / sizeof(WCHAR)];
    size_t cwchWritten = WrittenEntryText(pList, wszWrittenText, sizeof(wszWrittenText) / sizeof(WCHAR));
    entry.wstrWritten.assign(wszWrittenText, cwchWritten);
    entry.fFault = FALSE;
    char szName[MAX_PATH];
    EntryVerdict verdict = JudgeListEntry(pList, c_szPackDir, NULL, szName, sizeof(szName));
    WCHAR wszWrittenName[sizeof(pList->wszEntry) / sizeof(WCHAR)];   // never cut short
    switch (verdict) {
    case VERDICT_MOVE:
        JudgeMove(szName, &entry);
        break;
    case VERDICT_SKIP_TXT:
        entry.wstrOutcome = L"overgeslagen (.txt): blijft in de map van het pakket";
        break;
    case VERDICT_NO_FILE:
        entry.wstrOutcome = entry.wstrWritten.empty() ? L"lege naam, overgeslagen"
                                                    : L"noemt geen bestand, overgeslagen";
        break;
    case VERDICT_UNMAPPABLE:
        // Named all the same: the file is no forgotten one.
        EntryNameForUser(pList, verdict, szName, wszWrittenName,
                         sizeof(wszWrittenName) / sizeof(WCHAR));
        NoteNamed(wszWrittenName);
        entry.fFault = TRUE;
        entry.wstrOutcome = L"FOUT: " + UnmappableReason(g_uPackCodePage)
                         + L"; de installer verplaatst hem niet";
        break;
    default:
        entry.fFault = TRUE;
        entry.wstrOutcome = std::wstring(L"FOUT: geweigerd, ") + RefusalReason(verdict);
        break;
    }
    if (entry.wstrWritten.find(L'\0') != std::wstring::npos)
        entry.wstrOutcome += L"; de installer leest de naam maar tot het teken U+0000";
    return entry;
}

// One line of the list: one entry, or the pieces of a line too long for
// one entry.
static void ReportLine(const std::vector<Entry> &aEntries)
{
    if (aEntries.size() == 1) {
        const Entry &entry = aEntries[0];
        PrintLine(L"  " + QuotedName(entry.wstrWritten) + L": " + entry.wstrOutcome);
        if (entry.fFault)
            s_cFaults++;
        return;
    }
    // The line is at fault when a piece is: a line that is one name
    // followed by many blanks still installs.
    std::wstring wstrLine;
    BOOL fFault = FALSE;
    for (const Entry &entry : aEntries) {
        wstrLine += entry.wstrWritten;
        fFault = fFault || entry.fFault;
    }
    if (fFault)
        s_cFaults++;
    PrintLine(L"  " + QuotedName(wstrLine) + (fFault ? L": FOUT:" : L":") + L" de regel is langer dan "
              + Number(c_cbListEntry) + L" bytes; de installer leest hem als "
              + Number((unsigned long)aEntries.size()) + L" namen:");
    for (const Entry &entry : aEntries)
        PrintLine(L"      " + QuotedName(entry.wstrWritten) + L": " + entry.wstrOutcome);
}

// FALSE when the list could not be read to its end.
static BOOL ReportEntries(ListFile *pList)
{
    std::vector<Entry> aLine;
    BOOL fAny = FALSE;
    while (ReadListEntry(pList)) {
        if (!pList->fContinues && !aLine.empty()) {
            ReportLine(aLine);
            aLine.clear();
        }
        aLine.push_back(JudgeEntry(pList));
        fAny = TRUE;
    }
    if (!aLine.empty())
        ReportLine(aLine);
    if (!fAny)
        PrintLine(L"  (de lijst noemt geen enkel bestand)");
    return !pList->fReadError;
}

static void ReportUnnamedFiles()
{
    std::vector<std::wstring> awstrUnnamed;
    for (const std::wstring &wstrName : ListSeriesFiles())
        if (!IsNamed(wstrName))
            awstrUnnamed.push_back(wstrName);
    PrintLine(L"");
    if (awstrUnnamed.empty()) {
        PrintLine(L"De lijst noemt elk bestand van het pakket.");
        return;
    }
    PrintLine(L"Waarschuwing: bestanden in het pakket die de lijst niet noemt"
              L" (de installer laat ze staan):");
    for (const std::wstring &wstrName : awstrUnnamed) {
        std::string bytes;
        std::wstring wstrNote;
        if (!NameInCodePage(wstrName, g_uPackCodePage, &bytes))
            wstrNote = L" (" + UnmappableReason(g_uPackCodePage) + L")";
        PrintLine(L"  " + QuotedName(wstrName) + wstrNote);
    }
}

static void ReportEncoding(int nEncoding)
{
    const char *pszName = ListEncodingName(nEncoding);
    PrintLine(L"Codering van teinstal.txt: " + std::wstring(pszName, pszName + strlen(pszName)));
}

static void ReportInstaller()
{
    std::wstring wstrFound;
    if (FindInPack(c_wszInstallerName, &wstrFound) != PACK_FILE) {
        PrintLine(L"Waarschuwing: instrrse.exe staat niet in het pakket; zonder de installer"
                  L" moet de gebruiker de series zelf verplaatsen.");
        return;
    }
    std::wstring wstrNotUnpacked = NotUnpacked(wstrFound);
    if (wstrNotUnpacked.empty())
        PrintLine(L"instrrse.exe staat in het pakket.");
    else
        PrintLine(L"Waarschuwing: instrrse.exe staat in het pakket, maar " + wstrNotUnpacked
                  + L"; zonder de installer moet de gebruiker de series zelf verplaatsen.");
}

// fZipFault: the zip's own warnings found a FOUT, which is about the name of a
// folder on the way to the pack.
static CheckStatus ReportResult(BOOL fZipFault)
{
    PrintLine(L"");
    if (s_cFaults == 0 && !fZipFault) {
        PrintLine(L"In orde: op een computer met codetabel " + Number(g_uPackCodePage)
                  + L" installeert instrrse.exe elke serie uit de lijst ("
                  + Number(s_cMoved) + L").");
        return CHECK_SOUND;
    }
    std::wstring wstrFaults;
    if (s_cFaults > 0)
        wstrFaults = Number(s_cFaults) + (s_cFaults == 1 ? L" regel" : L" regels") + L" met een FOUT";
    if (fZipFault)
        wstrFaults += (s_cFaults > 0 ? L" en " : L"") + std::wstring(L"een FOUT in de naam van een map");
    PrintLine(L"Niet in orde: " + wstrFaults + L"; niet elke serie uit de lijst wordt"
              L" ge\u00EFnstalleerd. Herstel teinstal.txt of het pakket en controleer opnieuw.");
    return CHECK_FAULTS;
}

static std::wstring CurrentFolder()
{
    WCHAR wszDir[32768];
    DWORD cch = GetCurrentDirectoryW(32768, wszDir);
    return cch > 0 && cch < 32768 ? std::wstring(wszDir) : std::wstring(L".");
}

CheckStatus CheckPack(const ZipView *pZip)
{
    s_awszNamed.clear();
    s_aSeries.clear();
    s_cFaults = 0;
    s_cMoved = 0;
    FILE *file = _wfopen(c_wszListName, L"rb");
    if (file == NULL) {
        PrintErrorLine(L"Er staat geen teinstal.txt in " + CurrentFolder()
                       + L" (of het bestand kan niet worden geopend).");
        return CHECK_NOT_RUN;
    }
    ListFile list;
    BOOL fOpen = OpenList(file, g_uPackCodePage, &list);
    fclose(file);
    if (!fOpen) {
        PrintErrorLine(L"Codetabel " + Number(g_uPackCodePage) + L" is op deze computer onbekend.");
        return CHECK_NOT_RUN;
    }

    s_pZip = pZip;
    PrintLine(L"Pakket: " + (pZip != NULL ? pZip->wstrShownAs : CurrentFolder()));
    PrintLine(L"Wat instrrse.exe doet met elke regel van teinstal.txt, op een computer met"
              L" codetabel " + Number(g_uPackCodePage) + L":");
    BOOL fRead = ReportEntries(&list);
    CloseList(&list);
    CheckStatus status = CHECK_NOT_RUN;
    if (fRead) {
        ReportUnnamedFiles();
        PrintLine(L"");
        ReportEncoding(list.nEncoding);
        ReportInstaller();
        BOOL fZipFault = pZip != NULL && pZip->pfnWarnings != NULL && pZip->pfnWarnings();
        status = ReportResult(fZipFault);
    } else {
        PrintErrorLine(L"teinstal.txt kon niet tot het einde worden gelezen.");
    }
    s_pZip = NULL;
    return status;
}
