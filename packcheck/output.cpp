#include "packcheck/output.h"

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

std::wstring QuotedName(const std::wstring &wszName)
{
    return wszName.empty() ? L"(leeg)" : L"\"" + wszName + L"\"";
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
