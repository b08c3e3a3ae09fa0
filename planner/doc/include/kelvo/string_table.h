// The program's string table: every message and caption, keyed by its
// number. Message numbers are those the engine, the store and the document
// return (20000-20048, 21000-21025); captions keep the numbers of the
// resources they belong to (window captions 496-506, command texts by
// command id, dialog titles by template number, dialog labels by template
// number x 100 + label index). Document messages without a number of
// their own are kept from 22000 on.
#ifndef KELVO_STRING_TABLE_H_
#define KELVO_STRING_TABLE_H_

namespace kelvo {

// The UTF-8 text of string `id`, or null when the table has none.
const char* stringText(int id);

}  // namespace kelvo

#endif  // KELVO_STRING_TABLE_H_
