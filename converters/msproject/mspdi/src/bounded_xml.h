// A streaming XML reader with bounds, and the small element trees it hands
// out one record at a time.
//
// The reader takes the XML that exchange files use: elements, attributes
// (passed over), character data with the five predefined entities and
// character references, CDATA sections, comments and processing
// instructions, in UTF-8. A document type declaration is refused, so no
// entity is ever declared or expanded; namespace prefixes are dropped from
// element names.
#ifndef KVMSP_BOUNDED_XML_H_
#define KVMSP_BOUNDED_XML_H_

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kvmspdi.h"

namespace kvmsp {

// An element with its text (cut to the text limit) and child elements.
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
// (the collection's name). fn returns false to stop reading there.
class BoundedReader {
 public:
  using RecordFn = std::function<bool(const std::string& collection, Node& record)>;

  explicit BoundedReader(const Limits& limits) : limits_(limits) {}
  ~BoundedReader();
  BoundedReader(const BoundedReader&) = delete;
  BoundedReader& operator=(const BoundedReader&) = delete;

  bool openFile(const std::string& path);
  void openBuffer(const char* data, size_t size);

  // Reads the document up to its end or until fn stops. The root element
  // must be named root. False, with error(), when the XML read is damaged
  // or meets a limit.
  bool read(const std::string& root, const std::vector<std::string>& collections,
            const RecordFn& fn);
  const std::string& error() const { return error_; }

 private:
  enum Token { kStart, kEnd, kText, kDone, kInvalid };

  void fail(const std::string& why);
  bool damaged(const std::string& why);
  // Makes at least n bytes from pos_ available; false at the end of input.
  bool ensure(size_t n);
  // The offset of needle at or after from (counted from pos_), reading more
  // input as needed; npos at the end of input or past the token limit.
  size_t find(std::string_view needle, size_t from);
  // Consumes n bytes of input, counting lines.
  void consume(size_t n);
  Token next();
  Token markup();
  bool text(size_t end);
  bool readElement(Node& node);
  bool countRecord();

  const Limits& limits_;
  FILE* file_ = nullptr;
  const char* buffer_ = nullptr;
  size_t bufferSize_ = 0, fed_ = 0, records_ = 0, elements_ = 0, line_ = 1;
  std::string in_;  // input read and not yet consumed from pos_
  size_t pos_ = 0;
  bool ended_ = false, rootClosed_ = false, selfClosed_ = false;
  std::vector<std::string> open_;  // names of the open elements
  std::string name_, text_;        // the current token's name or text
  std::string error_;
};

}  // namespace kvmsp

#endif  // KVMSP_BOUNDED_XML_H_
