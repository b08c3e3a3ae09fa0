// The classification as a tree: levels of codes, the items of the tree built
// from the code index, the direct children of a node and the renumbering of
// a copied branch. No widgets: the tree view and its tests share these.
#ifndef KELVO_CLASS_TREE_H_
#define KELVO_CLASS_TREE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/plan_doc.h"

namespace kelvo {

// The 0-based level of code under def: the level whose start + length equals
// the code's length. -1 when no level has that length (an empty code too).
int classCodeLevel(const ClassDef& def, const std::string& code);

// The number of characters a code of level has (start + length); 0 outside
// the defined levels.
int classCodeLength(const ClassDef& def, int level);

// The part of code for its own level (its last start..start+length
// characters); the whole code when its length matches no level.
std::string classLevelPart(const ClassDef& def, const std::string& code);

// One code of a classification table as the tree reads it.
struct ClassCode {
  std::string code;   // CP949, without padding
  std::string title;  // CP949
  int32_t record = -1;
};

// The codes of classification cls (0 work types, 1 facilities) in code order,
// from its code index, with their titles. Entries whose record cannot be read
// are left out. The table's current record is kept.
std::vector<ClassCode> readClassCodes(ProjectDb& db, int cls);

// One item of the tree, in the order it is inserted.
struct ClassTreeItem {
  int32_t record = -1;
  int parent = -1;   // index of the parent item in the list; -1 = the root
  int level = -1;    // -1: a code whose length matches no level
  std::string text;  // own level part, a blank, the title
};

// The items of the tree over codes (in code order). An item hangs under the
// item of its first start(level) characters when that code is in the list;
// an orphan, or a code of no level, hangs under the root and shows its whole
// code.
std::vector<ClassTreeItem> buildClassTreeItems(const ClassDef& def,
                                               const std::vector<ClassCode>& codes);

// The records of the codes of childLevel that begin with prefix, in code
// order, from a code index (CodeEntry records sorted by code). Descendants
// of a found code are jumped over. Empty when childLevel is not a defined
// level.
std::vector<int32_t> childCodeRecords(const MemTable& codes, const ClassDef& def, int childLevel,
                                      const std::string& prefix);

// The codes below code (those that begin with it and are longer), in code
// order, from a code index. Titles are not read.
std::vector<ClassCode> codesBelow(const MemTable& codes, const std::string& code);

// code with its first oldPrefixLength characters replaced by newPrefix.
std::string renumberedCode(const std::string& code, size_t oldPrefixLength,
                           const std::string& newPrefix);

}  // namespace kelvo

#endif  // KELVO_CLASS_TREE_H_
