// A reference model for keyed tables: random adds, seeks, duplicate inserts
// and deletes, checked against a plain sorted vector searched with its own
// comparator (not xCompareKey).
#ifndef XJOR_TESTS_SORTED_TABLE_MODEL_H_
#define XJOR_TESTS_SORTED_TABLE_MODEL_H_

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "xJorDbm2.h"

#pragma pack(push, 1)
struct ModelRecord {
  char code[4];  // string of up to 3 bytes
  int16_t a;
  uint32_t b;
  double c;
  uint8_t payload[6];
};
#pragma pack(pop)
static_assert(sizeof(ModelRecord) == 24);

// The two descriptors the model knows, with an independent comparator each.
struct ModelKey {
  const KeyDesc* desc;
  std::function<int(const ModelRecord&, const ModelRecord&)> compare;
};

inline int Sign(int v) {
  return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

inline int CompareCode(const ModelRecord& x, const ModelRecord& y) {
  return Sign(std::strncmp(x.code, y.code, 4));  // glibc compares as unsigned char
}

// code ascending, a descending, b ascending (unsigned), c ascending.
inline ModelKey FullKey() {
  static const KeyDesc desc[] = {11, 3, -4, 8, 10, 0};
  return {desc, [](const ModelRecord& x, const ModelRecord& y) {
            if (int r = CompareCode(x, y)) return r;
            if (x.a != y.a) return x.a > y.a ? -1 : 1;
            if (x.b != y.b) return x.b < y.b ? -1 : 1;
            if (x.c != y.c) return x.c < y.c ? -1 : 1;
            return 0;
          }};
}

// code descending, then a ascending; b, c and the payload are not key.
inline ModelKey ShortKey() {
  static const KeyDesc desc[] = {-11, 3, 4, 0};
  return {desc, [](const ModelRecord& x, const ModelRecord& y) {
            if (int r = CompareCode(x, y)) return -r;
            if (x.a != y.a) return x.a < y.a ? -1 : 1;
            return 0;
          }};
}

// What a keyed table under test must offer.
struct TableUnderTest {
  std::function<int32_t(const ModelRecord&)> add;     // xiAdd / xmAdd
  std::function<int32_t(const ModelRecord&)> seek;    // xiSeek / xmSeek
  std::function<int32_t(const ModelRecord&)> insert;  // xiIns / xmIns at current
  std::function<int32_t()> remove;                    // xiDel / xmDel at current
  std::function<uint32_t()> current;
  std::function<std::vector<ModelRecord>()> all;  // every record in order
};

class SortedModel {
 public:
  explicit SortedModel(ModelKey key) : key_(std::move(key)) {}

  // The textbook search of the table, run on the reference vector.
  bool Search(const ModelRecord& k, uint32_t* position) const {
    int64_t lo = 0, hi = static_cast<int64_t>(records_.size()) - 1;
    while (lo <= hi) {
      int64_t mid = (lo + hi) / 2;
      int r = key_.compare(k, records_[mid]);
      if (r == 0) {
        *position = static_cast<uint32_t>(mid);
        return true;
      }
      if (r > 0)
        lo = mid + 1;
      else
        hi = mid - 1;
    }
    *position = static_cast<uint32_t>(lo);
    return false;
  }

  ModelRecord Random(std::mt19937& rng) const {
    static const char letters[] = {'A', 'B', '\xb0'};
    ModelRecord r{};
    int length = std::uniform_int_distribution<int>(0, 3)(rng);
    for (int i = 0; i < length; ++i) r.code[i] = letters[rng() % 3];
    r.a = static_cast<int16_t>(std::uniform_int_distribution<int>(-3, 3)(rng));
    const uint32_t bs[] = {0, 1, 0xFFFFFFFFu};
    r.b = bs[rng() % 3];
    const double cs[] = {-1.5, 0.0, 2.25};
    r.c = cs[rng() % 3];
    for (uint8_t& p : r.payload) p = static_cast<uint8_t>(rng());
    return r;
  }

  void Run(const TableUnderTest& t, int operations, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int op = 0; op < operations; ++op) {
      ModelRecord r = Random(rng);
      uint32_t expected = 0;
      bool present = Search(r, &expected);
      int kind = static_cast<int>(rng() % 20);
      if (kind < 8) {  // add
        ASSERT_EQ(t.add(r), present ? 0 : 1) << op;
        if (!present) records_.insert(records_.begin() + expected, r);
      } else if (kind < 13) {  // seek
        ASSERT_EQ(t.seek(r), present ? 1 : 0) << op;
        ASSERT_EQ(t.current(), expected) << op;
      } else if (kind < 14) {  // a duplicate lands at the seek position
        if (!present) continue;
        ASSERT_EQ(t.seek(r), 1);
        ASSERT_EQ(t.insert(r), 1);
        records_.insert(records_.begin() + expected, r);
      } else {  // delete what a seek finds
        ASSERT_EQ(t.seek(r), present ? 1 : 0) << op;
        if (!present) continue;
        ASSERT_EQ(t.remove(), 1) << op;
        records_.erase(records_.begin() + expected);
      }
      if (op % 997 == 0) ExpectSame(t.all());
    }
    ExpectSame(t.all());
  }

  size_t size() const { return records_.size(); }

 private:
  void ExpectSame(const std::vector<ModelRecord>& actual) const {
    ASSERT_EQ(actual.size(), records_.size());
    for (size_t i = 0; i < actual.size(); ++i)
      ASSERT_EQ(std::memcmp(&actual[i], &records_[i], sizeof(ModelRecord)), 0) << i;
  }

  ModelKey key_;
  std::vector<ModelRecord> records_;
};

#endif  // XJOR_TESTS_SORTED_TABLE_MODEL_H_
