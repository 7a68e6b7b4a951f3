// Fuzzes the path helpers. The input is a header of seven bytes and then
// two strings separated by a NUL:
//   0      code page: odd = 932 (double-byte), even = 1252
//   1..4   buffer sizes for drive, folder, name and extension of SplitPath
//   5      buffer size for CopyPath, AppendPath and MakeFolderPath
//   6      how much of the first string stands in AppendPath's buffer
// Every buffer is a heap block of exactly its size, so that AddressSanitizer
// catches a write or read one byte past it.
#include "app/entry.h"
#include "app/paths.h"
#include <algorithm>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const size_t c_cbHeader = 7;

[[noreturn]] void Fail(const char *pszWhat, const std::string &path)
{
    fprintf(stderr, "paths: %s for \"", pszWhat);
    for (unsigned char ch : path)
        fprintf(stderr, (ch < 32 || ch >= 127) ? "\\x%02X" : "%c", ch);
    fprintf(stderr, "\"\n");
    __builtin_trap();
}

void Check(bool fHolds, const char *pszWhat, const std::string &path)
{
    if (!fHolds)
        Fail(pszWhat, path);
}

// Which bytes stand alone, that is are neither half of a double-byte pair.
std::vector<bool> SingleBytes(const std::string &s)
{
    std::vector<bool> afSingle(s.size(), true);
    for (size_t i = 0; i < s.size(); i++) {
        if (IsDBCSLeadByte((BYTE)s[i]) && i + 1 < s.size()) {
            afSingle[i] = afSingle[i + 1] = false;
            i++;
        }
    }
    return afSingle;
}

bool IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

// Ends in a backslash that is a character of its own.
bool EndsInRealBackslash(const std::string &s)
{
    return !s.empty() && s.back() == '\\' && SingleBytes(s).back();
}

bool EndsInRealSeparator(const std::string &s)
{
    return !s.empty() && IsSeparator(s.back()) && SingleBytes(s).back();
}

// A lead byte cut off from its trail byte: whatever is appended becomes
// its trail byte, so no backslash can follow it.
bool EndsInLoneLeadByte(const std::string &s)
{
    return !s.empty() && SingleBytes(s).back() && IsDBCSLeadByte((BYTE)s.back());
}

// An exact-size heap buffer, filled with a byte that is no terminator.
struct Buffer {
    char *pch;
    size_t cb;
    explicit Buffer(size_t cbSize) : pch((char *)malloc(cbSize)), cb(cbSize) { memset(pch, 'q', cb); }
    ~Buffer() { free(pch); }
    Buffer(const Buffer &) = delete;
    Buffer &operator=(const Buffer &) = delete;
};

// Sizes 1..199 byte for byte, then in steps of 4 up to 420, past MAX_PATH.
size_t SizeFromByte(uint8_t b)
{
    return b < 200 ? b : 200 + (size_t)(b - 200) * 4;
}

struct Parts {
    std::string drive, dir, name, ext;
};

// A split with room for everything must succeed, give the path back whole,
// and put each boundary where the rules of splitting say.
Parts CheckFullSplit(const std::string &path)
{
    size_t cb = path.size() + 1;
    Buffer drive(cb), dir(cb), name(cb), ext(cb);
    if (!SplitPath(path.c_str(), drive.pch, cb, dir.pch, cb, name.pch, cb, ext.pch, cb))
        Fail("SplitPath failed with room for every part", path);
    Parts parts{drive.pch, dir.pch, name.pch, ext.pch};
    Check(parts.drive + parts.dir + parts.name + parts.ext == path, "parts do not make up the path", path);

    bool fDrive = path.size() >= 2 && path[1] == ':';
    Check(parts.drive == (fDrive ? path.substr(0, 2) : ""), "wrong drive", path);

    std::vector<bool> afSingle = SingleBytes(path);
    size_t iName = parts.drive.size() + parts.dir.size();
    size_t iExt = iName + parts.name.size();
    Check(parts.dir.empty() || (IsSeparator(path[iName - 1]) && afSingle[iName - 1]),
          "folder does not end at a separator", path);
    size_t iLastDot = std::string::npos;
    for (size_t i = iName; i < path.size(); i++) {
        Check(!(afSingle[i] && IsSeparator(path[i])), "separator after the folder", path);
        if (afSingle[i] && path[i] == '.')
            iLastDot = i;
    }
    Check(iLastDot == std::string::npos ? parts.ext.empty() : iExt == iLastDot,
          "extension not at the last dot after the folder", path);
    return parts;
}

// A part of size 0 is asked for without room (the pointer is not NULL);
// the byte 0 leaves the part out.
struct PartRequest {
    bool fWanted;
    size_t cb;
    Buffer buffer;
    explicit PartRequest(uint8_t b) : fWanted(b != 0), cb(b == 0 ? 0 : SizeFromByte(b - 1)), buffer(cb) {}
    char *Pointer() { return fWanted ? buffer.pch : NULL; }
    bool Fits(const std::string &part) const { return !fWanted || part.size() < cb; }
    bool Holds(const std::string &part) const { return !fWanted || part == buffer.pch; }
    bool Empty() const { return !fWanted || cb == 0 || buffer.pch[0] == '\0'; }
};

void CheckSizedSplit(const std::string &path, const Parts &parts, const uint8_t *pbSizes)
{
    PartRequest drive(pbSizes[0]), dir(pbSizes[1]), name(pbSizes[2]), ext(pbSizes[3]);
    BOOL fOk = SplitPath(path.c_str(), drive.Pointer(), drive.cb, dir.Pointer(), dir.cb,
                         name.Pointer(), name.cb, ext.Pointer(), ext.cb);
    bool fFits = drive.Fits(parts.drive) && dir.Fits(parts.dir)
              && name.Fits(parts.name) && ext.Fits(parts.ext);
    Check((fOk != FALSE) == fFits, "SplitPath result does not match the part sizes", path);
    if (fOk)
        Check(drive.Holds(parts.drive) && dir.Holds(parts.dir) && name.Holds(parts.name)
              && ext.Holds(parts.ext), "sized split differs from the full one", path);
    else
        Check(drive.Empty() && dir.Empty() && name.Empty() && ext.Empty(),
              "a part left filled after a failed split", path);
}

void CheckCopy(const std::string &src, size_t cbDest)
{
    Buffer dest(cbDest);
    BOOL fOk = CopyPath(dest.pch, cbDest, src.c_str());
    Check((fOk != FALSE) == (src.size() < cbDest), "CopyPath result does not match the size", src);
    if (fOk)
        Check(src == dest.pch, "CopyPath copied something else", src);
    else if (cbDest > 0)
        Check(dest.pch[0] == '\0', "CopyPath left a shortened path", src);
}

// The buffer holds cchStart bytes of start; when they fill it there is no
// terminator at all, which AppendPath must notice rather than read past.
void CheckAppend(const std::string &start, size_t cchStart, const std::string &src, size_t cbDest)
{
    Buffer dest(cbDest);
    cchStart = std::min(cchStart, std::min(start.size(), cbDest));
    memcpy(dest.pch, start.data(), cchStart);
    if (cchStart < cbDest)
        dest.pch[cchStart] = '\0';
    std::vector<char> before(dest.pch, dest.pch + cbDest);

    BOOL fOk = AppendPath(dest.pch, cbDest, src.c_str());
    bool fFits = cchStart < cbDest && cchStart + src.size() < cbDest;
    std::string joined = start.substr(0, cchStart) + src;
    Check((fOk != FALSE) == fFits, "AppendPath result does not match the size", joined);
    if (fOk)
        Check(joined == dest.pch, "AppendPath joined something else", joined);
    else
        Check(cbDest == 0 || memcmp(before.data(), dest.pch, cbDest) == 0,
              "AppendPath changed the buffer on failure", joined);
}

void CheckTrailingBackslash(const std::string &path)
{
    if (path.size() >= MAX_PATH)
        return;
    Buffer buffer(MAX_PATH);
    memcpy(buffer.pch, path.c_str(), path.size() + 1);
    bool fFolder = EndsInRealBackslash(path);
    Check((IsFolderPath(path.c_str()) != FALSE) == fFolder, "IsFolderPath wrong", path);

    BOOL fOk = EnsureTrailingBackslash(buffer.pch);
    std::string result = buffer.pch;
    if (fOk)
        Check(EndsInRealBackslash(result), "EnsureTrailingBackslash gave no folder path", path);
    if (fOk && fFolder)
        Check(result == path, "EnsureTrailingBackslash changed a folder path", path);
    if (fOk && !fFolder)
        Check(result == path + "\\", "EnsureTrailingBackslash did more than add a backslash", path);
    if (!fOk)
        Check(result == path, "EnsureTrailingBackslash changed a path it failed on", path);
    Check(fOk || path.size() + 1 >= MAX_PATH || EndsInLoneLeadByte(path),
          "EnsureTrailingBackslash failed with room left", path);
}

// The drive is the first string's first byte (none when it is empty), the
// folder the second string.
void CheckMakeFolder(const std::string &drive, const std::string &dir, size_t cbDest)
{
    Buffer dest(cbDest);
    BOOL fOk = MakeFolderPath(dest.pch, cbDest, drive.c_str(), dir.c_str());
    std::string prefix = drive.empty() ? "" : std::string(1, drive[0]) + ":";
    std::string joined = prefix + dir;
    if (!dir.empty() && !EndsInRealSeparator(dir))
        joined += "\\";
    if (fOk) {
        std::string result = dest.pch;
        Check(dir.empty() || EndsInRealSeparator(result), "MakeFolderPath gave no folder path", joined);
        Check(result == joined, "MakeFolderPath joined something else", joined);
    } else {
        Check(cbDest == 0 || dest.pch[0] == '\0', "MakeFolderPath left a shortened path", joined);
    }
    Check(fOk || joined.size() >= cbDest || EndsInLoneLeadByte(dir),
          "MakeFolderPath failed with room left", joined);
}

bool IsForbiddenInName(unsigned char ch)
{
    return ch < 32 || strchr("<>:\"|?*\\/", ch) != NULL;
}

// Device names as Windows sees them: what stands before the first dot,
// blanks at its end dropped, in any letter case. The port's digit may be a
// superscript where the code page has them: 1252 at 0xB9, 0xB2 and 0xB3,
// where 932 has half-width katakana.
bool IsDeviceName(const std::string &name)
{
    std::string base = name.substr(0, name.find('.'));
    base.erase(base.find_last_not_of(' ') + 1);
    for (char &ch : base)
        if (ch >= 'A' && ch <= 'Z')
            ch = (char)(ch - 'A' + 'a');
    for (const char *pszDevice : {"con", "prn", "aux", "nul", "conin$", "conout$"})
        if (base == pszDevice)
            return true;
    if (base.size() != 4 || (base.compare(0, 3, "com") != 0 && base.compare(0, 3, "lpt") != 0))
        return false;
    unsigned char chDigit = (unsigned char)base[3];
    bool fSuperscript = GetACP() == 1252 && (chDigit == 0xB9 || chDigit == 0xB2 || chDigit == 0xB3);
    return (chDigit >= '0' && chDigit <= '9') || fSuperscript;
}

void CheckPlainFileName(const std::string &name)
{
    NameFault fault = FindNameFault(name.c_str());
    Check(fault != NAME_DEVICE || IsDeviceName(name), "name taken for a device", name);
    if (fault != NAME_PLAIN)
        return;
    Check(!name.empty(), "empty name taken as plain", name);
    std::vector<bool> afSingle = SingleBytes(name);
    for (size_t i = 0; i < name.size(); i++)
        Check(!(afSingle[i] && IsForbiddenInName((unsigned char)name[i])),
              "name with a forbidden character taken as plain", name);
    Check(!IsDeviceName(name), "device name taken as plain", name);
}

// The verdict on an entry: its file-name part and extension, trailing
// blanks and dots (each a character of its own) dropped; then ".txt" is
// skipped and a name that is not plain, or that carries the installer's
// temporary extension, refused.
void CheckVerdict(const std::string &entry, const Parts &parts)
{
    std::string name = parts.name + parts.ext;
    std::vector<bool> afSingle = SingleBytes(name);
    size_t cch = name.size();
    while (cch > 0 && afSingle[cch - 1] && (name[cch - 1] == '.' || name[cch - 1] == ' '))
        cch--;
    name.resize(cch);
    afSingle.resize(cch);
    size_t iDot = std::string::npos;
    for (size_t i = 0; i < cch; i++)
        if (afSingle[i] && name[i] == '.')
            iDot = i;
    std::string ext = iDot == std::string::npos ? "" : name.substr(iDot);
    for (char &ch : ext)
        ch = (ch >= 'A' && ch <= 'Z') ? (char)(ch - 'A' + 'a') : ch;

    char szName[MAX_PATH];
    EntryVerdict verdict = JudgeEntryName(entry.c_str(), szName, sizeof(szName));
    if (parts.name.size() > 255 || parts.ext.size() > 255) {
        // Longer than any list entry: a part that does not fit names no file.
        Check(verdict == VERDICT_NO_FILE, "a part too long not taken as no file", entry);
        return;
    }
    if (name.empty()) {
        Check(verdict == VERDICT_NO_FILE && szName[0] == '\0', "a name of nothing not taken as no file", entry);
        return;
    }
    if (name.size() < sizeof(szName))
        Check(name == szName, "the verdict judged another name", entry);
    if (ext == ".txt")
        Check(verdict == VERDICT_SKIP_TXT, ".txt name not skipped", entry);
    else if (name.size() < sizeof(szName))
        Check((verdict == VERDICT_MOVE)
                  == (FindNameFault(name.c_str()) == NAME_PLAIN && ext != ".instrrse-deel")
              && verdict != VERDICT_SKIP_TXT && verdict != VERDICT_NO_FILE,
              "verdict and name rules disagree", entry);
}

void CheckPathsEqual(const std::string &a, const std::string &b)
{
    BOOL fAB = PathsEqual(a.c_str(), b.c_str());
    Check(fAB == PathsEqual(b.c_str(), a.c_str()), "PathsEqual not symmetric", a + "|" + b);
    Check(PathsEqual(a.c_str(), a.c_str()) != FALSE, "a path differs from itself", a);
    if (fAB)
        Check(a.size() == b.size(), "paths of different length equal", a + "|" + b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pb, size_t cb)
{
    uint8_t abHeader[c_cbHeader] = {};
    memcpy(abHeader, pb, std::min(cb, c_cbHeader));
    std::string rest = cb > c_cbHeader ? std::string((const char *)pb + c_cbHeader, cb - c_cbHeader) : "";
    size_t iNul = rest.find('\0');
    std::string first = rest.substr(0, iNul);
    std::string second = iNul == std::string::npos ? "" : rest.substr(iNul + 1);
    second = second.substr(0, second.find('\0'));

    SetAnsiCodePage(abHeader[0] & 1 ? 932 : 1252);
    size_t cbDest = SizeFromByte(abHeader[5]);

    Parts parts = CheckFullSplit(first);
    CheckSizedSplit(first, parts, abHeader + 1);
    CheckCopy(first, cbDest);
    CheckAppend(first, abHeader[6], second, cbDest);
    CheckTrailingBackslash(first);
    CheckMakeFolder(first, second, cbDest);
    CheckPlainFileName(first);
    CheckPlainFileName(parts.name + parts.ext);
    CheckVerdict(first, parts);
    CheckPathsEqual(first, second);
    return 0;
}
