// The two link bitmaps: the download address in the pixel font of
// res/linkfont.txt, blue on the dialog's grey, once plain and once with an
// underline. Written as 24-bit BMP files without a colour table, so that
// loading them maps no colour to a system colour.
#include "tools/resgen/resgen.h"
#include <cstdlib>
#include <map>

namespace {

struct Glyph {
    std::vector<std::string> rows;
};

struct Font {
    int cyHeight = 0;
    int yBaseline = -1;
    int cxSpacing = -1;
    std::map<char, Glyph> glyphs;
};

// Where the text sits in the image: its top row and left column are off
// the hot rectangle, so the text starts clear of them.
const int c_xText = 2;
const int c_yText = 1;
const int c_dyUnderline = 2;  // below the baseline

const char c_szAddressMarker[] = "c_szDownloadUrl[] = \"";

bool IsComment(const std::string &line)
{
    return line.empty() || line[0] == '#';
}

bool ParseSetting(const std::string &line, const char *pszName, int &value)
{
    std::string name = std::string(pszName) + " ";
    if (line.compare(0, name.size(), name) != 0)
        return false;
    value = atoi(line.c_str() + name.size());
    return true;
}

bool ParseFont(const std::vector<std::string> &lines, Font &font, std::string &err)
{
    size_t i = 0;
    while (i < lines.size()) {
        const std::string &line = lines[i++];
        if (IsComment(line))
            continue;
        if (ParseSetting(line, "height", font.cyHeight) ||
            ParseSetting(line, "baseline", font.yBaseline) ||
            ParseSetting(line, "spacing", font.cxSpacing))
            continue;
        if (line.size() != 7 || line.compare(0, 6, "glyph ") != 0) {
            err = "font line " + std::to_string(i) + ": expected \"glyph <character>\"";
            return false;
        }
        if (font.cyHeight <= 0) {
            err = "font: height must come before the glyphs";
            return false;
        }
        Glyph glyph;
        for (int y = 0; y < font.cyHeight; y++, i++) {
            if (i >= lines.size() || lines[i].empty() ||
                lines[i].find_first_not_of("#.") != std::string::npos ||
                (y > 0 && lines[i].size() != glyph.rows[0].size())) {
                err = "font line " + std::to_string(i + 1) + ": glyph '" + line.substr(6) +
                      "' needs " + std::to_string(font.cyHeight) + " rows of # and . of one width";
                return false;
            }
            glyph.rows.push_back(lines[i]);
        }
        font.glyphs[line[6]] = glyph;
    }
    if (font.yBaseline < 0 || font.yBaseline >= font.cyHeight || font.cxSpacing < 0) {
        err = "font: baseline and spacing must be set, the baseline inside the height";
        return false;
    }
    return true;
}

struct Canvas {
    std::vector<bool> fText = std::vector<bool>(c_cxLink * c_cyLink, false);
    void Set(int x, int y) { fText[y * c_cxLink + x] = true; }
};

bool Render(const std::string &text, const Font &font, Canvas &canvas, int &cxText, std::string &err)
{
    int x = c_xText;
    for (size_t i = 0; i < text.size(); i++) {
        auto it = font.glyphs.find(text[i]);
        if (it == font.glyphs.end()) {
            err = std::string("font has no glyph for '") + text[i] + "'";
            return false;
        }
        const Glyph &glyph = it->second;
        int cx = (int)glyph.rows[0].size();
        if (i > 0)
            x += font.cxSpacing;
        if (x + cx > c_cxLink || c_yText + font.cyHeight > c_cyLink) {
            err = "the address does not fit into " + std::to_string(c_cxLink) + " x " +
                  std::to_string(c_cyLink) + " pixels";
            return false;
        }
        for (int y = 0; y < font.cyHeight; y++)
            for (int dx = 0; dx < cx; dx++)
                if (glyph.rows[y][dx] == '#')
                    canvas.Set(x + dx, c_yText + y);
        x += cx;
    }
    cxText = x - c_xText;
    return true;
}

// A bottom-up 24-bit DIB whose rows of 304 pixels need no padding.
Bytes EncodeBmp(const Canvas &canvas)
{
    const uint32_t cbRow = c_cxLink * 3;
    const uint32_t cbBits = cbRow * c_cyLink;
    Bytes b;
    PutU8(b, 'B');
    PutU8(b, 'M');
    PutU32(b, 14 + 40 + cbBits);
    PutU32(b, 0);
    PutU32(b, 14 + 40);
    PutU32(b, 40);
    PutU32(b, c_cxLink);
    PutU32(b, c_cyLink);
    PutU16(b, 1);
    PutU16(b, 24);
    PutU32(b, 0);  // BI_RGB
    PutU32(b, cbBits);
    PutU32(b, 2835);  // 72 dpi
    PutU32(b, 2835);
    PutU32(b, 0);  // no colour table
    PutU32(b, 0);
    for (int y = c_cyLink - 1; y >= 0; y--) {
        for (int x = 0; x < c_cxLink; x++) {
            Rgb rgb = canvas.fText[y * c_cxLink + x] ? c_rgbLinkText : c_rgbLinkBack;
            PutU8(b, rgb.b);
            PutU8(b, rgb.g);
            PutU8(b, rgb.r);
        }
    }
    return b;
}

}  // namespace

bool ReadLinkAddress(const std::string &sourcePath, std::string &address, std::string &err)
{
    std::vector<std::string> lines;
    if (!ReadLines(sourcePath, lines, err))
        return false;
    for (const std::string &line : lines) {
        size_t pos = line.find(c_szAddressMarker);
        if (pos == std::string::npos)
            continue;
        pos += sizeof(c_szAddressMarker) - 1;
        size_t end = line.find('"', pos);
        address = end == std::string::npos ? "" : line.substr(pos, end - pos);
        if (address.empty() || address.find('\\') != std::string::npos) {
            err = sourcePath + ": the download address must be one plain string literal on one line";
            return false;
        }
        return true;
    }
    err = sourcePath + ": no line with " + c_szAddressMarker;
    return false;
}

bool MakeLinkBitmaps(const std::string &address, const std::string &fontPath,
                     Bytes &plain, Bytes &hot, std::string &err)
{
    std::vector<std::string> lines;
    Font font;
    if (!ReadLines(fontPath, lines, err) || !ParseFont(lines, font, err))
        return false;
    Canvas canvas;
    int cxText = 0;
    if (!Render(address, font, canvas, cxText, err))
        return false;
    int yUnderline = c_yText + font.yBaseline + c_dyUnderline;
    if (yUnderline >= c_cyLink) {
        err = "the underline falls below the image";
        return false;
    }
    plain = EncodeBmp(canvas);
    for (int x = c_xText; x < c_xText + cxText; x++)
        canvas.Set(x, yUnderline);
    hot = EncodeBmp(canvas);
    return true;
}
