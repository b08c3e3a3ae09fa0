// Scrambling of the project password and of stored strings. The mask is part
// of the project file format: a password scrambled with it is recognised
// only with the same bytes, so they must never change.
#include <string.h>

#include "xJorLib.h"

namespace {

constexpr unsigned char kPasswordMask[8] = {0x5A, 0xC3, 0x17, 0x8E, 0x61, 0xB4, 0x2D, 0xF9};

// Scrambles/unscrambles a 12-byte working block in place with key.
void scrambleBlock(unsigned char (&work)[12], const char* key) {
  unsigned char keyBlock[8] = {0};
  if (key) memcpy(keyBlock, key, strnlen(key, sizeof keyBlock));
  for (int i = 0; i < 8; ++i) work[i] ^= kPasswordMask[i] ^ keyBlock[i];
}

}  // namespace

extern "C" void xEncodePassword(char* block, const char* key, int32_t flag) {
  if (!block) return;
  unsigned char work[12] = {0};
  if (flag == 0)
    memcpy(work, block, strnlen(block, 8));  // plain text, at most 8 bytes
  else
    memcpy(work, block, 9);
  scrambleBlock(work, key);
  memcpy(block, work, 9);
}

extern "C" int32_t xCheckPassword(const char* typed, const char* stored, const char* key) {
  if (!stored) return 0;
  unsigned char work[12] = {0};  // bytes 9..11 stay zero: the result is always terminated
  memcpy(work, stored, 9);
  scrambleBlock(work, key);
  return strncmp(reinterpret_cast<const char*>(work), typed ? typed : "", 9) == 0 ? 1 : 0;
}

extern "C" void xEncodeString(char* buffer, int32_t length, int32_t seed) {
  if (!buffer) return;
  for (int32_t i = 0; i < length; ++i)
    buffer[i] =
        static_cast<char>(static_cast<unsigned char>(buffer[i]) ^
                          static_cast<unsigned char>((static_cast<uint32_t>(seed) + i) & 0xFF));
}
