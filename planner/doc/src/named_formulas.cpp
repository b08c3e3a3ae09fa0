#include "kelvo/named_formulas.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "field_text.h"
#include "xJorDbm2.h"

namespace kelvo {
namespace {

// List, kind, then the title: entries are unique per title within a list.
constexpr KeyDesc kKey[] = {7, 7, 11, 39, 0};

// The working file "a20", open while the object lives.
class FormulaFile {
 public:
  // Opens the file; with `create`, makes it when it does not exist yet.
  FormulaFile(ProjectDb* db, bool create) {
    const std::string path = std::string(db->space.path, db->space.stemLength) + kNamedFormulaFile;
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
      open_ = xiOpenTb(nullptr, &t_, path.c_str(), sizeof(NamedFormula), kKey) == 1;
    else if (create)
      open_ = xiOpenTb(&db->space, &t_, kNamedFormulaFile, sizeof(NamedFormula), kKey) == 1;
  }
  ~FormulaFile() {
    if (open_) xCloseFile(&t_.handle);
  }
  FormulaFile(const FormulaFile&) = delete;
  FormulaFile& operator=(const FormulaFile&) = delete;

  bool open() const { return open_; }
  IndexTable* table() { return &t_; }

  bool read(uint32_t at, NamedFormula* f) {
    t_.current = at;
    if (xiGet(&t_, f) != 1) return false;
    f->title[sizeof f->title - 1] = 0;
    f->formula[sizeof f->formula - 1] = 0;
    return true;
  }

 private:
  IndexTable t_{};
  bool open_ = false;
};

NamedFormula keyOf(uint16_t list, uint16_t kind, const std::string& title) {
  NamedFormula k;
  k.list = list;
  k.kind = kind;
  std::memcpy(k.title, title.data(), std::min(title.size(), sizeof k.title - 1));
  return k;
}

}  // namespace

int namedFormulaKind(int viewKind) {
  if (viewKind >= 0 && viewKind <= 8) return viewKind;
  switch (viewKind) {
    case 9:
      return 0;
    case 10:
      return 1;
    case 14:
      return 4;
    case 15:
      return 7;
    case 32:
    case 33:
      return 5;
    case 34:
      return 6;
    default:
      return -1;
  }
}

std::vector<NamedFormula> readNamedFormulas(ProjectDb* db, uint16_t list, uint16_t kind) {
  std::vector<NamedFormula> out;
  FormulaFile file(db, false);
  if (!file.open()) return out;
  NamedFormula f;
  for (uint32_t i = 0; i < file.table()->count; ++i)
    if (file.read(i, &f) && f.list == list && f.kind == kind) out.push_back(f);
  return out;
}

bool registerNamedFormula(ProjectDb* db, NamedFormula f) {
  const std::string title = trimBlanks(std::string_view(f.title, strnlen(f.title, sizeof f.title)));
  if (title.empty()) return false;
  std::memset(f.title, 0, sizeof f.title);
  std::memcpy(f.title, title.data(), std::min(title.size(), sizeof f.title - 1));
  f.formula[sizeof f.formula - 1] = 0;
  // The bytes after each text's NUL are zero, so that equal entries are
  // equal files.
  const size_t formulaLength = strnlen(f.formula, sizeof f.formula);
  std::memset(f.formula + formulaLength, 0, sizeof f.formula - formulaLength);
  FormulaFile file(db, true);
  if (!file.open()) return false;
  if (xiSeek(file.table(), &f) == 1) return xiPut(file.table(), &f) == 1;
  return xiIns(file.table(), &f) == 1;
}

bool deleteNamedFormula(ProjectDb* db, uint16_t list, uint16_t kind, const std::string& title) {
  FormulaFile file(db, false);
  if (!file.open()) return false;
  const NamedFormula key = keyOf(list, kind, trimBlanks(title));
  return xiSeek(file.table(), &key) == 1 && xiDel(file.table()) == 1;
}

int editNamedFormulas(ProjectDb* db, const std::function<bool(NamedFormula&)>& edit) {
  FormulaFile file(db, false);
  if (!file.open()) return 0;
  int written = 0;
  NamedFormula f;
  for (uint32_t i = 0; i < file.table()->count; ++i) {
    if (!file.read(i, &f) || !edit(f)) continue;
    file.table()->current = i;
    if (xiPut(file.table(), &f) == 1) ++written;
  }
  return written;
}

}  // namespace kelvo
