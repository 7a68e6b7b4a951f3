// The resource generator: builds the link bitmaps and the hand cursor of
// the installer from the text pictures in res/, and checks what it wrote.
// It runs on the build machine, so it is plain standard C++.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "res/resource.h"

typedef std::vector<uint8_t> Bytes;

// What the dialog expects of its resources.
const int c_cxLink = LINK_CX;
const int c_cyLink = LINK_CY;
const int c_cxCursor = 32;
const int c_cyCursor = 32;
const int c_cCursorColours = 16;
const int c_xCursorHot = 12;
const int c_yCursorHot = 1;

struct Rgb {
    uint8_t r, g, b;
};
const Rgb c_rgbLinkText = {LINK_TEXT_R, LINK_TEXT_G, LINK_TEXT_B};
const Rgb c_rgbLinkBack = {DIALOG_GREY, DIALOG_GREY, DIALOG_GREY};

// Little-endian fields, as the Windows file formats store them.
void PutU8(Bytes &b, unsigned v);
void PutU16(Bytes &b, unsigned v);
void PutU32(Bytes &b, uint32_t v);
unsigned GetU16(const Bytes &b, size_t off);
uint32_t GetU32(const Bytes &b, size_t off);
int32_t GetS32(const Bytes &b, size_t off);

bool ReadLines(const std::string &path, std::vector<std::string> &lines, std::string &err);
bool ReadBytes(const std::string &path, Bytes &b, std::string &err);
bool WriteBytes(const std::string &path, const Bytes &b, std::string &err);

// The download address as the program's source holds it.
bool ReadLinkAddress(const std::string &sourcePath, std::string &address, std::string &err);
bool MakeLinkBitmaps(const std::string &address, const std::string &fontPath,
                     Bytes &plain, Bytes &hot, std::string &err);
bool CheckLinkBitmaps(const Bytes &plain, const Bytes &hot, std::string &err);

bool MakeCursor(const std::string &gridPath, Bytes &cur, std::string &err);
bool CheckCursor(const Bytes &cur, std::string &err);
