// Where the coder takes its bytes from and where it puts them.
#ifndef CODEC_BYTE_STREAM_H_
#define CODEC_BYTE_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace nub {

// Size of the coder's input and output buffers.
inline constexpr size_t kIoBlock = 25600;

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills up to `capacity` bytes; returns how many (0 at the end), -1 on error.
  virtual long read(uint8_t* buffer, size_t capacity) = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Takes all `size` bytes; false when they could not be written.
  virtual bool write(const uint8_t* data, size_t size) = 0;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> data) : data_(data) {}
  long read(uint8_t* buffer, size_t capacity) override;

 private:
  std::span<const uint8_t> data_;
  size_t pos_ = 0;
};

class VectorSink final : public ByteSink {
 public:
  bool write(const uint8_t* data, size_t size) override;
  std::vector<uint8_t> bytes;
};

// Accepts and forgets everything.
class DiscardSink final : public ByteSink {
 public:
  bool write(const uint8_t*, size_t) override { return true; }
};

// Reads the byte range [offset, offset + length) of a file descriptor.
class FileRangeSource final : public ByteSource {
 public:
  FileRangeSource(int fd, uint64_t offset, uint64_t length)
      : fd_(fd), offset_(offset), remaining_(length) {}
  long read(uint8_t* buffer, size_t capacity) override;

 private:
  int fd_;
  uint64_t offset_;
  uint64_t remaining_;
};

// Reads a file descriptor from offset 0 to its end.
class FileSource final : public ByteSource {
 public:
  explicit FileSource(int fd) : fd_(fd) {}
  long read(uint8_t* buffer, size_t capacity) override;

 private:
  int fd_;
  uint64_t offset_ = 0;
};

// Writes at the descriptor's current position.
class FileSink final : public ByteSink {
 public:
  explicit FileSink(int fd) : fd_(fd) {}
  bool write(const uint8_t* data, size_t size) override;

 private:
  int fd_;
};

// Writes at consecutive offsets from `offset` on, leaving the position alone.
class FileOffsetSink final : public ByteSink {
 public:
  FileOffsetSink(int fd, uint64_t offset) : fd_(fd), offset_(offset) {}
  bool write(const uint8_t* data, size_t size) override;

 private:
  int fd_;
  uint64_t offset_;
};

// pread/pwrite that retry short transfers and interrupted calls. read_at
// returns the bytes read (short only at the end of the file) or -1.
long read_at(int fd, uint8_t* buffer, size_t size, uint64_t offset);
bool write_at(int fd, const uint8_t* data, size_t size, uint64_t offset);
bool write_all(int fd, const uint8_t* data, size_t size);

}  // namespace nub

#endif  // CODEC_BYTE_STREAM_H_
