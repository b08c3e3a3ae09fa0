// The workbook's parts: the package relationships, the sheet list, shared
// strings and the styles that mark date cells.
#include <cstring>

#include "string_item.h"
#include "xlsx_parts.h"

namespace kvxlsx {

namespace {

std::string attr(QXmlStreamReader& x, const char* name) {
  return x.attributes().value(QLatin1StringView(name)).toUtf8().toStdString();
}

bool endsWith(const std::string& s, const char* tail) {
  const size_t n = strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

std::string folderOf(const std::string& member) {
  const size_t slash = member.rfind('/');
  return slash == std::string::npos ? std::string() : member.substr(0, slash + 1);
}

// Reads member path token by token, handing each to visit. False with error
// when the member is missing, damaged or too large, or when visit returns
// false (having set error itself).
template <typename Visit>
bool eachToken(MemberStream& s, const std::string& path, std::string& error, Visit visit) {
  if (!s.open(path)) {
    error = s.error();
    return false;
  }
  for (auto t = s.next(); t != QXmlStreamReader::EndDocument; t = s.next()) {
    if (t == QXmlStreamReader::Invalid) {
      error = s.error();
      return false;
    }
    if (!visit(t, s.xml())) return false;
  }
  return true;
}

struct Relationship {
  std::string id, type, target;
};

// The relationships of part `member` (its _rels/<name>.rels), targets
// resolved to member names. A missing relationship part gives none.
bool readRelationships(zip_t* zip, const Limits& limits, const std::string& member,
                       std::vector<Relationship>& out, std::string& error) {
  const std::string folder = folderOf(member);
  const std::string rels = folder + "_rels/" + member.substr(folder.size()) + ".rels";
  if (zip_name_locate(zip, rels.c_str(), 0) < 0) return true;
  MemberStream s(zip, limits);
  return eachToken(s, rels, error, [&](auto t, QXmlStreamReader& x) {
    if (t == QXmlStreamReader::StartElement && x.name() == u"Relationship") {
      Relationship r{attr(x, "Id"), attr(x, "Type"), attr(x, "Target")};
      if (attr(x, "TargetMode") != "External") {
        r.target = resolveTarget(folder, r.target);
        out.push_back(std::move(r));
      }
    }
    return true;
  });
}

}  // namespace

std::string resolveTarget(const std::string& folder, const std::string& target) {
  std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : folder + target;
  // Fold "x/../" steps, as a relative target may climb out of its folder.
  for (size_t up; (up = path.find("/../")) != std::string::npos;) {
    const size_t start = up == 0 ? std::string::npos : path.rfind('/', up - 1);
    path.erase(start == std::string::npos ? 0 : start + 1,
               up + 4 - (start == std::string::npos ? 0 : start + 1));
  }
  return path;
}

Workbook::Impl::~Impl() {
  if (zip) zip_discard(zip);
}

bool Workbook::Impl::load(std::string& error) {
  std::vector<Relationship> package;
  if (!readRelationships(zip, limits, "", package, error)) return false;
  std::string workbook = "xl/workbook.xml";
  for (const Relationship& r : package)
    if (endsWith(r.type, "/officeDocument")) workbook = r.target;
  if (zip_name_locate(zip, workbook.c_str(), 0) < 0) {
    error = "no workbook in the file";
    return false;
  }
  std::string sharedPath, stylesPath;
  if (!readWorkbook(workbook, sharedPath, stylesPath, error)) return false;
  if (!sharedPath.empty() && zip_name_locate(zip, sharedPath.c_str(), 0) >= 0 &&
      !readShared(sharedPath, error))
    return false;
  if (!stylesPath.empty() && zip_name_locate(zip, stylesPath.c_str(), 0) >= 0 &&
      !readStyles(stylesPath, error))
    return false;
  return true;
}

bool Workbook::Impl::readWorkbook(const std::string& path, std::string& sharedPath,
                                  std::string& stylesPath, std::string& error) {
  std::vector<Relationship> rels;
  if (!readRelationships(zip, limits, path, rels, error)) return false;
  sharedPath = folderOf(path) + "sharedStrings.xml";
  stylesPath = folderOf(path) + "styles.xml";
  for (const Relationship& r : rels) {
    if (endsWith(r.type, "/sharedStrings")) sharedPath = r.target;
    if (endsWith(r.type, "/styles")) stylesPath = r.target;
  }
  MemberStream s(zip, limits);
  const bool read = eachToken(s, path, error, [&](auto t, QXmlStreamReader& x) {
    if (t != QXmlStreamReader::StartElement) return true;
    if (x.name() == u"workbookPr") {
      const std::string v = attr(x, "date1904");
      date1904 = v == "1" || v == "true";
    } else if (x.name() == u"sheet") {
      // The relationship id is the only attribute in the relationships
      // namespace; its prefix is the writer's choice.
      std::string id;
      for (const QXmlStreamAttribute& a : x.attributes())
        if (a.name() == u"id") id = a.value().toUtf8().toStdString();
      std::string target;
      for (const Relationship& r : rels)
        if (r.id == id) target = r.target;
      names.push_back(attr(x, "name"));
      targets.push_back(target);
    }
    return true;
  });
  if (!read) return false;
  if (names.empty()) {
    error = "the workbook has no sheets";
    return false;
  }
  return true;
}

bool Workbook::Impl::readShared(const std::string& path, std::string& error) {
  MemberStream s(zip, limits);
  return eachToken(s, path, error, [&](auto t, QXmlStreamReader& x) {
    if (t == QXmlStreamReader::StartElement && x.name() == u"si") {
      shared.add(stringItem(s, limits.cellBytes));
      if (shared.bytes() > limits.sharedBytes) {
        error = path + ": too many shared strings";
        return false;
      }
    }
    return true;
  });
}

bool Workbook::Impl::readStyles(const std::string& path, std::string& error) {
  MemberStream s(zip, limits);
  std::vector<std::pair<int, std::string>> formats;  // custom number formats
  bool inCellXfs = false;
  int xf = 0;
  return eachToken(s, path, error, [&](auto t, QXmlStreamReader& x) {
    if (t == QXmlStreamReader::EndElement && x.name() == u"cellXfs") inCellXfs = false;
    if (t != QXmlStreamReader::StartElement) return true;
    if (x.name() == u"numFmt") {
      formats.emplace_back(atoi(attr(x, "numFmtId").c_str()), attr(x, "formatCode"));
    } else if (x.name() == u"cellXfs") {
      inCellXfs = true;
    } else if (inCellXfs && x.name() == u"xf") {
      const int id = atoi(attr(x, "numFmtId").c_str());
      std::string code;
      for (const auto& f : formats)
        if (f.first == id) code = f.second;
      if (isDateFormat(id, code)) dateStyles.insert(xf);
      ++xf;
    }
    return true;
  });
}

bool isDateFormat(int id, const std::string& code) {
  if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
      (id >= 50 && id <= 58))
    return true;
  if (id < 164 || code.empty()) return false;
  // Leave out quoted texts, escaped characters and bracketed parts (colours,
  // conditions, locales); what remains shows a date when it has date or
  // time letters.
  for (size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"') {
      const size_t end = code.find('"', i + 1);
      if (end == std::string::npos) return false;
      i = end;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;
    } else if (c == '[') {
      const size_t end = code.find(']', i + 1);
      if (end == std::string::npos) return false;
      i = end;
    } else if (strchr("dDmMyYhHsS", c)) {
      return true;
    } else if (c == ';') {
      return false;  // only the first section counts
    }
  }
  return false;
}

Workbook::Workbook() = default;
Workbook::~Workbook() = default;

bool Workbook::open(const std::string& path, const Limits& limits) {
  impl_ = std::make_unique<Impl>();
  impl_->limits = limits;
  error_.clear();
  int code = 0;
  impl_->zip = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (!impl_->zip) {
    error_ = code == ZIP_ER_NOENT || code == ZIP_ER_OPEN ? "cannot open the file"
                                                         : "not a workbook (no zip file)";
  } else if (impl_->load(error_)) {
    return true;
  }
  impl_.reset();
  return false;
}

bool Workbook::openBuffer(const void* data, size_t size, const Limits& limits) {
  impl_ = std::make_unique<Impl>();
  impl_->limits = limits;
  error_.clear();
  impl_->buffer.assign(static_cast<const char*>(data), static_cast<const char*>(data) + size);
  zip_error_t ze;
  zip_error_init(&ze);
  zip_source_t* src = zip_source_buffer_create(impl_->buffer.data(), impl_->buffer.size(), 0, &ze);
  if (src) impl_->zip = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &ze);
  if (src && !impl_->zip) zip_source_free(src);
  zip_error_fini(&ze);
  if (!impl_->zip) {
    error_ = "not a workbook (no zip file)";
  } else if (impl_->load(error_)) {
    return true;
  }
  impl_.reset();
  return false;
}

size_t Workbook::sheetCount() const {
  return impl_ ? impl_->names.size() : 0;
}

std::string Workbook::sheetName(size_t i) const {
  return impl_ && i < impl_->names.size() ? impl_->names[i] : std::string();
}

bool Workbook::readRows(size_t sheet, int firstColumn, int columnCount, const RowFn& fn) {
  error_.clear();
  if (!impl_ || sheet >= impl_->names.size()) {
    error_ = "no such sheet";
    return false;
  }
  return impl_->readRows(sheet, firstColumn, columnCount, fn, error_);
}

}  // namespace kvxlsx
