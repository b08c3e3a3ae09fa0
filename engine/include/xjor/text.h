// CP949 text helpers. Every text inside records and files is CP949: a byte
// 0x81-0xFE leads a double-byte character whose trail byte follows; every
// other byte is a character of its own. Widths are byte counts, cuts never
// split a double-byte character, and case conversion touches ASCII letters
// only (a trail byte may look like an ASCII letter and is left alone).
#ifndef XJOR_TEXT_H_
#define XJOR_TEXT_H_

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Non-zero when byte c leads a double-byte character.
int32_t xIsLeadByte(unsigned char c);

// Length of text cut to at most max bytes without splitting a double-byte
// character: the text's own length when it is shorter (a NUL ends it).
int32_t xCharCut(const char* text, int32_t max);

// Copies at most max bytes of src into dst at a character boundary and
// terminates it with a NUL (dst holds max + 1 bytes). Returns the length.
int32_t xCopyChars(char* dst, const char* src, int32_t max);

// Converts the ASCII letters of text in place, leaving double-byte
// characters whole.
void xUpperText(char* text);
void xLowerText(char* text);

// Removes trailing, then leading blanks (' ') in place. Returns the length.
int32_t xTrimText(char* text);

// Byte position of the first occurrence of needle in text that starts on a
// character boundary, or -1. An empty needle is found at 0.
int32_t xFindText(const char* text, const char* needle);

// Converts between CP949 and UTF-8. Writes at most cap - 1 bytes and a NUL
// into out. Returns the length written, or -1 when the input has a character
// the other side cannot represent (out then holds an empty text).
int32_t xCp949ToUtf8(const char* in, char* out, int32_t cap);
int32_t xUtf8ToCp949(const char* in, char* out, int32_t cap);

#ifdef __cplusplus
}
#endif

#endif  // XJOR_TEXT_H_
