// Pictures live in a table owned by the library and are named in the
// caller's record by a number that is never reused, so a stale copy of a
// released record can never reach another picture.
#include <string.h>

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <unordered_map>

#include "xJorImg.h"

namespace {

struct PictureFormat {
  const char* readerName;  // QImageReader's format name
  const char* displayName;
  const char* pattern;
};

constexpr PictureFormat kFormats[XJORIMG_FORMATS] = {
    {"bmp", "비트맵 그림 (*.bmp)", "*.bmp"},
    {"jpeg", "JPEG 그림 (*.jpg)", "*.jpg;*.jpeg"},
    {"png", "PNG 그림 (*.png)", "*.png"},
};

struct PictureTable {
  std::unordered_map<uint32_t, QImage> pictures;
  uint32_t lastNumber = 0;

  uint32_t add(QImage image) {
    do {
      ++lastNumber;
    } while (lastNumber == 0 || pictures.count(lastNumber));
    pictures.emplace(lastNumber, std::move(image));
    return lastNumber;
  }
};

PictureTable& table() {
  static PictureTable t;
  return t;
}

int formatIndexOf(const QByteArray& readerName) {
  for (int i = 0; i < XJORIMG_FORMATS; ++i)
    if (readerName == kFormats[i].readerName) return i;
  return -1;
}

int32_t copyText(const char* text, char* buffer, int32_t size) {
  if (!buffer || size <= 0) return 0;
  const int32_t length = text ? static_cast<int32_t>(strlen(text)) : 0;
  if (!text || length >= size) {
    buffer[0] = '\0';
    return 0;
  }
  memcpy(buffer, text, length + 1);
  return length;
}

}  // namespace

extern "C" int32_t xLoadImg(PictureRecord* rec, const char* path) {
  if (!rec) return 0;
  memset(rec, 0, sizeof *rec);
  if (!path || !*path) return 0;
  QImageReader reader(QString::fromUtf8(path));
  reader.setDecideFormatFromContent(true);  // "Dizire.zur" is a picture whatever its name
  const int format = formatIndexOf(reader.format());
  if (format < 0) return 0;
  QImage image = reader.read();
  if (image.isNull()) return 0;
  rec->format = static_cast<uint32_t>(format);
  rec->width = image.width();
  rec->height = image.height();
  rec->handle = table().add(std::move(image));
  return 1;
}

extern "C" void xDrawImg(const PictureRecord* rec, QPainter* painter, int32_t left, int32_t top,
                         int32_t right, int32_t bottom) {
  if (!rec || !painter || rec->handle == 0) return;
  const auto found = table().pictures.find(rec->handle);
  if (found == table().pictures.end()) return;
  const QImage& image = found->second;
  if (image.isNull() || left == right || top == bottom) return;
  // The picture's top-left corner goes to (left, top) and its bottom-right
  // corner to (right, bottom), so a caller working y-up (top above bottom)
  // still sees the picture upright.
  painter->save();
  painter->setRenderHint(QPainter::SmoothPixmapTransform);
  painter->translate(left, top);
  painter->scale(double(right - left) / image.width(), double(bottom - top) / image.height());
  painter->drawImage(QPointF(0, 0), image);
  painter->restore();
}

extern "C" void xClearImg(PictureRecord* rec) {
  if (!rec) return;
  if (rec->handle != 0) table().pictures.erase(rec->handle);
  memset(rec, 0, sizeof *rec);
}

extern "C" int32_t xGetImgFmt(int32_t index, char* buffer, int32_t size) {
  const bool known = index >= 0 && index < XJORIMG_FORMATS;
  return copyText(known ? kFormats[index].displayName : nullptr, buffer, size);
}

extern "C" int32_t xGetImgExt(int32_t index, char* buffer, int32_t size) {
  const bool known = index >= 0 && index < XJORIMG_FORMATS;
  return copyText(known ? kFormats[index].pattern : nullptr, buffer, size);
}
