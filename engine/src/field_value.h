// Number fields read and written as doubles, shared by value conversion and
// restructuring (which carries numbers between number types directly).
#ifndef XJOR_FIELD_VALUE_H_
#define XJOR_FIELD_VALUE_H_

#include "xjor/field.h"

namespace fieldvalue {

// Reads the number field fd stored at `at`. False when fd is not a number.
bool readNumber(const FieldDesc& fd, const unsigned char* at, double* value);
// Stores value into the number field fd at `at`: integers keep the low
// bytes of the value truncated toward zero; non-finite values store 0.
bool writeNumber(const FieldDesc& fd, unsigned char* at, double value);

}  // namespace fieldvalue

#endif  // XJOR_FIELD_VALUE_H_
