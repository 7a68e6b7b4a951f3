#include "packcheck/zipcheck.h"
#include "packcheck/output.h"
#include "packcheck/packfiles.h"
#include "packcheck/zipformat.h"
#include "app/paths.h"
#include <algorithm>
#include <string>
#include <vector>

// More than any pack; a list larger than this is no list of series.
static const DWORD c_cbZipMax = 256u * 1024 * 1024;
// More than any list of a pack holds: a list inflated past this is no
// list of series.
static const size_t c_cbZipListMax = 16u * 1024 * 1024;

// A file or folder right inside the pack's folder of the zip.
struct PackItem {
    std::wstring wstrExplorer;   // its name as Explorer writes it
    std::wstring wstr7Zip;       // its name as 7-Zip writes it: what its maker meant
    BOOL fFolder;
    const ZipEntry *pEntry;     // NULL for a folder only implied by a path
};

static std::vector<PackItem> s_aItems;

static BOOL Decode(const std::string &bytes, UINT uCodePage, DWORD dwFlags, std::wstring *pwsz)
{
    pwsz->clear();
    if (bytes.empty())
        return TRUE;
    int cch = MultiByteToWideChar(uCodePage, dwFlags, bytes.data(), (int)bytes.size(), NULL, 0);
    if (cch <= 0)
        return FALSE;
    pwsz->assign((size_t)cch, L'\0');
    MultiByteToWideChar(uCodePage, dwFlags, bytes.data(), (int)bytes.size(), &(*pwsz)[0], cch);
    return TRUE;
}

static std::wstring WithSlashes(std::wstring wsz)
{
    for (WCHAR &wch : wsz)
        if (wch == L'\\')
            wch = L'/';
    return wsz;
}

// Explorer follows the format: UTF-8 when the entry says so, else the OEM
// code page.
static std::wstring ExplorerName(const ZipEntry &entry)
{
    std::wstring wsz;
    Decode(entry.name, (entry.wFlags & c_wZipFlagUtf8) ? CP_UTF8 : g_uPackOemCodePage, 0, &wsz);
    return WithSlashes(wsz);
}

// 7-Zip also takes Info-ZIP's Unicode Path field, and UTF-8 from Unix.
static std::wstring SevenZipName(const ZipEntry &entry)
{
    std::wstring wsz;
    if (entry.wFlags & c_wZipFlagUtf8)
        return ExplorerName(entry);
    if ((!entry.unicodePath.empty() && Decode(entry.unicodePath, CP_UTF8, MB_ERR_INVALID_CHARS, &wsz))
        || (entry.bHost == c_bZipHostUnix && Decode(entry.name, CP_UTF8, MB_ERR_INVALID_CHARS, &wsz)))
        return WithSlashes(wsz);
    Decode(entry.name, g_uPackOemCodePage, 0, &wsz);
    return WithSlashes(wsz);
}

static BOOL ReadZipFile(const WCHAR *pwszZip, std::vector<unsigned char> *pBytes,
                        BOOL *pfTooLarge)
{
    *pfTooLarge = FALSE;
    HANDLE hFile = CreateFileW(pwszZip, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    LARGE_INTEGER cb;
    BOOL fRead = GetFileSizeEx(hFile, &cb);
    *pfTooLarge = fRead && cb.QuadPart > c_cbZipMax;
    fRead = fRead && !*pfTooLarge;
    if (fRead) {
        pBytes->resize((size_t)cb.QuadPart);
        DWORD cbRead = 0;
        fRead = cb.QuadPart == 0
             || (ReadFile(hFile, &(*pBytes)[0], (DWORD)cb.QuadPart, &cbRead, NULL)
                 && cbRead == (DWORD)cb.QuadPart);
    }
    CloseHandle(hFile);
    return fRead;
}

static std::wstring LastPart(const std::wstring &wstrPath)
{
    size_t iSlash = wstrPath.find_last_of(L'/');
    return iSlash == std::wstring::npos ? wstrPath : wstrPath.substr(iSlash + 1);
}

// The folders (as Explorer names them, with their "/", "" for the top)
// that hold a teinstal.txt.
static std::vector<std::wstring> ListFolders(const std::vector<ZipEntry> &aEntries)
{
    std::vector<std::wstring> awstrFolders;
    for (const ZipEntry &entry : aEntries) {
        std::wstring wstrPath = ExplorerName(entry);
        if (!EqualIgnoringCase(LastPart(wstrPath), c_wszListName))
            continue;
        std::wstring wstrFolder = wstrPath.substr(0, wstrPath.size() - wcslen(c_wszListName));
        BOOL fSeen = FALSE;
        for (const std::wstring &wstrSeen : awstrFolders)
            fSeen = fSeen || EqualIgnoringCase(wstrSeen, wstrFolder);
        if (!fSeen)
            awstrFolders.push_back(wstrFolder);
    }
    return awstrFolders;
}

static BOOL StartsWith(const std::wstring &wsz, const std::wstring &wstrStart)
{
    return wsz.size() >= wstrStart.size()
        && EqualIgnoringCase(wsz.substr(0, wstrStart.size()), wstrStart);
}

// What lies right inside the folder, as Explorer unpacks it; a deeper path
// makes its first folder.
static void CollectItems(const std::vector<ZipEntry> &aEntries, const std::wstring &wstrFolder)
{
    s_aItems.clear();
    for (const ZipEntry &entry : aEntries) {
        std::wstring wstrExplorer = ExplorerName(entry), wstr7Zip = SevenZipName(entry);
        if (!StartsWith(wstrExplorer, wstrFolder) || wstrExplorer.size() == wstrFolder.size())
            continue;
        wstrExplorer.erase(0, wstrFolder.size());
        size_t iSlash = wstrExplorer.find(L'/');
        PackItem item = {wstrExplorer.substr(0, iSlash), LastPart(wstr7Zip),
                         iSlash != std::wstring::npos || (entry.dwAttributes & 0x10), &entry};
        if (iSlash != std::wstring::npos)
            item.pEntry = NULL;
        s_aItems.push_back(item);
    }
}

// Why Explorer does not unpack the entry; "" when it does. It unpacks
// stored, deflated and Deflate64 entries, and encrypted ones only with
// their password, which no user of a pack has.
static std::wstring WhyExplorerSkips(const ZipEntry &entry)
{
    if (entry.wMethod != c_wZipStored && entry.wMethod != c_wZipDeflated
        && entry.wMethod != c_wZipDeflate64) {
        std::string method = ZipMethodName(entry.wMethod);
        return L"Windows Verkenner pakt dit bestand niet uit: methode "
             + std::wstring(method.begin(), method.end());
    }
    if (entry.wFlags & c_wZipFlagEncrypted)
        return L"het bestand is versleuteld: Windows Verkenner vraagt er een wachtwoord voor,"
               L" dat de gebruiker niet heeft";
    return L"";
}

// The first entry of that name counts, as for Explorer, which asks before
// it writes a second over it.
static const PackItem *FindItem(const std::wstring &wstrName)
{
    for (const PackItem &item : s_aItems)
        if (!item.fFolder && item.pEntry != NULL && EqualIgnoringCase(item.wstrExplorer, wstrName))
            return &item;
    return NULL;
}

static std::wstring NotUnpacked(const std::wstring &wstrFile)
{
    const PackItem *pItem = FindItem(wstrFile);
    return pItem != NULL ? WhyExplorerSkips(*pItem->pEntry) : std::wstring();
}

// A name Explorer could write as it stands: anything else is left out, as
// it never reaches the users' folder under that name.
static BOOL IsWritableName(const std::wstring &wstrName)
{
    return !wstrName.empty() && wstrName != L"." && wstrName != L".."
        && std::find_if(wstrName.begin(), wstrName.end(), IsForbiddenInName) == wstrName.end();
}

// The temporary folder the pack's folder is unpacked into: names only, as
// the contents of the series change nothing the installer decides; the
// list alone is written whole.
struct Unpacked {
    std::wstring wstrFile;     // the unique name GetTempFileNameW made
    std::wstring wstrFolder;   // beside it
    std::vector<std::wstring> awstrMade;   // in the folder, in the order made
};

static BOOL MakeTempFolder(Unpacked *pUnpacked)
{
    WCHAR wszTempFolder[MAX_PATH], wszTempFile[MAX_PATH];
    DWORD cch = GetTempPathW(MAX_PATH, wszTempFolder);
    if (cch == 0 || cch >= MAX_PATH || GetTempFileNameW(wszTempFolder, L"pck", 0, wszTempFile) == 0)
        return FALSE;
    pUnpacked->wstrFile = wszTempFile;
    pUnpacked->wstrFolder = pUnpacked->wstrFile + L".map";
    return CreateDirectoryW(pUnpacked->wstrFolder.c_str(), NULL);
}

static BOOL MakeItem(const PackItem &item, const std::string &list, Unpacked *pUnpacked)
{
    std::wstring wstrPath = pUnpacked->wstrFolder + L"\\" + item.wstrExplorer;
    if (item.fFolder) {
        if (!CreateDirectoryW(wstrPath.c_str(), NULL))
            return GetLastError() == ERROR_ALREADY_EXISTS;
        pUnpacked->awstrMade.push_back(wstrPath);
        return TRUE;
    }
    HANDLE hFile = CreateFileW(wstrPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS;   // a name twice in the zip
    pUnpacked->awstrMade.push_back(wstrPath);
    BOOL fList = EqualIgnoringCase(item.wstrExplorer, c_wszListName);
    DWORD cbWritten = 0;
    BOOL fWritten = !fList || list.empty()
                 || (WriteFile(hFile, list.data(), (DWORD)list.size(), &cbWritten, NULL)
                     && cbWritten == list.size());
    return CloseHandle(hFile) && fWritten;
}

static BOOL Unpack(const std::string &list, Unpacked *pUnpacked)
{
    if (!MakeTempFolder(pUnpacked))
        return FALSE;
    for (const PackItem &item : s_aItems)
        if (IsWritableName(item.wstrExplorer) && !IsDeviceNameW(item.wstrExplorer.c_str())
            && !MakeItem(item, list, pUnpacked))
            return FALSE;
    return TRUE;
}

static void RemoveUnpacked(const Unpacked &unpacked)
{
    for (size_t i = unpacked.awstrMade.size(); i-- > 0;) {
        const WCHAR *pwszPath = unpacked.awstrMade[i].c_str();
        if (!DeleteFileW(pwszPath))
            RemoveDirectoryW(pwszPath);
    }
    if (!unpacked.wstrFolder.empty())
        RemoveDirectoryW(unpacked.wstrFolder.c_str());
    if (!unpacked.wstrFile.empty())
        DeleteFileW(unpacked.wstrFile.c_str());
}

// The list as the zip holds it. FALSE, having said why, when there is no
// list to check; *pStatus then gets the status.
static BOOL ReadList(const std::vector<unsigned char> &bytes, const std::wstring &wstrZip,
                     const std::wstring &wstrShownAs, std::string *pList, CheckStatus *pStatus)
{
    *pStatus = CHECK_NOT_RUN;
    const PackItem *pItem = FindItem(c_wszListName);
    if (pItem == NULL) {
        PrintErrorLine(L"teinstal.txt in " + wstrZip + L" is een map, geen bestand.");
        return FALSE;
    }
    std::wstring wstrWhy = WhyExplorerSkips(*pItem->pEntry);
    if (!wstrWhy.empty()) {
        PrintLine(L"Pakket: " + wstrShownAs);
        PrintLine(L"FOUT: teinstal.txt: " + wstrWhy + L".");
        PrintLine(L"");
        PrintLine(L"Niet in orde: zonder de lijst installeert instrrse.exe niets. Maak de zip met"
                  L" packcheck --zip.");
        *pStatus = CHECK_FAULTS;
        return FALSE;
    }
    std::string method;
    switch (ReadZipEntry(bytes.data(), bytes.size(), *pItem->pEntry, c_cbZipListMax, pList)) {
    case ZIPREAD_WHOLE:
        return TRUE;
    case ZIPREAD_METHOD:
        method = ZipMethodName(pItem->pEntry->wMethod);
        PrintErrorLine(L"teinstal.txt in " + wstrZip + L" is gecomprimeerd met methode "
                       + std::wstring(method.begin(), method.end()) + L", die Windows Verkenner"
                       L" wel uitpakt maar packcheck niet. Pak de zip uit en controleer de map,"
                       L" of maak de zip met packcheck --zip.");
        return FALSE;
    case ZIPREAD_TOO_LARGE:
        PrintErrorLine(L"teinstal.txt in " + wstrZip + L" is groter dan "
                       + Number((unsigned long)(c_cbZipListMax >> 20)) + L" MiB; dat is geen lijst"
                       L" van series.");
        return FALSE;
    default:
        PrintErrorLine(L"teinstal.txt in " + wstrZip + L" kan niet worden gelezen: de zip is"
                       L" beschadigd.");
        return FALSE;
    }
}

// A folder on the way from the users' Downloads folder to the pack's.
struct FolderName {
    std::wstring wstrExplorer;   // as Explorer names it
    std::wstring wstrMeant;      // as the zip's maker meant it, composed
};

static std::vector<FolderName> s_aFolders;

static std::vector<std::wstring> FolderParts(const std::wstring &wstrPath)
{
    std::vector<std::wstring> awstrParts;
    size_t iStart = 0;
    for (size_t iSlash; (iSlash = wstrPath.find(L'/', iStart)) != std::wstring::npos;
         iStart = iSlash + 1)
        awstrParts.push_back(wstrPath.substr(iStart, iSlash - iStart));
    return awstrParts;
}

// "Alles uitpakken" unpacks into a folder named like the zip; in it, the
// folders of the list's path.
static void CollectFolders(const std::wstring &wstrZip)
{
    s_aFolders.clear();
    std::wstring wstrZipFolder = LastPart(WithSlashes(wstrZip));
    wstrZipFolder = wstrZipFolder.substr(0, wstrZipFolder.find_last_of(L'.'));
    s_aFolders.push_back({wstrZipFolder, wstrZipFolder});
    const PackItem *pItem = FindItem(c_wszListName);
    if (pItem == NULL)
        return;
    std::vector<std::wstring> awstrExplorer = FolderParts(ExplorerName(*pItem->pEntry));
    std::vector<std::wstring> awstrMeant = FolderParts(SevenZipName(*pItem->pEntry));
    for (size_t i = 0; i < awstrExplorer.size(); i++)
        s_aFolders.push_back({awstrExplorer[i], awstrMeant.size() == awstrExplorer.size()
                                                   ? Composed(awstrMeant[i]) : awstrExplorer[i]});
}

// The folders Explorer names otherwise than the zip's maker, and those the
// users' code page cannot hold, in which the installer cannot read its
// start folder. TRUE for such a FOUT; *pfAdvise when packcheck --zip
// would mend what was found.
static BOOL ReportFolderNames(BOOL *pfAdvise)
{
    std::vector<std::wstring> awstrRenamed, awszUnheld;
    BOOL fMeantHeld = TRUE;
    std::string bytes;
    for (const FolderName &folder : s_aFolders) {
        if (folder.wstrExplorer != folder.wstrMeant)
            awstrRenamed.push_back(QuotedName(folder.wstrMeant) + L" wordt "
                                  + QuotedName(folder.wstrExplorer));
        if (!NameInCodePage(folder.wstrExplorer, g_uPackCodePage, &bytes)) {
            awszUnheld.push_back(folder.wstrExplorer);
            fMeantHeld = fMeantHeld && NameInCodePage(folder.wstrMeant, g_uPackCodePage, &bytes);
        }
    }
    if (!awstrRenamed.empty()) {
        PrintLine(L"");
        PrintLine(L"Waarschuwing: Windows Verkenner noemt een map van het pakket anders dan de"
                  L" maker van de zip:");
        for (const std::wstring &wstrLine : awstrRenamed)
            PrintLine(L"  " + wstrLine);
    }
    *pfAdvise = !awstrRenamed.empty() && fMeantHeld;
    if (awszUnheld.empty())
        return FALSE;
    PrintLine(L"");
    PrintLine(L"FOUT: codetabel " + Number(g_uPackCodePage) + L" kan de naam van "
              + (awszUnheld.size() == 1 ? L"deze map" : L"deze mappen") + L" niet bevatten: "
              + NamesInWords(awszUnheld) + L".");
    PrintLine(L"  instrrse.exe leest de map waarin het start in die codetabel. Het werkt dan via"
              L" de korte naam (8.3) van de map, als de schijf korte namen heeft: de"
              L" systeemschijf meestal wel, andere schijven sinds Windows 8 meestal niet."
              L" Anders vraagt een venster de gebruiker de map van het pakket te verplaatsen"
              L" naar een map met gewone letters, zoals C:\\Raadrups-pakket.");
    if (!fMeantHeld)
        PrintLine(L"Gebruik in de namen van de zip en van zijn mappen alleen tekens van codetabel "
                  + Number(g_uPackCodePage) + L".");
    return TRUE;
}

// The name Explorer gives a series that the list names otherwise, and what
// the installer then does. *pfAdvise when there is any.
static void ReportSeriesNames(BOOL *pfAdvise)
{
    std::vector<std::wstring> awstrLines;
    for (const ListedSeries &series : CheckedSeries()) {
        if (series.fOtherForm && !series.wstrFound.empty()) {
            awstrLines.push_back(QuotedName(series.wstrName) + L" wordt " + QuotedName(series.wstrFound)
                                + L"; instrrse.exe vindt de serie toch en installeert hem als "
                                + QuotedName(series.wstrName));
            continue;
        }
        if (!series.fMissing)
            continue;
        for (const PackItem &item : s_aItems)
            if (!item.fFolder && item.wstrExplorer != item.wstr7Zip
                && EqualIgnoringCase(Composed(item.wstr7Zip), Composed(series.wstrName)))
                awstrLines.push_back(QuotedName(series.wstrName) + L" wordt "
                                    + QuotedName(item.wstrExplorer)
                                    + L"; daaronder vindt instrrse.exe de serie niet");
    }
    *pfAdvise = !awstrLines.empty();
    if (awstrLines.empty())
        return;
    PrintLine(L"");
    PrintLine(L"Waarschuwing: Windows Verkenner pakt deze series uit onder een andere naam dan"
              L" de lijst noemt:");
    for (const std::wstring &wstrLine : awstrLines)
        PrintLine(L"  " + wstrLine);
}

static BOOL ReportZipNames()
{
    BOOL fFolderAdvice, fSeriesAdvice;
    BOOL fFault = ReportFolderNames(&fFolderAdvice);
    ReportSeriesNames(&fSeriesAdvice);
    if (fFolderAdvice || fSeriesAdvice)
        PrintLine(L"Maak de zip met packcheck --zip: dan pakt elk programma de namen uit zoals u"
                  L" ze schreef.");
    return fFault;
}

static CheckStatus CheckUnpacked(const Unpacked &unpacked, const std::wstring &wstrShownAs)
{
    WCHAR wszSaved[MAX_PATH];
    DWORD cch = GetCurrentDirectoryW(MAX_PATH, wszSaved);
    if (cch == 0 || cch >= MAX_PATH || !SetCurrentDirectoryW(unpacked.wstrFolder.c_str())) {
        PrintErrorLine(L"De zip kon niet in een tijdelijke map worden bekeken.");
        return CHECK_NOT_RUN;
    }
    ZipView zip = {wstrShownAs, NotUnpacked, ReportZipNames};
    CheckStatus status = CheckPack(&zip);
    SetCurrentDirectoryW(wszSaved);
    return status;
}

static std::wstring FullPath(const WCHAR *pwszPath)
{
    WCHAR wsz[32768];
    DWORD cch = GetFullPathNameW(pwszPath, 32768, wsz, NULL);
    return cch > 0 && cch < 32768 ? std::wstring(wsz) : std::wstring(pwszPath);
}

CheckStatus CheckPackZip(const WCHAR *pwszZip)
{
    std::wstring wstrZip = FullPath(pwszZip);
    std::vector<unsigned char> bytes;
    std::vector<ZipEntry> aEntries;
    BOOL fTooLarge;
    if (!ReadZipFile(pwszZip, &bytes, &fTooLarge)
        || !ReadZipDirectory(bytes.data(), bytes.size(), &aEntries)) {
        PrintErrorLine(wstrZip + (fTooLarge ? L" is groter dan "
                                             + Number((unsigned long)(c_cbZipMax >> 20))
                                             + L" MiB; zo'n grote zip leest packcheck niet."
                                           : L" is geen zip-bestand dat packcheck kan lezen."));
        return CHECK_NOT_RUN;
    }
    std::vector<std::wstring> awstrFolders = ListFolders(aEntries);
    if (awstrFolders.size() != 1) {
        PrintErrorLine(awstrFolders.empty()
                       ? L"Er staat geen teinstal.txt in " + wstrZip + L"."
                       : L"In " + wstrZip + L" houden meer mappen een teinstal.txt; een pakket"
                         L" is \u00E9\u00E9n map met \u00E9\u00E9n lijst.");
        return CHECK_NOT_RUN;
    }
    CollectItems(aEntries, awstrFolders[0]);
    CollectFolders(wstrZip);
    std::wstring wstrShownAs = wstrZip;
    if (!awstrFolders[0].empty())
        wstrShownAs += L", map " + QuotedName(awstrFolders[0].substr(0, awstrFolders[0].size() - 1));
    wstrShownAs += L", uitgepakt zoals Windows Verkenner dat doet met OEM-codetabel "
                + Number(g_uPackOemCodePage);
    std::string list;
    CheckStatus status;
    if (!ReadList(bytes, wstrZip, wstrShownAs, &list, &status))
        return status;

    Unpacked unpacked;
    status = CHECK_NOT_RUN;
    if (Unpack(list, &unpacked))
        status = CheckUnpacked(unpacked, wstrShownAs);
    else
        PrintErrorLine(L"De zip kon niet in een tijdelijke map worden bekeken.");
    RemoveUnpacked(unpacked);
    return status;
}
