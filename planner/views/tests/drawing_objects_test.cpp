// The object table without widgets: record bytes, layers kept contiguous,
// damaged text records, order moves, and the table's trip through a saved
// project file.
#include "kelvo/drawing_objects.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cstring>

#include "view_fixture.h"
#include "xjorlib/qt_bridge.h"

using namespace kelvo;

namespace {

std::vector<uint8_t> bytesOf(const ObjectRecord& r) {
  const auto* p = reinterpret_cast<const uint8_t*>(&r);
  return {p, p + sizeof r};
}

ObjectRecord shapeAt(uint8_t type, int32_t x, int32_t y, int16_t w, int16_t h) {
  ObjectRecord r;
  r.type = type;
  r.anchor.x = x;
  r.anchor.y = y;
  r.width = w;
  r.height = h;
  return r;
}

LOGFONT gulim(int32_t height) {
  LOGFONT f{};
  f.lfHeight = height;
  f.lfWeight = 700;
  f.lfCharSet = 129;
  std::strcpy(f.lfFaceName, "Gulim");
  return f;
}

// A table like the project's: 28-byte records keyed by their first two bytes.
class ObjectTableTest : public ::testing::Test {
 protected:
  void SetUp() override { xmOpenTb(&mem_, 28, kKey, 100); }
  void TearDown() override { xmCloseTb(&mem_); }
  // The types of the table from first to last, with their layers.
  std::vector<std::pair<int, int>> contents() const {
    std::vector<std::pair<int, int>> out;
    for (uint32_t i = 0; i < t_.count(); ++i) out.emplace_back(t_.at(i).type, t_.at(i).layer);
    return out;
  }
  static constexpr KeyDesc kKey[] = {7, 0};
  MemTable mem_{};
  ObjectTable t_{&mem_};
};

TEST(ObjectRecordTest, ShapeTextAndPictureRecordsHaveTheirBytes) {
  ObjectRecord r = shapeAt(shape::kRectangle, 1200, -300, 500, -200);
  r.layer = layerCode(ViewKind::Map, true);
  r.lineColor = 0x0000FF;
  r.lineStyle = 1;
  r.lineWidth = 5;
  r.fillColor = 0x00FF00;
  r.fill = 3;
  const std::vector<uint8_t> rect = {0x07, 0x17, 0xB0, 0x04, 0x00, 0x00, 0xD4, 0xFE, 0xFF, 0xFF,
                                     0xF4, 0x01, 0x38, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x00,
                                     0x05, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x03, 0x00};
  EXPECT_EQ(bytesOf(r), rect);

  // A time-scaled anchor: date, x remainder, row, y remainder.
  r.anchor = ViewPosition::time(0x4C62, 7, 3, -12);
  const std::vector<uint8_t> anchor = {0x62, 0x4C, 0x07, 0x00, 0x03, 0x00, 0xF4, 0xFF};
  const std::vector<uint8_t> timed = bytesOf(r);
  EXPECT_EQ(std::vector<uint8_t>(timed.begin() + 2, timed.begin() + 10), anchor);

  // Text: alignment, continuation count and length in the style bytes; the
  // font and then the text across the continuation records.
  const std::string text = xjor::toCp949(QStringLiteral("공정 회의")).toStdString();
  ASSERT_EQ(text.size(), 9u);
  const LOGFONT font = gulim(-40);
  const ObjectRecords records =
      makeTextObject(ViewPosition{}, 300, -50, 0x123456, textalign::kCentre, font, text);
  ASSERT_EQ(records.size(), 4u);  // (9 + 59) / 26 + 1 = 3 after the head
  const std::vector<uint8_t> head = bytesOf(records[0]);
  EXPECT_EQ(head[0], 3);
  EXPECT_EQ(std::vector<uint8_t>(head.begin() + 14, head.end()),
            (std::vector<uint8_t>{0x56, 0x34, 0x12, 0x00, 2, 0, 3, 0, 9, 0, 0, 0, 0, 0}));
  std::vector<uint8_t> data;
  for (size_t i = 1; i < records.size(); ++i) {
    EXPECT_EQ(records[i].type, shape::kContinuation);
    const std::vector<uint8_t> b = bytesOf(records[i]);
    data.insert(data.end(), b.begin() + 2, b.end());
  }
  EXPECT_EQ(std::memcmp(data.data(), &font, 60), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data.data()) + 60, 9), text);
  EXPECT_TRUE(std::all_of(data.begin() + 69, data.end(), [](uint8_t b) { return b == 0; }));

  // A picture's file name fills bytes 14..27 and ends in a NUL.
  ObjectRecord pic = shapeAt(shape::kPicture, 0, 0, 100, -100);
  pic.setPictureName("0000000A.png");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&pic) + 14, 14),
            std::string("0000000A.png\0\0", 14));
  EXPECT_EQ(pic.pictureName(), "0000000A.png");
  EXPECT_TRUE(isPictureFileName("0000000A.png"));
  for (const char* bad : {"0000000a.png", "../etc/pass", "0000000A.PNG", "000000A.png", ""})
    EXPECT_FALSE(isPictureFileName(bad)) << bad;
}

TEST_F(ObjectTableTest, LayersStayContiguousAndTextKeepsItsRecords) {
  const uint8_t mapBack = layerCode(ViewKind::Map, false);
  const uint8_t ganttBack = layerCode(ViewKind::GanttChart, false);
  EXPECT_EQ(t_.append(ganttBack, {shapeAt(shape::kEllipse, 0, 0, 10, -10)}), 0);
  EXPECT_EQ(t_.append(mapBack + 1, {shapeAt(shape::kRectangle, 0, 0, 10, -10)}), 0);
  // Two objects of one type in one layer (an equal key) both go in.
  EXPECT_EQ(t_.append(mapBack, {shapeAt(shape::kRectangle, 0, 0, 10, -10)}), 0);
  EXPECT_EQ(t_.append(mapBack, {shapeAt(shape::kRectangle, 5, 0, 10, -10)}), 1);
  const std::string text(100, 'x');  // (100 + 59) / 26 + 1 = 7 records
  EXPECT_EQ(t_.append(mapBack, makeTextObject({}, 10, -10, 0, 0, gulim(-30), text)), 2);
  EXPECT_EQ(t_.append(mapBack, {shapeAt(shape::kHorizontalLine, 0, 0, 10, 0)}), 10);
  using P = std::pair<int, int>;
  std::vector<P> expected = {{7, 22}, {7, 22}, {3, 22}};
  for (int i = 0; i < 7; ++i) expected.push_back({99, 22});
  expected.insert(expected.end(), {{4, 22}, {7, 23}, {8, 24}});
  EXPECT_EQ(contents(), expected);
  EXPECT_EQ(t_.layer(mapBack).first, 0u);
  EXPECT_EQ(t_.layer(mapBack).end, 11u);
  EXPECT_EQ(t_.layer(mapBack + 1).end, 12u);
  EXPECT_EQ(t_.span(2), 8u);
  LOGFONT font{};
  std::string back;
  ASSERT_TRUE(t_.readText(2, &font, &back));
  EXPECT_EQ(back, text);
  EXPECT_EQ(font.lfHeight, -30);

  // Deleting a text removes all its continuation records.
  EXPECT_EQ(t_.take(2).size(), 8u);
  EXPECT_EQ(t_.count(), 5u);
  EXPECT_EQ(t_.at(2).type, shape::kHorizontalLine);
}

TEST_F(ObjectTableTest, DamagedTextIsReadOnlyAsFarAsItsRecordsGo) {
  const uint8_t layer = layerCode(ViewKind::Network, true);
  ObjectRecords text = makeTextObject({}, 10, -10, 0, 0, gulim(-30), "abc");  // 3 + head
  // The head claims more records than follow, and a longer text.
  text[0].lineWidth = 9;
  text[0].fillColor = 500;
  t_.append(layer, text);
  t_.append(layer, {shapeAt(shape::kRectangle, 0, 0, 10, -10)});
  EXPECT_EQ(t_.span(0), 4u);
  std::string back;
  ASSERT_TRUE(t_.readText(0, nullptr, &back));
  EXPECT_EQ(back.size(), 3u * 26 - 60);  // clamped to what the records hold
  // With too few records for the font, the head is no object at all, and
  // an orphan continuation record is none either.
  t_.take(0);
  ObjectRecords shortText = makeTextObject({}, 10, -10, 0, 0, gulim(-30), "abc");
  shortText.pop_back();
  t_.insert(0, shortText, layer);
  EXPECT_EQ(t_.span(0), 0u);
  EXPECT_EQ(t_.span(1), 0u);
  EXPECT_FALSE(t_.readText(0, nullptr, &back));
}

TEST_F(ObjectTableTest, OrderMovesKeepRelativeOrder) {
  const uint8_t back = layerCode(ViewKind::Map, false);
  for (int i = 0; i < 4; ++i) t_.append(back, {shapeAt(shape::kRectangle, i, 0, 10, -10)});
  t_.append(back, makeTextObject({}, 10, -10, 0, 0, gulim(-30), "t"));  // index 4..7
  t_.append(back + 1, {shapeAt(shape::kEllipse, 9, 0, 10, -10)});       // index 8
  const auto xs = [&] {
    std::vector<int> out;
    for (uint32_t i = 0; i < t_.count(); ++i)
      if (t_.span(i)) out.push_back(t_.at(i).type == shape::kText ? -1 : t_.at(i).anchor.x);
    return out;
  };
  // To the front: objects 0 and 4 (the text) go to the end, 0 before 4.
  EXPECT_EQ(t_.reorder({4, 0}, ObjectTable::Move::ToFront, back), (std::vector<uint32_t>{4, 3}));
  EXPECT_EQ(xs(), (std::vector<int>{1, 2, 3, 0, -1, 9}));
  // To the back: objects 3 and 2 (x 0 and 3) go first, in that order.
  EXPECT_EQ(t_.reorder({3, 2}, ObjectTable::Move::ToBack, back), (std::vector<uint32_t>{1, 0}));
  EXPECT_EQ(xs(), (std::vector<int>{3, 0, 1, 2, -1, 9}));
  // Into the front layer: the text follows the ellipse there.
  EXPECT_EQ(t_.reorder({4}, ObjectTable::Move::IntoFrontLayer, back), (std::vector<uint32_t>{5}));
  EXPECT_EQ(t_.layer(back).end, 4u);
  EXPECT_EQ(t_.at(5).layer, back + 1);
  EXPECT_EQ(t_.at(8).layer, back + 1);  // its last continuation record
  EXPECT_EQ(xs(), (std::vector<int>{3, 0, 1, 2, 9, -1}));

  // The snapshot puts everything back.
  const std::vector<uint8_t> before = t_.snapshot();
  t_.reorder({5, 0}, ObjectTable::Move::IntoBackLayer, back);
  EXPECT_NE(t_.snapshot(), before);
  ASSERT_TRUE(t_.restore(before));
  EXPECT_EQ(t_.snapshot(), before);
}

class ObjectFileTest : public kelvo_test::ViewTest {};

TEST_F(ObjectFileTest, TheTableAndItsPicturesComeBackFromTheProjectFile) {
  ObjectTable t(&doc_->db().objects);
  t.append(layerCode(ViewKind::GanttChart, true),
           makeTextObject(ViewPosition::time(0x4C62, 3, 2, -5), 200, -40, 0xFF, 1, gulim(-35),
                          "Pour slab"));
  ObjectRecord pic = shapeAt(shape::kPicture, 10, -10, 100, -80);
  pic.setPictureName("00000005.png");
  t.append(layerCode(ViewKind::Map, false), {pic});
  const std::string stem(doc_->db().space.path, doc_->db().space.stemLength);
  QFile file(QString::fromStdString(stem + "00000005.png"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("picture bytes");
  file.close();
  const std::vector<uint8_t> saved = t.snapshot();

  ASSERT_TRUE(doc_->saveProject(path("objects.kvp")));
  doc_->closeProject();
  ASSERT_TRUE(doc_->openProject(path("objects.kvp")));
  ObjectTable back(&doc_->db().objects);
  EXPECT_EQ(back.snapshot(), saved);
  const std::string newStem(doc_->db().space.path, doc_->db().space.stemLength);
  QFile copy(QString::fromStdString(newStem + "00000005.png"));
  ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
  EXPECT_EQ(copy.readAll(), QByteArray("picture bytes"));
}

}  // namespace
