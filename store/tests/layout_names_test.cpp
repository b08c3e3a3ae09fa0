// Names that project files may carry for the files they restore into the
// working folder: summary numbers and picture names only, never a path.
#include <gtest/gtest.h>

#include "../src/project_layout.h"

TEST(LayoutNames, SummaryNamesAreNumbersOneToFortyEight) {
  for (const char* good : {"1", "9", "10", "48"}) EXPECT_TRUE(xqd::IsSummaryName(good)) << good;
  for (const char* bad : {"", "0", "49", "01", "4a", "-1", "100", "../1"}) {
    EXPECT_FALSE(xqd::IsSummaryName(bad)) << bad;
  }
}

TEST(LayoutNames, PictureNamesAreHexNumberAndExtension) {
  for (const char* good : {"0000001A.bmp", "FFFFFFFF.jpg", "00000000.png"}) {
    EXPECT_TRUE(xqd::IsPictureName(good)) << good;
  }
  for (const char* bad : {"0000001a.bmp", "0000001A.BMP", "0000001A.bm", "0000001A_bmp",
                          "../../x.bmp", "/etc/passwd", "0000001A.bmp ", ""}) {
    EXPECT_FALSE(xqd::IsPictureName(bad)) << bad;
  }
}
