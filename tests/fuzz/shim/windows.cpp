#include "tests/fuzz/shim/windows.h"
#include <iconv.h>
#include <string.h>
#include <string>
#include <vector>

static UINT s_uCodePage = 1252;

void SetAnsiCodePage(UINT uCodePage)
{
    s_uCodePage = uCodePage;
}

UINT GetACP(void)
{
    return s_uCodePage;
}

static UINT Resolve(UINT uCodePage)
{
    return uCodePage == CP_ACP ? s_uCodePage : uCodePage;
}

BOOL IsValidCodePage(UINT uCodePage)
{
    return uCodePage == 1252 || uCodePage == 932;
}

BOOL IsDBCSLeadByteEx(UINT uCodePage, BYTE b)
{
    if (Resolve(uCodePage) != 932)
        return FALSE;
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

BOOL IsDBCSLeadByte(BYTE bTestChar)
{
    return IsDBCSLeadByteEx(CP_ACP, bTestChar);
}

// 0x80-0x9F of Windows-1252; the five bytes it leaves undefined stand for
// the C1 controls of the same value, both ways, as on Windows.
static const unsigned short c_awc1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Code page 932 both ways for every character, built once through iconv:
// a BMP code point to its one or two bytes (0: none), and a byte or byte
// pair to its code point (0: none).
struct Table932 {
    std::vector<unsigned short> wcToMb;
    std::vector<unsigned short> mbToWc;   // single bytes at [b], pairs at [lead << 8 | trail]
};

static const Table932 &Get932()
{
    static Table932 table;
    if (!table.wcToMb.empty())
        return table;
    table.wcToMb.assign(0x10000, 0);
    table.mbToWc.assign(0x10000, 0);
    iconv_t cd = iconv_open("CP932", "UTF-32LE");
    for (unsigned wc = 1; wc < 0x10000; wc++) {
        if (wc >= 0xD800 && wc <= 0xDFFF)
            continue;
        unsigned char abIn[4] = { (unsigned char)wc, (unsigned char)(wc >> 8), 0, 0 };
        char abOut[8];
        char *pIn = (char *)abIn, *pOut = abOut;
        size_t cbIn = 4, cbOut = sizeof(abOut);
        iconv(cd, NULL, NULL, NULL, NULL);
        if (iconv(cd, &pIn, &cbIn, &pOut, &cbOut) == (size_t)-1)
            continue;
        size_t cb = (size_t)(pOut - abOut);
        unsigned short mb = cb == 1 ? (unsigned char)abOut[0]
                          : cb == 2 ? (unsigned short)((unsigned char)abOut[0] << 8 | (unsigned char)abOut[1]) : 0;
        if (mb == 0 || (cb == 1 && IsDBCSLeadByteEx(932, (BYTE)mb)))
            continue;
        table.wcToMb[wc] = mb;
        if (table.mbToWc[mb] == 0)
            table.mbToWc[mb] = (unsigned short)wc;
    }
    iconv_close(cd);
    return table;
}

// UTF-8 as Windows decodes it: an ill-formed part becomes one U+FFFD per
// maximal part of a well-formed sequence (or per stray byte). FALSE when
// there was one.
static bool DecodeUtf8(const BYTE *pb, int cb, std::vector<WCHAR> *pOut)
{
    bool fValid = true;
    for (int i = 0; i < cb;) {
        BYTE b = pb[i];
        int len = b < 0x80 ? 1 : b < 0xC2 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 0;
        BYTE bLow = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
        BYTE bHigh = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        int ok = len == 0 ? 0 : 1;
        if (len > 1 && i + 1 < cb && pb[i + 1] >= bLow && pb[i + 1] <= bHigh)
            for (ok = 2; ok < len && i + ok < cb && (pb[i + ok] & 0xC0) == 0x80; ok++) {
            }
        if (ok < len || len == 0) {
            pOut->push_back(0xFFFD);
            fValid = false;
            i += ok > 0 ? ok : 1;
            continue;
        }
        unsigned cp = len == 1 ? b : b & (0x7F >> len);
        for (int k = 1; k < len; k++)
            cp = cp << 6 | (pb[i + k] & 0x3F);
        if (cp >= 0x10000) {
            pOut->push_back((WCHAR)(0xD800 + ((cp - 0x10000) >> 10)));
            pOut->push_back((WCHAR)(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            pOut->push_back((WCHAR)cp);
        }
        i += len;
    }
    return fValid;
}

int MultiByteToWideChar(UINT uCodePage, DWORD dwFlags, const char *pch, int cb, WCHAR *pwch, int cwch)
{
    UINT uCp = Resolve(uCodePage);
    if (cb < 0)
        cb = (int)strlen(pch) + 1;
    std::vector<WCHAR> out;
    if (uCp == CP_UTF8 && !DecodeUtf8((const BYTE *)pch, cb, &out) && (dwFlags & MB_ERR_INVALID_CHARS))
        return 0;
    for (int i = 0; uCp != CP_UTF8 && i < cb; i++) {
        BYTE b = (BYTE)pch[i];
        if (uCp == 932) {
            const Table932 &table = Get932();
            if (IsDBCSLeadByteEx(932, b) && i + 1 < cb) {
                unsigned short wc = table.mbToWc[b << 8 | (BYTE)pch[i + 1]];
                out.push_back(wc != 0 ? wc : 0x30FB);
                i++;
            } else {
                unsigned short wc = table.mbToWc[b];
                out.push_back(b == 0 || wc != 0 ? (WCHAR)wc : (WCHAR)0x30FB);
            }
        } else {
            out.push_back(b >= 0x80 && b < 0xA0 ? c_awc1252[b - 0x80] : b);
        }
    }
    if (cwch == 0)
        return (int)out.size();
    if ((int)out.size() > cwch || out.empty())
        return 0;
    memcpy(pwch, out.data(), out.size() * sizeof(WCHAR));
    return (int)out.size();
}

// The bytes of one code point; "" when the code page has none.
static std::string ToBytes(UINT uCp, unsigned cp)
{
    if (cp == 0)
        return std::string(1, '\0');
    if (uCp == CP_UTF8) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        if (cp < 0x80)
            return std::string(1, (char)cp);
        std::string s;
        int cTrail = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
        const unsigned c_abLead[] = {0, 0xC0, 0xE0, 0xF0};
        s += (char)(c_abLead[cTrail] | (cp >> (6 * cTrail)));
        for (int k = cTrail - 1; k >= 0; k--)
            s += (char)(0x80 | ((cp >> (6 * k)) & 0x3F));
        return s;
    }
    if (uCp == 932) {
        unsigned short mb = cp < 0x10000 ? Get932().wcToMb[cp] : 0;
        if (mb == 0)
            return "";
        return mb < 0x100 ? std::string(1, (char)mb) : std::string{(char)(mb >> 8), (char)(mb & 0xFF)};
    }
    if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100))
        return std::string(1, (char)cp);
    for (int i = 0; i < 32; i++)
        if (c_awc1252[i] == cp)
            return std::string(1, (char)(0x80 + i));
    return "";
}

int WideCharToMultiByte(UINT uCodePage, DWORD, const WCHAR *pwch, int cwch,
                        char *pch, int cb, const char *pchDefault, BOOL *pfUsedDefault)
{
    UINT uCp = Resolve(uCodePage);
    if (cwch < 0)
        cwch = (int)wcslen(pwch) + 1;
    std::string out;
    BOOL fUsedDefault = FALSE;
    for (int i = 0; i < cwch; i++) {
        unsigned cp = (unsigned)pwch[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < cwch
            && (unsigned)pwch[i + 1] >= 0xDC00 && (unsigned)pwch[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + ((unsigned)pwch[i + 1] - 0xDC00);
            i++;
        }
        std::string bytes = ToBytes(uCp, cp);
        if (bytes.empty()) {
            bytes = pchDefault != NULL ? pchDefault : "?";
            fUsedDefault = TRUE;
        }
        out += bytes;
    }
    if (pfUsedDefault != NULL)
        *pfUsedDefault = fUsedDefault;
    if (cb == 0)
        return (int)out.size();
    if ((int)out.size() > cb)
        return 0;
    memcpy(pch, out.data(), out.size());
    return (int)out.size();
}

DWORD GetFileAttributesW(LPCWSTR)
{
    return INVALID_FILE_ATTRIBUTES;
}

DWORD GetFileAttributesA(const char *)
{
    return INVALID_FILE_ATTRIBUTES;
}

HANDLE FindFirstFileW(LPCWSTR, WIN32_FIND_DATAW *)
{
    return INVALID_HANDLE_VALUE;
}

BOOL FindClose(HANDLE)
{
    return TRUE;
}

int CompareStringOrdinal(LPCWSTR pwszA, int cchA, LPCWSTR pwszB, int cchB, BOOL fIgnoreCase)
{
    size_t cA = cchA < 0 ? wcslen(pwszA) : (size_t)cchA, cB = cchB < 0 ? wcslen(pwszB) : (size_t)cchB;
    for (size_t i = 0; i < cA && i < cB; i++) {
        WCHAR a = pwszA[i], b = pwszB[i];
        if (fIgnoreCase && a >= L'a' && a <= L'z')
            a = (WCHAR)(a - L'a' + L'A');
        if (fIgnoreCase && b >= L'a' && b <= L'z')
            b = (WCHAR)(b - L'a' + L'A');
        if (a != b)
            return a < b ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    }
    return cA == cB ? CSTR_EQUAL : cA < cB ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}
