#include "clip/FormBlocks.h"
#include "clip/PictureName.h"

#include <gtest/gtest.h>
#include "Utf16Bytes.h"

TEST(FormBlocks, TransferFileTextDropsMarkAndLineEnds) {
    EXPECT_EQ(TransferFileText(Utf16Bytes(L"a>>>1\r\n|||b")), L"a>>>1|||b");
    EXPECT_EQ(TransferFileText("\xFF\xFE"), L"");
    EXPECT_EQ(TransferFileText("\xFF\xFE" "a"), L"");  // a lone odd byte is no unit
}

TEST(PictureName, AnyShortAlphanumericExtensionGivesAPicture) {
    EXPECT_EQ(PictureAddressExtension(L"http://x.org/a.jpg"), L"jpg");
    EXPECT_EQ(PictureAddressExtension(L"http://x.org/a.webp?w=640&f=a.b"), L"webp");
    EXPECT_EQ(PictureAddressExtension(L"http://x.org/a.svg#view?x"), L"svg");
    EXPECT_EQ(PictureAddressExtension(L"http://x.org/a.tif?x#y"), L"tif");
    EXPECT_EQ(PictureAddressExtension(L"http://x.org/a"), L"org/a");
    EXPECT_EQ(PictureAddressExtension(L"http://x.org/a.?x"), L"");
    for (const wchar_t* extension : {L"JPG", L"png", L"webp", L"svg", L"ico", L"tif", L"jp2", L"12345678"})
        EXPECT_TRUE(IsPictureExtension(extension)) << extension;
    for (const wchar_t* extension : {L"", L"org/a", L"jpg\\..\\..\\x", L"j pg", L"123456789", L"p\u00e9g", L"gif:x"})
        EXPECT_FALSE(IsPictureExtension(extension)) << extension;
}

TEST(PictureName, NameIsDigitsDotExtension) {
    EXPECT_EQ(PictureFileName(41, 18467, L"jpg"), L"4118467.jpg");
}
