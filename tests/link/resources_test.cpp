// The link images and the hand cursor as the program carries them: loaded
// from instrrse.exe as a data file and checked as stored and as loaded.
#include <gtest/gtest.h>
#include <algorithm>
#include "tests/link/linktest.h"
#include "res/resource.h"

namespace {

class LinkResources : public ::testing::Test {
protected:
    HMODULE m_hmod = NULL;

    void SetUp() override
    {
        std::string exe = driver::InstallerPath();
        m_hmod = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(m_hmod, (HMODULE)NULL) << exe << ": error " << GetLastError();
    }
    void TearDown() override
    {
        if (m_hmod != NULL)
            FreeLibrary(m_hmod);
    }

    const BYTE *Resource(LPCSTR pszType, int id, DWORD &cb)
    {
        HRSRC hrsrc = FindResourceA(m_hmod, MAKEINTRESOURCEA(id), pszType);
        if (hrsrc == NULL)
            return NULL;
        cb = SizeofResource(m_hmod, hrsrc);
        HGLOBAL hglob = LoadResource(m_hmod, hrsrc);
        return hglob != NULL ? (const BYTE *)LockResource(hglob) : NULL;
    }
};

TEST_F(LinkResources, BitmapsAre304By16In24BitsOfTwoColours)
{
    for (int idb : {IDB_LINK, IDB_LINK_HOT}) {
        SCOPED_TRACE(idb);
        BITMAPINFOHEADER bih;
        Pixels px;
        std::string err;
        ASSERT_TRUE(ReadStoredBitmap(m_hmod, idb, bih, px, err)) << err;
        EXPECT_EQ(c_cxLink, bih.biWidth);
        EXPECT_EQ(c_cyLink, bih.biHeight);
        EXPECT_EQ(1, bih.biPlanes);
        int cText = 0, cBack = 0;
        for (COLORREF cr : px.cr) {
            ASSERT_TRUE(cr == c_crText || cr == c_crBack) << std::hex << cr;
            cr == c_crText ? cText++ : cBack++;
        }
        EXPECT_GT(cText, 0);
        EXPECT_GT(cBack, cText);
    }
}

// The highlighted image is the plain one with exactly one row added: a
// line in text colour from the first column of the text to its last.
TEST_F(LinkResources, HotImageIsPlainPlusOneUnderline)
{
    BITMAPINFOHEADER bih;
    Pixels plain, hot;
    std::string err;
    ASSERT_TRUE(ReadStoredBitmap(m_hmod, IDB_LINK, bih, plain, err)) << err;
    ASSERT_TRUE(ReadStoredBitmap(m_hmod, IDB_LINK_HOT, bih, hot, err)) << err;
    int xFirst = c_cxLink, xLast = -1, yLine = -1;
    for (int y = 0; y < c_cyLink; y++) {
        for (int x = 0; x < c_cxLink; x++) {
            if (plain.At(x, y) == c_crText) {
                xFirst = std::min(xFirst, x);
                xLast = std::max(xLast, x);
            }
            if (plain.At(x, y) == hot.At(x, y))
                continue;
            ASSERT_EQ(c_crText, hot.At(x, y)) << "hot image drops a text pixel at " << x << ", " << y;
            ASSERT_TRUE(yLine < 0 || yLine == y) << "differences in rows " << yLine << " and " << y;
            yLine = y;
        }
    }
    ASSERT_GE(yLine, 0) << "no underline";
    for (int x = 0; x < c_cxLink; x++)
        EXPECT_EQ(x >= xFirst && x <= xLast ? c_crText : c_crBack, hot.At(x, yLine)) << "column " << x;
}

// Loaded the way the dialog loads them, the images keep their size and
// every colour: no grey is taken for a 3D colour, no pixel for transparent.
TEST_F(LinkResources, LoadingWithTheDialogsFlagsKeepsEveryPixel)
{
    for (int idb : {IDB_LINK, IDB_LINK_HOT}) {
        SCOPED_TRACE(idb);
        BITMAPINFOHEADER bihStored;
        Pixels stored;
        std::string err;
        ASSERT_TRUE(ReadStoredBitmap(m_hmod, idb, bihStored, stored, err)) << err;
        HBITMAP hbm = (HBITMAP)LoadImageA(m_hmod, MAKEINTRESOURCEA(idb), IMAGE_BITMAP, 0, 0,
                                          LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT);
        ASSERT_NE(hbm, (HBITMAP)NULL);
        BITMAP bm = {};
        EXPECT_EQ((int)sizeof(bm), GetObjectA(hbm, sizeof(bm), &bm));
        EXPECT_EQ(c_cxLink, bm.bmWidth);
        EXPECT_EQ(c_cyLink, bm.bmHeight);

        BITMAPINFOHEADER bih = {};
        bih.biSize = sizeof(bih);
        bih.biWidth = c_cxLink;
        bih.biHeight = -c_cyLink;
        bih.biPlanes = 1;
        bih.biBitCount = 32;
        bih.biCompression = BI_RGB;
        std::vector<DWORD> bits((size_t)c_cxLink * c_cyLink);
        HDC hdc = GetDC(NULL);
        int cLines = GetDIBits(hdc, hbm, 0, c_cyLink, bits.data(), (BITMAPINFO *)&bih, DIB_RGB_COLORS);
        ReleaseDC(NULL, hdc);
        DeleteObject(hbm);
        ASSERT_EQ(c_cyLink, cLines);
        int cDiffer = 0;
        for (size_t i = 0; i < bits.size(); i++) {
            DWORD bgr = bits[i];
            cDiffer += RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF) != stored.cr[i];
        }
        EXPECT_EQ(0, cDiffer);
    }
}

#pragma pack(push, 2)
struct CursorDir {
    WORD idReserved, idType, idCount;
};
struct CursorDirEntry {
    WORD wWidth, wHeight, wPlanes, wBitCount;
    DWORD dwBytesInRes;
    WORD nId;
};
#pragma pack(pop)

TEST_F(LinkResources, GroupCursor104HoldsCursor1Of32By32In16Colours)
{
    DWORD cb = 0;
    const BYTE *pb = Resource((LPCSTR)RT_GROUP_CURSOR, IDC_LINKCURSOR, cb);
    ASSERT_NE(pb, (const BYTE *)NULL);
    ASSERT_EQ(sizeof(CursorDir) + sizeof(CursorDirEntry), cb);
    CursorDir dir;
    CursorDirEntry entry;
    memcpy(&dir, pb, sizeof(dir));
    memcpy(&entry, pb + sizeof(dir), sizeof(entry));
    EXPECT_EQ(0, dir.idReserved);
    EXPECT_EQ(2, dir.idType);
    EXPECT_EQ(1, dir.idCount);
    EXPECT_EQ(32, entry.wWidth);
    EXPECT_EQ(64, entry.wHeight);  // image and mask
    // The colour depth counts in the image itself, below: resource
    // compilers differ in what they write into the directory's bit count.
    EXPECT_EQ(1, entry.nId);

    const BYTE *pbCur = Resource((LPCSTR)RT_CURSOR, 1, cb);
    ASSERT_NE(pbCur, (const BYTE *)NULL);
    EXPECT_EQ(entry.dwBytesInRes, cb);
    WORD hot[2];
    BITMAPINFOHEADER bih;
    ASSERT_GE(cb, sizeof(hot) + sizeof(bih) + 16 * 4 + 32 * 16 + 32 * 4);
    memcpy(hot, pbCur, sizeof(hot));
    memcpy(&bih, pbCur + sizeof(hot), sizeof(bih));
    EXPECT_EQ(12, hot[0]);
    EXPECT_EQ(1, hot[1]);
    EXPECT_EQ(32, bih.biWidth);
    EXPECT_EQ(64, bih.biHeight);
    EXPECT_EQ(4, bih.biBitCount);
    EXPECT_TRUE(bih.biClrUsed == 0 || bih.biClrUsed == 16) << bih.biClrUsed;
    EXPECT_EQ((DWORD)BI_RGB, bih.biCompression);
}

TEST_F(LinkResources, CursorLoadsWithItsHotSpot)
{
    HCURSOR hcur = (HCURSOR)LoadImageA(m_hmod, MAKEINTRESOURCEA(IDC_LINKCURSOR), IMAGE_CURSOR, 0, 0, 0);
    ASSERT_NE(hcur, (HCURSOR)NULL);
    ICONINFO ii = {};
    ASSERT_TRUE(GetIconInfo(hcur, &ii));
    EXPECT_FALSE(ii.fIcon);
    EXPECT_EQ(12u, ii.xHotspot);
    EXPECT_EQ(1u, ii.yHotspot);
    BITMAP bm = {};
    ASSERT_NE(ii.hbmColor, (HBITMAP)NULL);
    GetObjectA(ii.hbmColor, sizeof(bm), &bm);
    EXPECT_EQ(32, bm.bmWidth);
    EXPECT_EQ(32, bm.bmHeight);
    GetObjectA(ii.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(32, bm.bmWidth);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyCursor(hcur);
}

// The dialog tests run on this test program's own copy of the resources;
// it must be the one the program ships.
TEST_F(LinkResources, ProgramCarriesTheTestedResources)
{
    HMODULE hmodSelf = GetModuleHandleA(NULL);
    struct {
        LPCSTR pszType;
        int id;
    } items[] = {{(LPCSTR)RT_BITMAP, IDB_LINK},
                 {(LPCSTR)RT_BITMAP, IDB_LINK_HOT},
                 {(LPCSTR)RT_GROUP_CURSOR, IDC_LINKCURSOR},
                 {(LPCSTR)RT_CURSOR, 1},
                 {(LPCSTR)RT_DIALOG, IDD_DATAFOLDER}};
    for (const auto &item : items) {
        SCOPED_TRACE(item.id);
        DWORD cbExe = 0;
        const BYTE *pbExe = Resource(item.pszType, item.id, cbExe);
        ASSERT_NE(pbExe, (const BYTE *)NULL);
        HRSRC hrsrc = FindResourceA(hmodSelf, MAKEINTRESOURCEA(item.id), item.pszType);
        ASSERT_NE(hrsrc, (HRSRC)NULL);
        const BYTE *pbSelf = (const BYTE *)LockResource(LoadResource(hmodSelf, hrsrc));
        ASSERT_EQ(cbExe, SizeofResource(hmodSelf, hrsrc));
        EXPECT_EQ(0, memcmp(pbExe, pbSelf, cbExe));
    }
}

}  // namespace
