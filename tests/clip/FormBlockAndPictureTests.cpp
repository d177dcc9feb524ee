#include "clip/FormBlocks.h"
#include "clip/PictureName.h"

#include <gtest/gtest.h>
#include "Utf16Bytes.h"

TEST(FormBlocks, TransferFileTextDropsMarkAndLineEnds) {
    EXPECT_EQ(TransferFileText(Utf16Bytes(L"a>>>1\r\n|||b")), L"a>>>1|||b");
    EXPECT_EQ(TransferFileText("\xFF\xFE"), L"");
    EXPECT_EQ(TransferFileText("\xFF\xFE" "a"), L"");  // a lone odd byte is no unit
}

TEST(PictureName, OnlyKnownPictureExtensionsGiveAPicture) {
    EXPECT_EQ(PictureAddressExtension(L"http://x.org/a.jpg"), L"jpg");
    EXPECT_EQ(PictureAddressExtension(L"http://x.org/a"), L"org/a");
    EXPECT_EQ(PictureAddressExtension(L"http://x.org/a."), L"");
    EXPECT_TRUE(IsKnownPictureExtension(L"JPG"));
    EXPECT_TRUE(IsKnownPictureExtension(L"png"));
    EXPECT_FALSE(IsKnownPictureExtension(L"org/a"));
    EXPECT_FALSE(IsKnownPictureExtension(L"exe"));
    EXPECT_FALSE(IsKnownPictureExtension(L"jpg\\..\\..\\x"));
    EXPECT_FALSE(IsKnownPictureExtension(L""));
}

TEST(PictureName, NameIsDigitsDotExtension) {
    EXPECT_EQ(PictureFileName(41, 18467, L"jpg"), L"4118467.jpg");
}
