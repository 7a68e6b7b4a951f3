// Reads back what the generator wrote, the way the resource compiler and
// the dialog will take it, and says what is off.
#include "tools/resgen/resgen.h"

namespace {

const uint32_t c_cbBmpHeaders = 14 + 40;
const uint32_t c_cbLinkBits = c_cxLink * 3 * c_cyLink;

std::string Num(long v)
{
    return std::to_string(v);
}

bool Expect(bool f, const std::string &what, std::string &err)
{
    if (!f && err.empty())
        err = what;
    return f;
}

bool CheckBmpHeaders(const Bytes &b, const std::string &name, std::string &err)
{
    bool fOk = Expect(b.size() == c_cbBmpHeaders + c_cbLinkBits,
                      name + ": " + Num((long)b.size()) + " bytes, expected " +
                          Num((long)(c_cbBmpHeaders + c_cbLinkBits)), err);
    if (!fOk)
        return false;
    fOk = Expect(b[0] == 'B' && b[1] == 'M', name + ": not a BMP file", err) &&
          Expect(GetU32(b, 2) == b.size(), name + ": file size field is off", err) &&
          Expect(GetU32(b, 10) == c_cbBmpHeaders, name + ": pixels must follow the headers", err) &&
          Expect(GetU32(b, 14) == 40, name + ": not a BITMAPINFOHEADER", err) &&
          Expect(GetS32(b, 18) == c_cxLink && GetS32(b, 22) == c_cyLink,
                 name + ": " + Num(GetS32(b, 18)) + " x " + Num(GetS32(b, 22)) + " pixels, expected " +
                     Num(c_cxLink) + " x " + Num(c_cyLink), err) &&
          Expect(GetU16(b, 26) == 1 && GetU16(b, 28) == 24,
                 name + ": " + Num(GetU16(b, 28)) + " bits a pixel, expected 24", err) &&
          Expect(GetU32(b, 30) == 0, name + ": compressed", err) &&
          Expect(GetU32(b, 34) == 0 || GetU32(b, 34) == c_cbLinkBits, name + ": image size field is off", err) &&
          Expect(GetU32(b, 46) == 0, name + ": has a colour table", err);
    return fOk;
}

// Top-down row y, column x: true for link text, false for background.
bool IsText(const Bytes &b, int x, int y)
{
    size_t off = c_cbBmpHeaders + (size_t)(c_cyLink - 1 - y) * c_cxLink * 3 + (size_t)x * 3;
    return b[off + 2] == c_rgbLinkText.r && b[off + 1] == c_rgbLinkText.g && b[off] == c_rgbLinkText.b;
}

bool CheckTwoColours(const Bytes &b, const std::string &name, std::string &err)
{
    int cText = 0;
    for (size_t off = c_cbBmpHeaders; off < b.size(); off += 3) {
        Rgb rgb = {b[off + 2], b[off + 1], b[off]};
        bool fText = rgb.r == c_rgbLinkText.r && rgb.g == c_rgbLinkText.g && rgb.b == c_rgbLinkText.b;
        bool fBack = rgb.r == c_rgbLinkBack.r && rgb.g == c_rgbLinkBack.g && rgb.b == c_rgbLinkBack.b;
        if (!Expect(fText || fBack, name + ": colour RGB(" + Num(rgb.r) + "," + Num(rgb.g) + "," +
                                        Num(rgb.b) + ") is neither the text's nor the background's", err))
            return false;
        cText += fText;
    }
    return Expect(cText > 0 && cText < c_cxLink * c_cyLink, name + ": shows no text", err);
}

// The hot image is the plain one plus one row of text colour that runs
// exactly under the text, from its first column to its last.
bool CheckUnderline(const Bytes &plain, const Bytes &hot, std::string &err)
{
    int yLine = -1, xFirst = c_cxLink, xLast = -1;
    for (int y = 0; y < c_cyLink; y++) {
        for (int x = 0; x < c_cxLink; x++) {
            if (IsText(plain, x, y)) {
                xFirst = x < xFirst ? x : xFirst;
                xLast = x > xLast ? x : xLast;
            }
            if (IsText(plain, x, y) == IsText(hot, x, y))
                continue;
            if (!Expect(IsText(hot, x, y), "hot image lacks a text pixel of the plain one", err) ||
                !Expect(yLine < 0 || yLine == y, "hot image differs in more than one row", err))
                return false;
            yLine = y;
        }
    }
    if (!Expect(yLine >= 0, "hot image has no underline", err))
        return false;
    for (int x = 0; x < c_cxLink; x++) {
        bool fUnder = x >= xFirst && x <= xLast;
        if (!Expect(IsText(hot, x, yLine) == fUnder,
                    "underline does not run from column " + Num(xFirst) + " to " + Num(xLast), err))
            return false;
    }
    return true;
}

}  // namespace

bool CheckLinkBitmaps(const Bytes &plain, const Bytes &hot, std::string &err)
{
    err.clear();
    return CheckBmpHeaders(plain, "plain link", err) && CheckBmpHeaders(hot, "hot link", err) &&
           CheckTwoColours(plain, "plain link", err) && CheckTwoColours(hot, "hot link", err) &&
           CheckUnderline(plain, hot, err);
}

bool CheckCursor(const Bytes &cur, std::string &err)
{
    err.clear();
    const uint32_t cbXor = c_cxCursor / 2 * c_cyCursor;
    const uint32_t cbAnd = c_cxCursor / 8 * c_cyCursor;
    const uint32_t cbImage = 40 + 4 * c_cCursorColours + cbXor + cbAnd;
    if (!Expect(cur.size() == 22 + cbImage, "cursor: " + Num((long)cur.size()) + " bytes, expected " +
                                                Num((long)(22 + cbImage)), err))
        return false;
    bool fOk =
        Expect(GetU16(cur, 0) == 0 && GetU16(cur, 2) == 2 && GetU16(cur, 4) == 1,
               "cursor: not a .cur file with one image", err) &&
        Expect(cur[6] == c_cxCursor && cur[7] == c_cyCursor, "cursor: directory size is off", err) &&
        Expect(cur[8] == c_cCursorColours, "cursor: directory says " + Num(cur[8]) + " colours", err) &&
        Expect(GetU16(cur, 10) == c_xCursorHot && GetU16(cur, 12) == c_yCursorHot,
               "cursor: hot spot (" + Num(GetU16(cur, 10)) + ", " + Num(GetU16(cur, 12)) + ")", err) &&
        Expect(GetU32(cur, 14) == cbImage && GetU32(cur, 18) == 22, "cursor: image place is off", err) &&
        Expect(GetU32(cur, 22) == 40 && GetS32(cur, 26) == c_cxCursor && GetS32(cur, 30) == 2 * c_cyCursor,
               "cursor: image header size is off", err) &&
        Expect(GetU16(cur, 34) == 1 && GetU16(cur, 36) == 4, "cursor: not 4 bits a pixel", err) &&
        Expect(GetU32(cur, 38) == 0, "cursor: compressed", err) &&
        Expect(GetU32(cur, 54) == 0 || GetU32(cur, 54) == (uint32_t)c_cCursorColours,
               "cursor: colour table is not 16 entries", err);
    if (!fOk)
        return false;
    // The mask, bottom-up: a clear bit is a pixel of the hand.
    size_t offAnd = 22 + 40 + 4 * c_cCursorColours + cbXor;
    auto fOpaque = [&](int x, int y) {
        size_t off = offAnd + (size_t)(c_cyCursor - 1 - y) * (c_cxCursor / 8) + x / 8;
        return (cur[off] & (0x80 >> (x % 8))) == 0;
    };
    return Expect(fOpaque(c_xCursorHot, c_yCursorHot), "cursor: hot spot is transparent", err);
}
