// A streaming XML reader with bounds, and the small element trees it hands
// out one record at a time.
#ifndef KVMSP_BOUNDED_XML_H_
#define KVMSP_BOUNDED_XML_H_

#include <QXmlStreamReader>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kvmspdi.h"

namespace kvmsp {

// An element with its text (cut to the text limit) and child elements;
// attributes are not kept (MSPDI has none that matter).
struct Node {
  std::string name, text;
  std::vector<Node> children;

  // The first child named name, or null.
  const Node* child(std::string_view name) const;
  // The text of the first child named name ("" when there is none).
  const std::string& field(std::string_view name) const;
};

// Reads a document whose root element's children are either single records
// or collections of records. fn gets every record as a tree: a child of the
// root that is not a collection (collection ""), or a child of a collection
// (the collection's name). fn returns false to stop with its own error.
class BoundedReader {
 public:
  using RecordFn = std::function<bool(const std::string& collection, Node& record)>;

  explicit BoundedReader(const Limits& limits) : limits_(limits) {}
  ~BoundedReader();
  BoundedReader(const BoundedReader&) = delete;
  BoundedReader& operator=(const BoundedReader&) = delete;

  bool openFile(const std::string& path);
  void openBuffer(const char* data, size_t size);

  // Reads the whole document. The root element must be named root. False,
  // with error(), when the XML is damaged, meets a limit or fn stops.
  bool read(const std::string& root, const std::vector<std::string>& collections,
            const RecordFn& fn);
  const std::string& error() const { return error_; }
  void fail(const std::string& why) {
    if (error_.empty()) error_ = why;
  }

 private:
  bool refill();
  QXmlStreamReader::TokenType next();
  bool readElement(Node& node);
  // Counts one more record against the limit (and starts its element count).
  bool countRecord();

  const Limits& limits_;
  QXmlStreamReader xml_;
  FILE* file_ = nullptr;
  const char* buffer_ = nullptr;
  size_t bufferSize_ = 0, fed_ = 0, unparsed_ = 0, records_ = 0, elements_ = 0;
  int depth_ = 0;
  bool ended_ = false;
  std::string error_;
};

}  // namespace kvmsp

#endif  // KVMSP_BOUNDED_XML_H_
