// The hand cursor: the text grid of res/linkcursor.txt written as a .cur
// file with one 32 x 32 image of 16 colours (4 bits a pixel) and its mask.
#include "tools/resgen/resgen.h"
#include <cstdio>

namespace {

// The first 16 colours of the classic VGA palette; the grid uses black and
// white, the rest keep the table the standard one.
const Rgb c_rgbPalette[c_cCursorColours] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};
const int c_iBlack = 0;
const int c_iWhite = 15;

struct Grid {
    int cx = 0, cy = 0;
    int xHot = -1, yHot = -1;
    std::vector<std::string> rows;
};

bool ParseGrid(const std::vector<std::string> &lines, Grid &grid, std::string &err)
{
    for (const std::string &line : lines) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line.compare(0, 5, "size ") == 0) {
            if (sscanf(line.c_str() + 5, "%d %d", &grid.cx, &grid.cy) != 2)
                break;
            continue;
        }
        if (line.compare(0, 8, "hotspot ") == 0) {
            if (sscanf(line.c_str() + 8, "%d %d", &grid.xHot, &grid.yHot) != 2)
                break;
            continue;
        }
        if (line.size() != (size_t)grid.cx || line.find_first_not_of(".#o") != std::string::npos) {
            err = "cursor row " + std::to_string(grid.rows.size()) + ": needs " +
                  std::to_string(grid.cx) + " characters of . # o";
            return false;
        }
        grid.rows.push_back(line);
    }
    if (grid.cx != c_cxCursor || grid.cy != c_cyCursor || (int)grid.rows.size() != grid.cy) {
        err = "cursor: must be " + std::to_string(c_cxCursor) + " x " + std::to_string(c_cyCursor) +
              " pixels, with as many rows as its size says";
        return false;
    }
    if (grid.xHot != c_xCursorHot || grid.yHot != c_yCursorHot) {
        err = "cursor: the hot spot must be (" + std::to_string(c_xCursorHot) + ", " +
              std::to_string(c_yCursorHot) + ")";
        return false;
    }
    if (grid.rows[grid.yHot][grid.xHot] == '.') {
        err = "cursor: the hot spot lies on a transparent pixel";
        return false;
    }
    return true;
}

// XOR image and AND mask, both bottom-up; a transparent pixel is black in
// the image and set in the mask, so the screen shows through unchanged.
void PutImage(Bytes &b, const Grid &grid)
{
    for (int y = grid.cy - 1; y >= 0; y--) {
        for (int x = 0; x < grid.cx; x += 2) {
            int iLeft = grid.rows[y][x] == 'o' ? c_iWhite : c_iBlack;
            int iRight = grid.rows[y][x + 1] == 'o' ? c_iWhite : c_iBlack;
            PutU8(b, (unsigned)(iLeft << 4 | iRight));
        }
    }
    for (int y = grid.cy - 1; y >= 0; y--) {
        for (int x = 0; x < grid.cx; x += 8) {
            unsigned bits = 0;
            for (int i = 0; i < 8; i++)
                if (grid.rows[y][x + i] == '.')
                    bits |= 0x80u >> i;
            PutU8(b, bits);
        }
    }
}

}  // namespace

bool MakeCursor(const std::string &gridPath, Bytes &cur, std::string &err)
{
    std::vector<std::string> lines;
    Grid grid;
    if (!ReadLines(gridPath, lines, err) || !ParseGrid(lines, grid, err))
        return false;
    const uint32_t cbXor = grid.cx / 2 * grid.cy;
    const uint32_t cbAnd = grid.cx / 8 * grid.cy;
    const uint32_t cbImage = 40 + 4 * c_cCursorColours + cbXor + cbAnd;
    cur.clear();
    PutU16(cur, 0);
    PutU16(cur, 2);  // a cursor
    PutU16(cur, 1);
    PutU8(cur, grid.cx);
    PutU8(cur, grid.cy);
    PutU8(cur, c_cCursorColours);
    PutU8(cur, 0);
    PutU16(cur, grid.xHot);
    PutU16(cur, grid.yHot);
    PutU32(cur, cbImage);
    PutU32(cur, 6 + 16);
    PutU32(cur, 40);
    PutU32(cur, grid.cx);
    PutU32(cur, grid.cy * 2);  // image and mask
    PutU16(cur, 1);
    PutU16(cur, 4);
    PutU32(cur, 0);
    PutU32(cur, cbXor + cbAnd);
    PutU32(cur, 0);
    PutU32(cur, 0);
    PutU32(cur, c_cCursorColours);
    PutU32(cur, 0);
    for (const Rgb &rgb : c_rgbPalette) {
        PutU8(cur, rgb.b);
        PutU8(cur, rgb.g);
        PutU8(cur, rgb.r);
        PutU8(cur, 0);
    }
    PutImage(cur, grid);
    return true;
}
