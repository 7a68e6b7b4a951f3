#include "packcheck/output.h"
#include "packcheck/packfiles.h"
#include <algorithm>
#include <vector>

static void WriteConsoleText(HANDLE h, const std::wstring &wszText)
{
    const WCHAR *pwch = wszText.c_str();
    size_t cchLeft = wszText.size();
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

std::string Utf8Of(const std::wstring &wszText)
{
    int cb = WideCharToMultiByte(CP_UTF8, 0, wszText.c_str(), (int)wszText.size(), NULL, 0,
                                 NULL, NULL);
    if (cb <= 0)
        return std::string();
    std::string bytes((size_t)cb, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wszText.c_str(), (int)wszText.size(), &bytes[0], cb, NULL,
                        NULL);
    return bytes;
}

static void WriteUtf8Text(HANDLE h, const std::wstring &wszText)
{
    std::string bytes = Utf8Of(wszText);
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

static void WriteLine(DWORD nStdHandle, const std::wstring &wszLine)
{
    HANDLE h = GetStdHandle(nStdHandle);
    if (h == NULL || h == INVALID_HANDLE_VALUE)
        return;
    DWORD dwMode;
    if (GetConsoleMode(h, &dwMode))
        WriteConsoleText(h, wszLine + L"\r\n");
    else
        WriteUtf8Text(h, wszLine + L"\r\n");
}

void PrintLine(const std::wstring &wszLine)
{
    WriteLine(STD_OUTPUT_HANDLE, wszLine);
}

void PrintErrorLine(const std::wstring &wszLine)
{
    WriteLine(STD_ERROR_HANDLE, wszLine);
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
static std::wstring Escaped(const std::wstring &wszName)
{
    std::wstring wszShown;
    for (WCHAR wch : wszName)
        wszShown += IsControl(wch) ? L"<" + CodePoint(wch) + L">" : std::wstring(1, wch);
    return wszShown;
}

static BOOL IsCombining(WCHAR wch)
{
    WORD wType = 0;
    return GetStringTypeW(CT_CTYPE3, &wch, 1, &wType) && (wType & C3_NONSPACING);
}

// A name in decomposed form looks like its composed twin: " [ontlede
// vorm: e + U+0301]" says which letters carry their accents as characters
// of their own. "" for a name in composed form.
static std::wstring DecomposedNote(const std::wstring &wszName)
{
    if (Composed(wszName) == wszName)
        return L"";
    std::vector<std::wstring> awszParts;
    for (size_t i = 0; i < wszName.size(); i++) {
        size_t iEnd = i + 1;
        while (iEnd < wszName.size() && IsCombining(wszName[iEnd]))
            iEnd++;
        std::wstring wszLetter = wszName.substr(i, iEnd - i);
        if (iEnd - i > 1 && Composed(wszLetter) != wszLetter) {
            std::wstring wszPart = Escaped(wszLetter.substr(0, 1));
            for (size_t j = 1; j < wszLetter.size(); j++)
                wszPart += L" + " + CodePoint(wszLetter[j]);
            if (std::find(awszParts.begin(), awszParts.end(), wszPart) == awszParts.end())
                awszParts.push_back(wszPart);
        }
        i = iEnd - 1;
    }
    std::wstring wszNote = L" [ontlede vorm";
    for (size_t i = 0; i < awszParts.size(); i++)
        wszNote += (i == 0 ? L": " : L", ") + awszParts[i];
    return wszNote + L"]";
}

std::wstring QuotedName(const std::wstring &wszName)
{
    return wszName.empty() ? L"(leeg)"
                           : L"\"" + Escaped(wszName) + L"\"" + DecomposedNote(wszName);
}

std::wstring NamesInWords(const std::vector<std::wstring> &awszNames)
{
    std::wstring wszWords;
    for (size_t i = 0; i < awszNames.size(); i++)
        wszWords += (i == 0 ? L"" : i + 1 == awszNames.size() ? L" en " : L", ")
                  + QuotedName(awszNames[i]);
    return wszWords;
}

std::wstring Number(unsigned long n)
{
    WCHAR wsz[16];
    int i = 15;
    wsz[i] = L'\0';
    do {
        wsz[--i] = (WCHAR)(L'0' + n % 10);
        n /= 10;
    } while (n > 0);
    return wsz + i;
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
