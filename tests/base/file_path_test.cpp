// Path records as text: the 259/260-unit boundary, splitting, joining, parents and the
// extension match of the format filters.
#include "base/file_path.h"

#include <gtest/gtest.h>

#include <string>

#include "base/error_codes.h"
#include "tests/base/temp_folder.h"

namespace {

_tagPTzFILE Filled(char16_t unit)
{
    _tagPTzFILE record;
    std::fill(std::begin(record.path), std::end(record.path), unit);
    return record;
}

TEST(FilePath, FillAccepts259UnitsAndRefuses260)
{
    _tagPTzFILE record = PathRecord("keep");
    const std::u16string fits(259, u'x');
    EXPECT_EQ(PTzFileFill(&record, fits.c_str()), 1);
    EXPECT_EQ(std::u16string(record.path), fits);

    record = PathRecord("keep");
    const std::u16string tooLong(260, u'x');
    EXPECT_EQ(PTzFileFill(&record, tooLong.c_str()), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_PATH_TOO_LONG);
    EXPECT_EQ(Narrow(record), "keep");

    EXPECT_EQ(PTzFileFill(nullptr, u"a"), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(FilePath, GetPathNeedsRoomForTheTerminator)
{
    const _tagPTzFILE record = PathRecord("/abc");
    char16_t buffer[8] = {};
    EXPECT_EQ(PTzFileGetPath(&record, buffer, 5), 0);
    EXPECT_EQ(std::u16string(buffer), u"/abc");
    EXPECT_EQ(PTzFileGetPath(&record, buffer, 4), PTzERR_PATH_BUFFER);
    EXPECT_EQ(PTzGetLastError(), PTzERR_PATH_BUFFER);
    EXPECT_EQ(PTzFileGetPath(nullptr, buffer, 8), PTzERR_BAD_ARGUMENT);
    // A record without a terminator is never copied as if it had one.
    const _tagPTzFILE unterminated = Filled(u'a');
    char16_t big[300];
    EXPECT_EQ(PTzFileGetPath(&unterminated, big, 300), PTzERR_PATH_BUFFER);
}

TEST(FilePath, ChangeExtReplacesOnlyTheNamesExtension)
{
    _tagPTzFILE out;
    const _tagPTzFILE photo = PathRecord("/pics/photo.bmp");
    ASSERT_EQ(PTzFileChangeExt(&out, &photo, u"rle"), 1);
    EXPECT_EQ(Narrow(out), "/pics/photo.rle");
    ASSERT_EQ(PTzFileChangeExt(&out, &photo, u".dib"), 1);
    EXPECT_EQ(Narrow(out), "/pics/photo.dib");
    ASSERT_EQ(PTzFileChangeExt(&out, &photo, u""), 1);
    EXPECT_EQ(Narrow(out), "/pics/photo");

    // A point in a folder's name is not the file's extension.
    const _tagPTzFILE dotted = PathRecord("/my.pics/photo");
    ASSERT_EQ(PTzFileChangeExt(&out, &dotted, u"bmp"), 1);
    EXPECT_EQ(Narrow(out), "/my.pics/photo.bmp");

    // The output may be the input.
    _tagPTzFILE same = photo;
    ASSERT_EQ(PTzFileChangeExt(&same, &same, u"png"), 1);
    EXPECT_EQ(Narrow(same), "/pics/photo.png");
}

TEST(FilePath, ChangeExtRefusesAResultOf260Units)
{
    const std::string stem = "/" + std::string(254, 'n');  // 255 units
    const _tagPTzFILE src = PathRecord(stem + ".a");
    _tagPTzFILE out = PathRecord("keep");
    ASSERT_EQ(PTzFileChangeExt(&out, &src, u"bmp"), 1);  // 259 units
    EXPECT_EQ(Narrow(out), stem + ".bmp");
    out = PathRecord("keep");
    EXPECT_EQ(PTzFileChangeExt(&out, &src, u"bmpx"), 0);  // 260 units
    EXPECT_EQ(PTzGetLastError(), PTzERR_PATH_TOO_LONG);
    EXPECT_EQ(Narrow(out), "keep");
    EXPECT_EQ(PTzFileChangeExt(&out, &src, nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(FilePath, SplitpathGivesFolderNameAndExtension)
{
    const _tagPTzFILE path = PathRecord("/a/b.c/photo.tar.bmp");
    _tagPTzFILE drive = PathRecord("x"), folder, name, ext;
    ASSERT_EQ(PTzSplitpath(&path, &drive, &folder, &name, &ext), 1);
    EXPECT_EQ(Narrow(drive), "");
    EXPECT_EQ(Narrow(folder), "/a/b.c/");
    EXPECT_EQ(Narrow(name), "photo.tar");
    EXPECT_EQ(Narrow(ext), ".bmp");

    const _tagPTzFILE bare = PathRecord("readme");
    ASSERT_EQ(PTzSplitpath(&bare, nullptr, &folder, &name, &ext), 1);
    EXPECT_EQ(Narrow(folder), "");
    EXPECT_EQ(Narrow(name), "readme");
    EXPECT_EQ(Narrow(ext), "");
    EXPECT_EQ(PTzSplitpath(nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(FilePath, SuperFolderStopsAtTheRoot)
{
    _tagPTzFILE out;
    const _tagPTzFILE deep = PathRecord("/a/b");
    ASSERT_EQ(PTzGetSuperFolder(&deep, &out), 1);
    EXPECT_EQ(Narrow(out), "/a");
    const _tagPTzFILE top = PathRecord("/a");
    ASSERT_EQ(PTzGetSuperFolder(&top, &out), 1);
    EXPECT_EQ(Narrow(out), "/");
    for (const char* orphan : {"/", "name", ""}) {
        const _tagPTzFILE path = PathRecord(orphan);
        EXPECT_EQ(PTzGetSuperFolder(&path, &out), 0) << orphan;
        EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
    }
}

TEST(FilePath, JoiningStopsAt260Units)
{
    _tagPTzFILE out;
    const _tagPTzFILE root = PathRecord("/");
    ASSERT_EQ(PTzGetItemPathInFolder(&root, &out, u"b"), 1);
    EXPECT_EQ(Narrow(out), "/b");

    const _tagPTzFILE folder = PathRecord("/" + std::string(199, 'f'));  // 200 units
    const std::u16string fits(58, u'n');                                 // 200 + 1 + 58 = 259
    ASSERT_EQ(PTzGetSubFolder(&folder, &out, fits.c_str()), 1);
    EXPECT_EQ(Narrow(out).size(), 259u);

    out = PathRecord("keep");
    const std::u16string tooLong(59, u'n');
    EXPECT_EQ(PTzGetItemPathInFolder(&folder, &out, tooLong.c_str()), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_PATH_TOO_LONG);
    EXPECT_EQ(Narrow(out), "keep");
}

TEST(FilePath, MatchExtComparesEachItemIgnoringCase)
{
    const char16_t* filters = u"*.BMP;*.RLE;*.DIB";
    const auto match = [&](const char* name) {
        const _tagPTzFILE file = PathRecord(name);
        return PTzMatchExt(&file, filters);
    };
    EXPECT_EQ(match("/p/photo.Bmp"), 1);
    EXPECT_EQ(match("/p/a.DIB"), 1);  // the last item has no ";" after it
    EXPECT_EQ(match("/p/photo"), 0);
    EXPECT_EQ(match("/p.bmp/photo"), 0);
    EXPECT_EQ(match("/p/photo.bm"), 0);
    EXPECT_EQ(match("/p/photo.bmpx"), 0);
    const _tagPTzFILE file = PathRecord("x.png");
    EXPECT_EQ(PTzMatchExt(&file, u"*"), 0);
    EXPECT_EQ(PTzMatchExt(&file, nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

}  // namespace
