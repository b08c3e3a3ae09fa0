// Helpers shared by the codec tests: scratch folders, files and sample data.
#ifndef CODEC_TESTS_TEST_SUPPORT_H_
#define CODEC_TESTS_TEST_SUPPORT_H_

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace codec_test {

using Bytes = std::vector<uint8_t>;

// A fresh folder under /tmp, removed with its contents afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = "/tmp/codec_test_XXXXXX";
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline void write_file(const std::string& path, const Bytes& data) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An open descriptor closed on destruction.
class Fd {
 public:
  Fd(const std::string& path, int flags, mode_t mode = 0644)
      : fd_(::open(path.c_str(), flags, mode)) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

inline Bytes random_bytes(size_t size, uint32_t seed) {
  std::mt19937 gen(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<uint8_t>(gen());
  return out;
}

// Readable text with the repetition of real documents: words from a small
// vocabulary, numbers and line breaks.
inline Bytes sample_text(size_t size, uint32_t seed) {
  static const char* const kWords[] = {
      "the",      "schedule", "activity", "resource", "calendar", "float", "relation",
      "finish",   "start",    "duration", "planned",  "actual",   "cost",  "concrete",
      "formwork", "steel",    "level",    "facility", "work",     "type",  "progress",
      "stage",    "summary",  "period",   "of",       "and",      "to",    "in"};
  std::mt19937 gen(seed);
  Bytes out;
  out.reserve(size + 32);
  while (out.size() < size) {
    const unsigned pick = gen() % 40;
    std::string word;
    if (pick < 28) {
      word = kWords[pick];
    } else if (pick < 36) {
      word = std::to_string(gen() % 100000);
    } else {
      word = "\n";
    }
    out.insert(out.end(), word.begin(), word.end());
    if (word != "\n") out.push_back(' ');
  }
  out.resize(size);
  return out;
}

}  // namespace codec_test

#endif  // CODEC_TESTS_TEST_SUPPORT_H_
