// The picture service: pictures loaded from BMP, JPEG or PNG files into a
// caller-owned seven-word record, drawn into a rectangle and released.
#ifndef XJORIMG_H_
#define XJORIMG_H_

#include <stdint.h>

#ifdef __cplusplus
class QPainter;
extern "C" {
#else
typedef struct QPainter QPainter;
#endif

// Caller-owned picture record. Set handle and reserved to zero before
// loading. A record whose handle is zero holds no picture.
typedef struct PictureRecord {
  uint32_t handle;    // library's picture number, 0 = empty
  uint32_t reserved;  // zero
  uint32_t format;    // format index of the loaded file (0..2)
  int32_t width;      // pixels
  int32_t height;     // pixels
  uint32_t spare[2];  // library's, unused
} PictureRecord;

// Number of picture formats the service reads (indexes 0..XJORIMG_FORMATS-1).
#define XJORIMG_FORMATS 3

// Loads the picture file at path (UTF-8) into rec. The format is told by the
// file's contents, not its name. Returns nonzero on success; on failure the
// record is left empty (all words zero) and 0 is returned.
int32_t xLoadImg(PictureRecord* rec, const char* path);

// Draws the picture of rec so that its top-left corner lands on (left, top)
// and its bottom-right corner on (right, bottom), in the painter's current
// coordinates, scaled smoothly. An empty record or a null painter draws
// nothing.
void xDrawImg(const PictureRecord* rec, QPainter* painter, int32_t left, int32_t top, int32_t right,
              int32_t bottom);

// Releases what rec holds and zeroes the record. Harmless on an empty record,
// on a record released before, and on a copy of a record released before.
void xClearImg(PictureRecord* rec);

// Write the display name / the file pattern ("*.png") of format index
// (0..2) into buffer (UTF-8, NUL-terminated, at most size bytes with the
// NUL). Return the length written, or 0 (buffer set to "") for an unknown
// index or a buffer too small.
int32_t xGetImgFmt(int32_t index, char* buffer, int32_t size);
int32_t xGetImgExt(int32_t index, char* buffer, int32_t size);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // XJORIMG_H_
