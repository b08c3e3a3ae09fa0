// Number and string formatting: fixed-width number text with thousands
// separators and alignment, its inverse, decimal rounding and truncation,
// and blank trimming and padding of single-byte texts in caller buffers.
//
// Numbers are written and read in the "C" convention ('.' point, ','
// separator) whatever the process locale. Rounding at the last kept digit
// takes an exact half away from zero (0.125 to 2 decimals is 0.13, -2.5 to 0
// decimals is -3). None of these functions fails or touches the error word.
#ifndef XJOR_NUMFMT_H_
#define XJOR_NUMFMT_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Flags of xNumToStr (the display flags of a field); other bits are ignored.
#define XJOR_NUM_COMMA 0x20       // thousands separators (no alignment then)
#define XJOR_NUM_BLANK_ZERO 0x40  // zero is shown as empty text
#define XJOR_NUM_RIGHT 0x100      // right-aligned to the total width
#define XJOR_NUM_PLAIN 0x80       // what editors pass for plain text

// Writes v into buf. total = width + decimals + 1 when decimals > 0, else
// width. With total > 0, v is written with `decimals` digits after the point
// and, when longer than total, only its last total characters are kept
// (12345 in width 3 is "345"; the sign goes too). With total 0, v is written
// with up to ten decimals, trailing zeros and a bare point dropped (2.5, 3).
// Then XJOR_NUM_COMMA inserts separators, else XJOR_NUM_RIGHT pads on the
// left to total. buf needs room for the longer of the text and total + 1,
// a third more with separators; decimals above 150 count as 150. A value
// that is not finite is written as 0.
void xNumToStr(char* buf, double v, int32_t width, int32_t decimals, int32_t flags);

// Reads the number at the start of text: leading white space, an optional
// sign, digits with an optional point and more digits. Reading stops at the
// first other character (a ',' too); no number, or one too large for a
// double, gives 0. With width non-zero the value then goes through
// xNumToStr(width, decimals, XJOR_NUM_PLAIN) and is read back, so it is
// rounded and cut exactly as the field would show it.
void xStrToNum(const char* text, double* v, int32_t width, int32_t decimals);

// Rounds *v to d decimals (ties away from zero).
void xRound(double* v, int32_t d);
// Rounds *v to ten decimals, then cuts it toward zero after d decimals
// (2.999 -> 2.99, -2.999 -> -2.99).
void xTrunc(double* v, int32_t d);

// Inserts ',' every three digits left of the last '.' (or of the end), a
// leading '-' staying in front: "-1234.5" -> "-1,234.5". Returns the new
// length. Texts longer than 255 characters are left as they are.
int32_t xComma(char* text);

// Remove leading / trailing blanks (' ' only) from the first n characters
// (n 0 = the whole text) and end the text there. Return the new length.
int32_t xLTrim(char* text, int32_t n);
int32_t xRTrim(char* text, int32_t n);

// Pad a text shorter than w with blanks to w characters: xLFill on the left
// (right alignment), xRFill on the right. text needs room for w + 1.
void xLFill(char* text, int32_t w);
void xRFill(char* text, int32_t w);

#ifdef __cplusplus
}
#endif

#endif  // XJOR_NUMFMT_H_
