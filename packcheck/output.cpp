#include "packcheck/output.h"
#include "app/paths.h"
#include "packcheck/packfiles.h"
#include <algorithm>
#include <vector>

static void WriteConsoleText(HANDLE h, const std::wstring &wstrText)
{
    const WCHAR *pwch = wstrText.c_str();
    size_t cchLeft = wstrText.size();
    while (cchLeft > 0) {
        // Older consoles refuse one very long write; pieces always go.
        DWORD cchPiece = cchLeft < 4096 ? (DWORD)cchLeft : 4096;
        DWORD cchWritten = 0;
        if (!WriteConsoleW(h, pwch, cchPiece, &cchWritten, NULL) || cchWritten == 0)
            return;
        pwch += cchWritten;
        cchLeft -= cchWritten;
    }
}

std::string Utf8Of(const std::wstring &wstrText)
{
    int cb = WideCharToMultiByte(CP_UTF8, 0, wstrText.c_str(), (int)wstrText.size(), NULL, 0,
                                 NULL, NULL);
    if (cb <= 0)
        return std::string();
    std::string bytes((size_t)cb, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wstrText.c_str(), (int)wstrText.size(), &bytes[0], cb, NULL,
                        NULL);
    return bytes;
}

static void WriteUtf8Text(HANDLE h, const std::wstring &wstrText)
{
    std::string bytes = Utf8Of(wstrText);
    const char *pb = bytes.data();
    DWORD cbLeft = (DWORD)bytes.size();
    while (cbLeft > 0) {
        DWORD cbWritten = 0;
        if (!WriteFile(h, pb, cbLeft, &cbWritten, NULL) || cbWritten == 0)
            return;
        pb += cbWritten;
        cbLeft -= cbWritten;
    }
}

static void WriteLine(DWORD nStdHandle, const std::wstring &wstrLine)
{
    HANDLE h = GetStdHandle(nStdHandle);
    if (h == NULL || h == INVALID_HANDLE_VALUE)
        return;
    DWORD dwMode;
    if (GetConsoleMode(h, &dwMode))
        WriteConsoleText(h, wstrLine + L"\r\n");
    else
        WriteUtf8Text(h, wstrLine + L"\r\n");
}

void PrintLine(const std::wstring &wstrLine)
{
    WriteLine(STD_OUTPUT_HANDLE, wstrLine);
}

void PrintErrorLine(const std::wstring &wstrLine)
{
    WriteLine(STD_ERROR_HANDLE, wstrLine);
}

static std::wstring CodePoint(unsigned ch)
{
    static const WCHAR c_wszHex[] = L"0123456789ABCDEF";
    std::wstring wsz = L"U+";
    for (int iShift = 12; iShift >= 0; iShift -= 4)
        wsz += c_wszHex[ch >> iShift & 0xF];
    return wsz;
}

static BOOL IsControl(WCHAR wch)
{
    return wch < 0x20 || (wch >= 0x7F && wch < 0xA0);
}

// A control character shown as "<U+001B>": none reaches the publisher's
// terminal, and a NUL cuts nothing short.
static std::wstring Escaped(const std::wstring &wstrName)
{
    std::wstring wstrShown;
    for (WCHAR wch : wstrName)
        wstrShown += IsControl(wch) ? L"<" + CodePoint(wch) + L">" : std::wstring(1, wch);
    return wstrShown;
}

static BOOL IsCombining(WCHAR wch)
{
    WORD wType = 0;
    return GetStringTypeW(CT_CTYPE3, &wch, 1, &wType) && (wType & C3_NONSPACING);
}

// A name in decomposed form looks like its composed twin: " [ontlede
// vorm: e + U+0301]" says which letters carry their accents as characters
// of their own. "" for a name in composed form.
static std::wstring DecomposedNote(const std::wstring &wstrName)
{
    if (Composed(wstrName) == wstrName)
        return L"";
    std::vector<std::wstring> awstrParts;
    for (size_t i = 0; i < wstrName.size(); i++) {
        size_t iEnd = i + 1;
        while (iEnd < wstrName.size() && IsCombining(wstrName[iEnd]))
            iEnd++;
        std::wstring wstrLetter = wstrName.substr(i, iEnd - i);
        if (iEnd - i > 1 && Composed(wstrLetter) != wstrLetter) {
            std::wstring wstrPart = Escaped(wstrLetter.substr(0, 1));
            for (size_t j = 1; j < wstrLetter.size(); j++)
                wstrPart += L" + " + CodePoint(wstrLetter[j]);
            if (std::find(awstrParts.begin(), awstrParts.end(), wstrPart) == awstrParts.end())
                awstrParts.push_back(wstrPart);
        }
        i = iEnd - 1;
    }
    std::wstring wstrNote = L" [ontlede vorm";
    for (size_t i = 0; i < awstrParts.size(); i++)
        wstrNote += (i == 0 ? L": " : L", ") + awstrParts[i];
    return wstrNote + L"]";
}

std::wstring QuotedName(const std::wstring &wstrName)
{
    return wstrName.empty() ? L"(leeg)"
                           : L"\"" + Escaped(wstrName) + L"\"" + DecomposedNote(wstrName);
}

std::wstring NamesInWords(const std::vector<std::wstring> &awstrNames)
{
    std::wstring wstrWords;
    for (size_t i = 0; i < awstrNames.size(); i++)
        wstrWords += (i == 0 ? L"" : i + 1 == awstrNames.size() ? L" en " : L", ")
                  + QuotedName(awstrNames[i]);
    return wstrWords;
}

std::wstring Number(unsigned long n)
{
    WCHAR wsz[24] = L"";
    AppendNumber(wsz, sizeof(wsz) / sizeof(WCHAR), n);
    return wsz;
}

std::wstring UnmappableReason(UINT uCodePage)
{
    WCHAR wszReason[64];
    FormatUnmappableReason(uCodePage, wszReason, sizeof(wszReason) / sizeof(WCHAR));
    return wszReason;
}

void PrintUsage(BOOL fError)
{
    static const WCHAR *const c_apwszUsage[] = {
        L"Gebruik: packcheck [--codepage N] [--oemcodepage M] [MAP | PAKKET.zip]",
        L"         packcheck --write [--force] [--codepage N] [MAP]",
        L"         packcheck --zip UIT.zip [--force] [--codepage N] [MAP]",
        L"",
        L"Controleert een pakket series voordat u het verstuurt: per regel van",
        L"MAP\\teinstal.txt wat instrrse.exe ermee doet op een computer met",
        L"codetabel N, welke bestanden de lijst niet noemt, de codering van de",
        L"lijst en of instrrse.exe in het pakket staat.",
        L"",
        L"  MAP              de map van het pakket (standaard de huidige map)",
        L"  PAKKET.zip       een zip met het pakket, gecontroleerd zoals Windows",
        L"                   Verkenner hem uitpakt",
        L"  --codepage N     de ANSI-codetabel van de gebruikers (standaard 1252)",
        L"  --oemcodepage M  hun OEM-codetabel, waarmee Verkenner de namen in een",
        L"                   zip leest (standaard 850)",
        L"  --write          schrijft teinstal.txt voor alle bestanden van MAP",
        L"                   (zonder .txt-bestanden, instrrse.exe en packcheck.exe)",
        L"  --zip UIT.zip    controleert MAP en maakt er de zip van om te versturen:",
        L"                   de series, teinstal.txt, instrrse.exe en de .txt-bestanden",
        L"  --force          vervangt met --write een bestaande teinstal.txt, met",
        L"                   --zip een bestaande zip",
        L"",
        L"Afloopcode: 0 = elke serie wordt ge\u00EFnstalleerd, 1 = niet elke serie,",
        L"2 = fout in de opdracht, of map, zip of lijst ontbreekt of is onleesbaar.",
    };
    for (const WCHAR *pwszLine : c_apwszUsage) {
        if (fError)
            PrintErrorLine(pwszLine);
        else
            PrintLine(pwszLine);
    }
}
