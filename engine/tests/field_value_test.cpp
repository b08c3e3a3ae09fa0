// Field values as text and back, for every type and flag, reference fields
// by number and by text, and CP949 text in fields of byte widths.
#include <string.h>

#include "db_fixture.h"

namespace {

// A record with one field of each kind, laid out by a field list.
class Values : public ::testing::Test {
 protected:
  int Add(const char* name, int type, uint32_t flags, int width, int decimals) {
    xAddFld(&list_, -1, name, type, flags, width, decimals);
    record_.assign(list_.recordSize, 0);
    return list_.count - 1;
  }
  std::string Get(int i, int32_t flags = -1, int32_t ref = -1) {
    char out[XF_VALUE_BUFFER];
    memset(out, 'Z', sizeof out);
    xGetValue(list_.fields, ref, out, record_.data(), i, flags);
    return out;
  }
  void Set(int i, const char* text, int32_t ref = -1) {
    xSetValue(list_.fields, ref, text, record_.data(), i);
  }
  template <typename T>
  T Raw(int i) {
    T v;
    memcpy(&v, record_.data() + list_.fields[i].offset, sizeof v);
    return v;
  }
  void TearDown() override { xFreeBuffer(list_.fields); }

  FieldList list_{0, 0, nullptr, 0};
  std::vector<unsigned char> record_;
};

TEST_F(Values, IntegersStoreTheirLowBytesTruncatedTowardZero) {
  int i8 = Add("I8", XF_INT8, 0, 4, 0);
  int u8 = Add("U8", XF_UINT8, 0, 4, 0);
  int i16 = Add("I16", XF_INT16, 0, 6, 0);
  int u16 = Add("U16", XF_UINT16, 0, 6, 0);
  int i32 = Add("I32", XF_INT32, 0, 11, 0);
  int u32 = Add("U32", XF_UINT32, 0, 10, 0);
  Set(i8, "-7.9");  // the width's reformatting rounds to 0 decimals first
  EXPECT_EQ(Raw<int8_t>(i8), -8);
  EXPECT_EQ(Get(i8), "-8");
  int wide = Add("W", XF_INT16, 0, 0, 0);  // no width: truncated toward zero
  Set(wide, "-7.9");
  EXPECT_EQ(Raw<int16_t>(wide), -7);
  Set(u8, "300");  // no range check: the low byte stays
  EXPECT_EQ(Raw<uint8_t>(u8), 44);
  Set(i16, "-1234");
  EXPECT_EQ(Get(i16), "-1234");
  Set(u16, "65535");
  EXPECT_EQ(Get(u16), "65535");
  Set(i32, "-2147483648");
  EXPECT_EQ(Raw<int32_t>(i32), INT32_MIN);
  Set(u32, "4294967295");
  EXPECT_EQ(Get(u32), "4294967295");
  Set(u32, "junk");
  EXPECT_EQ(Raw<uint32_t>(u32), 0u);
}

TEST_F(Values, NumbersWiderThanTheFieldKeepTheirLastDigits) {
  int n = Add("N", XF_INT16, 0, 3, 0);
  Set(n, "12345");
  EXPECT_EQ(Raw<int16_t>(n), 345);
}

TEST_F(Values, FloatsRoundToTheFieldDecimals) {
  int f = Add("F", XF_FLOAT, 0, 6, 2);
  int d = Add("D", XF_DOUBLE, 0, 10, 3);
  Set(f, "3.14159");
  EXPECT_FLOAT_EQ(Raw<float>(f), 3.14f);
  EXPECT_EQ(Get(f), "3.14");
  Set(d, "0.0005");
  EXPECT_DOUBLE_EQ(Raw<double>(d), 0.001);
  EXPECT_EQ(Get(d), "0.001");
}

TEST_F(Values, DisplayFlagsOfNumbers) {
  int d = Add("D", XF_DOUBLE, XF_ZEROEMPTY, 10, 2);
  int c = Add("C", XF_INT32, XF_COMMA, 9, 0);
  int r = Add("R", XF_INT16, XF_RIGHT, 5, 0);
  EXPECT_EQ(Get(d), "");
  EXPECT_EQ(Get(d, XF_PLAIN), "0.00");
  Set(c, "1234567");
  EXPECT_EQ(Get(c), "1,234,567");
  EXPECT_EQ(Get(c, XF_PLAIN), "1234567");
  Set(r, "42");
  EXPECT_EQ(Get(r), "   42");
  EXPECT_EQ(Get(r, XF_PLAIN), "42");
}

TEST_F(Values, CharacterAndRawFields) {
  int ch = Add("CH", XF_CHAR, 0, 1, 0);
  int raw = Add("RAW", XF_RAW4, 0, 4, 0);
  int odd = Add("ODD", 99, 0, 4, 0);
  Set(ch, "Yes");
  EXPECT_EQ(Get(ch), "Y");
  Set(ch, "\xB0\xA1");  // a lone lead byte would be a broken character
  EXPECT_EQ(Raw<uint8_t>(ch), 0);
  const char bytes[4] = {'\x01', '\0', '\xFF', '7'};
  Set(raw, bytes);
  EXPECT_EQ(memcmp(record_.data() + list_.fields[raw].offset, bytes, 4), 0);
  char out[XF_VALUE_BUFFER];
  xGetValue(list_.fields, -1, out, record_.data(), raw, -1);
  EXPECT_EQ(memcmp(out, bytes, 4), 0);
  Set(odd, "x");
  EXPECT_EQ(Get(odd), "");
}

TEST_F(Values, StringFlags) {
  int s = Add("S", XF_STRING, XF_TRIM | XF_UPPER, 10, 0);
  int lower = Add("L", XF_STRING, XF_LOWER, 10, 0);
  int both = Add("B", XF_STRING, XF_UPPER | XF_LOWER, 10, 0);
  Set(s, "  abc ");
  EXPECT_EQ(Get(s), "ABC");
  Set(lower, " MiXeD ");
  EXPECT_EQ(Get(lower), " mixed ");
  Set(both, "MiXeD");
  EXPECT_EQ(Get(both), "MIXED");
  // The cut comes before trimming: only the first width bytes count.
  int narrow = Add("N", XF_STRING, XF_TRIM, 3, 0);
  Set(narrow, "  abc");
  EXPECT_EQ(Get(narrow), "a");
  // Nothing of a longer earlier value is left behind the NUL.
  Set(s, "longvalue");
  Set(s, "ab");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record_.data()) + list_.fields[s].offset, 11),
            std::string("AB\0\0\0\0\0\0\0\0\0", 11));
}

TEST_F(Values, StoredStringWithoutItsNulStopsAtTheWidth) {
  int s = Add("S", XF_STRING, 0, 4, 0);
  memset(record_.data(), 'q', record_.size());
  EXPECT_EQ(Get(s), "qqqq");
}

TEST_F(Values, DatesFollowTheDateSettings) {
  int d = Add("D", XF_DATE, 0, 8, 0);
  xSetDateForm(0);
  xSetDateDelimiter('-');
  Set(d, "00-03-07");
  EXPECT_EQ(Raw<uint16_t>(d), (20 << 9) | (3 << 5) | 7);
  EXPECT_EQ(Get(d), "00-03-07");
  Set(d, "01-02-29");
  EXPECT_EQ(Raw<uint16_t>(d), 0);
  EXPECT_EQ(Get(d), "");
  EXPECT_EQ(xGetOutLeng(list_.fields, d, -1), 8);
  xSetDateForm(7);
  EXPECT_EQ(xGetOutLeng(list_.fields, d, -1), 11);
  xSetDateDelimiter(0);
  EXPECT_EQ(xGetOutLeng(list_.fields, d, -1), 9);
  xSetOrdinalTime(1);
  EXPECT_EQ(xGetOutLeng(list_.fields, d, -1), 4);
  xSetOrdinalTime(0);
  xSetDateForm(0);
  xSetDateDelimiter('-');
}

TEST_F(Values, DisplayWidths) {
  int s = Add("S", XF_STRING, 0, 12, 0);
  int ch = Add("CH", XF_CHAR, 0, 1, 0);
  int n = Add("N", XF_INT32, XF_COMMA, 7, 0);
  int f = Add("F", XF_DOUBLE, 0, 7, 2);
  int fc = Add("FC", XF_DOUBLE, XF_COMMA, 10, 3);
  EXPECT_EQ(xGetOutLeng(list_.fields, s, -1), 12);
  EXPECT_EQ(xGetOutLeng(list_.fields, ch, -1), 1);
  EXPECT_EQ(xGetOutLeng(list_.fields, n, -1), 9);
  EXPECT_EQ(xGetOutLeng(list_.fields, f, -1), 10);
  EXPECT_EQ(xGetOutLeng(list_.fields, fc, -1), 17);
}

TEST_F(Values, ValueTextIsBoundedWhateverTheWidth) {
  int s = Add("S", XF_STRING, 0, 3000, 0);
  int d = Add("D", XF_DOUBLE, XF_RIGHT | XF_COMMA, 30000, 100);
  std::string big(3000, 'x');
  Set(s, big.c_str());
  EXPECT_EQ(Get(s).size(), static_cast<size_t>(XF_VALUE_MAX - 1));
  double huge = 1e300;
  memcpy(record_.data() + list_.fields[d].offset, &huge, 8);
  EXPECT_LE(Get(d).size(), static_cast<size_t>(XF_VALUE_MAX - 1));
  EXPECT_LE(Get(d, XF_RIGHT).size(), static_cast<size_t>(XF_VALUE_MAX - 1));
}

// CP949 text: whole characters only, ASCII-only case conversion.
TEST_F(Values, HangulNameInAnOddWidthKeepsWholeCharacters) {
  int s = Add("NAME", XF_STRING, XF_UPPER, 5, 0);
  // 공사관리 (four syllables, eight bytes) into five bytes: two syllables.
  Set(s, "\xB0\xF8\xBB\xE7\xB0\xFC\xB8\xAE");
  EXPECT_EQ(Get(s), "\xB0\xF8\xBB\xE7");
  // 힣 (C6 52) ends in 'R' and 81 61 ends in 'a': case conversion would
  // turn them into other characters if it looked at trail bytes.
  int low = Add("LOW", XF_STRING, XF_LOWER, 9, 0);
  Set(low, "\xC6\x52X\x81\x61Y");
  EXPECT_EQ(Get(low), "\xC6\x52x\x81\x61y");
  Set(s, "ab\xC6\x52z");
  EXPECT_EQ(Get(s), "AB\xC6\x52Z");
}

TEST_F(Values, EveryHangulSyllableRoundTrips) {
  int s = Add("S", XF_STRING, XF_TRIM | XF_UPPER, 3, 0);
  int count = 0;
  for (uint32_t cp = 0xAC00; cp <= 0xD7A3; ++cp) {
    char utf8[4] = {static_cast<char>(0xE0 | (cp >> 12)),
                    static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (cp & 0x3F)), '\0'};
    char cp949[8];
    ASSERT_EQ(xUtf8ToCp949(utf8, cp949, sizeof cp949), 2) << std::hex << cp;
    Set(s, cp949);
    std::string back = Get(s);
    ASSERT_EQ(back, cp949) << std::hex << cp;
    char again[8];
    ASSERT_EQ(xCp949ToUtf8(back.c_str(), again, sizeof again), 3);
    ASSERT_STREQ(again, utf8);
    ++count;
  }
  EXPECT_EQ(count, 11172);
}

TEST(Text, CutsSearchAndConversion) {
  const char* text =
      "a\xB0\xA1"
      "b";  // a 가 b
  EXPECT_EQ(xCharCut(text, 1), 1);
  EXPECT_EQ(xCharCut(text, 2), 1);
  EXPECT_EQ(xCharCut(text, 3), 3);
  EXPECT_EQ(xCharCut(text, 99), 4);
  EXPECT_EQ(xCharCut("\xB0", 5), 0);  // a lead byte without its trail
  // 가 is B0 A1, 각 is B0 A2: "\xA1\xB0" occurs inside "가가" across the
  // boundary and must not be found there.
  EXPECT_EQ(xFindText("\xB0\xA1\xB0\xA1", "\xA1\xB0"), -1);
  EXPECT_EQ(xFindText("x\xB0\xA1y", "\xB0\xA1"), 1);
  EXPECT_EQ(xFindText("abc", ""), 0);
  EXPECT_EQ(xFindText("abc", "d"), -1);
  char buf[16] = "  a b  ";
  EXPECT_EQ(xTrimText(buf), 3);
  EXPECT_STREQ(buf, "a b");
  char out[16];
  EXPECT_EQ(xUtf8ToCp949("\xF0\x9F\x98\x80", out, sizeof out), -1);  // an emoji
  EXPECT_STREQ(out, "");
}

// Reference fields read their lists from a reference file.
class RefValues : public DbFixture {
 protected:
  void SetUp() override {
    DbFixture::SetUp();
    ASSERT_EQ(xCreateRef(&ref_, (dir_ + "v.ref").c_str()), 1);
    char entries[18] = "ONE";
    memcpy(entries + 6, "TWO", 3);
    memcpy(entries + 12, "THREE", 6);
    RefList r = {5, 3, entries};
    ASSERT_NE(xPutRef(ref_, 7, &r), 0);
    xAddFld(&list_, -1, "KIND", XF_REF, XF_TRIM | XF_UPPER, 7, 0);
    xAddFld(&list_, -1, "NONE", XF_REF, 0, 8, 0);
    record_.assign(list_.recordSize, 0);
  }
  void TearDown() override {
    xFreeBuffer(list_.fields);
    xCloseFile(&ref_);
    DbFixture::TearDown();
  }
  uint16_t Index(int i, const char* text) {
    xSetValue(list_.fields, ref_, text, record_.data(), i);
    uint16_t v;
    memcpy(&v, record_.data() + list_.fields[i].offset, 2);
    return v;
  }
  std::string Get(int i) {
    char out[XF_VALUE_BUFFER];
    xGetValue(list_.fields, ref_, out, record_.data(), i, -1);
    return out;
  }
  int32_t ref_ = -1;
  FieldList list_{0, 0, nullptr, 0};
  std::vector<unsigned char> record_;
};

TEST_F(RefValues, ByNumberAndByText) {
  EXPECT_EQ(Index(0, "2"), 2);
  EXPECT_EQ(Get(0), "THREE");
  EXPECT_EQ(Index(0, "3"), 0);  // at or above the count
  EXPECT_EQ(Index(0, "99999999999"), 0);
  EXPECT_EQ(Index(0, "  two "), 1);  // trimmed and upper-cased first
  EXPECT_EQ(Get(0), "TWO");
  EXPECT_EQ(Index(0, "FOUR"), 0);
  EXPECT_EQ(Index(0, "THREEX"), 0);
  EXPECT_EQ(xGetOutLeng(list_.fields, 0, ref_), 5);
}

TEST_F(RefValues, MissingListOrIndexGivesEmptyText) {
  EXPECT_EQ(Index(1, "1"), 0);
  EXPECT_EQ(Index(1, "ONE"), 0);
  EXPECT_EQ(Get(1), "");
  EXPECT_EQ(xGetOutLeng(list_.fields, 1, ref_), 0);
  uint16_t beyond = 3;
  memcpy(record_.data(), &beyond, 2);
  EXPECT_EQ(Get(0), "");
  // Without a reference file nothing is looked up.
  char out[XF_VALUE_BUFFER];
  Index(0, "1");
  xGetValue(list_.fields, -1, out, record_.data(), 0, -1);
  EXPECT_STREQ(out, "");
}

}  // namespace
