// The Microsoft Project XML reader on arbitrary input; what it reads is
// written out again and read back, which must succeed.
#include <stddef.h>
#include <stdint.h>

#include <QBuffer>
#include <cstdlib>
#include <string>

#include "kvmspdi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kvmsp::Limits limits;
  limits.records = 20000;
  kvmsp::Project project;
  std::string error;
  if (!kvmsp::readBuffer(reinterpret_cast<const char*>(data), size, project, error, limits))
    return 0;
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  if (!kvmsp::write(project, out)) abort();
  kvmsp::Project again;
  const QByteArray& xml = out.data();
  if (!kvmsp::readBuffer(xml.constData(), static_cast<size_t>(xml.size()), again, error)) abort();
  return 0;
}
