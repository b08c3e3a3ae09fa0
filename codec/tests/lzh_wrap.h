// A one-member level-0 .lzh archive ("-lh1-") around an LZHUF stream, so
// that an independent LZH tool (lhasa) can decode the streams we make. Used
// by the interoperability test and the codec benchmark.
#ifndef CODEC_TESTS_LZH_WRAP_H_
#define CODEC_TESTS_LZH_WRAP_H_

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace codec_test {

inline uint16_t lzh_crc16(const std::vector<uint8_t>& data) {
  uint16_t crc = 0;
  for (uint8_t b : data) {
    crc ^= b;
    for (int i = 0; i < 8; ++i)
      crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

// `original` is what `packed` decodes to (its size and CRC go in the header).
inline std::vector<uint8_t> lzh_archive(const std::string& name,
                                        const std::vector<uint8_t>& original,
                                        const std::vector<uint8_t>& packed) {
  std::vector<uint8_t> body;
  const auto put_le = [&body](uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) body.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  for (char c : std::string("-lh1-")) body.push_back(static_cast<uint8_t>(c));
  put_le(packed.size(), 4);
  put_le(original.size(), 4);
  put_le(0x2A210000, 4);  // MS-DOS time and date: 2001-01-01 00:00
  body.push_back(0x20);   // attribute
  body.push_back(0);      // header level
  body.push_back(static_cast<uint8_t>(name.size()));
  body.insert(body.end(), name.begin(), name.end());
  put_le(lzh_crc16(original), 2);
  uint8_t sum = 0;
  for (uint8_t b : body) sum = static_cast<uint8_t>(sum + b);
  std::vector<uint8_t> out(2 + body.size());
  out[0] = static_cast<uint8_t>(body.size());
  out[1] = sum;
  std::copy(body.begin(), body.end(), out.begin() + 2);
  out.insert(out.end(), packed.begin(), packed.end());
  out.push_back(0);  // end of archive
  return out;
}

}  // namespace codec_test

#endif  // CODEC_TESTS_LZH_WRAP_H_
