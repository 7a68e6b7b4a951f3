// resgen link <source with the address> <font> <plain.bmp> <hot.bmp>
// resgen cursor <grid> <cursor.cur>
// resgen check <plain.bmp> <hot.bmp> <cursor.cur>
//
// Every command checks the files it ends with; on a fault it names it,
// leaves no output behind and exits with 1, which stops the build.
#include "tools/resgen/resgen.h"
#include <cstdio>
#include <cstring>

static int Fail(const std::string &err, std::initializer_list<const char *> outputs)
{
    for (const char *psz : outputs)
        remove(psz);
    fprintf(stderr, "resgen: %s\n", err.c_str());
    return 1;
}

static int MakeLink(char **argv)
{
    std::string address, err;
    Bytes plain, hot;
    if (!ReadLinkAddress(argv[0], address, err) || !MakeLinkBitmaps(address, argv[1], plain, hot, err) ||
        !WriteBytes(argv[2], plain, err) || !WriteBytes(argv[3], hot, err))
        return Fail(err, {argv[2], argv[3]});
    if (!ReadBytes(argv[2], plain, err) || !ReadBytes(argv[3], hot, err) || !CheckLinkBitmaps(plain, hot, err))
        return Fail(err, {argv[2], argv[3]});
    return 0;
}

static int MakeCursorFile(char **argv)
{
    std::string err;
    Bytes cur;
    if (!MakeCursor(argv[0], cur, err) || !WriteBytes(argv[1], cur, err))
        return Fail(err, {argv[1]});
    if (!ReadBytes(argv[1], cur, err) || !CheckCursor(cur, err))
        return Fail(err, {argv[1]});
    return 0;
}

static int Check(char **argv)
{
    std::string err;
    Bytes plain, hot, cur;
    if (!ReadBytes(argv[0], plain, err) || !ReadBytes(argv[1], hot, err) || !CheckLinkBitmaps(plain, hot, err) ||
        !ReadBytes(argv[2], cur, err) || !CheckCursor(cur, err))
        return Fail(err, {});
    printf("resgen: link bitmaps and cursor are in order\n");
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 6 && strcmp(argv[1], "link") == 0)
        return MakeLink(argv + 2);
    if (argc == 4 && strcmp(argv[1], "cursor") == 0)
        return MakeCursorFile(argv + 2);
    if (argc == 5 && strcmp(argv[1], "check") == 0)
        return Check(argv + 2);
    fprintf(stderr, "usage: resgen link <source> <font> <plain.bmp> <hot.bmp>\n"
                    "       resgen cursor <grid> <cursor.cur>\n"
                    "       resgen check <plain.bmp> <hot.bmp> <cursor.cur>\n");
    return 2;
}
