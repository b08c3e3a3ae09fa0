// Accepts only text that CP949 can hold and, for text fields, that fits the
// field's width in bytes: text a record cannot take is refused as it is
// typed rather than cut or mangled when it is stored.
#ifndef KELVO_CP949_VALIDATOR_H_
#define KELVO_CP949_VALIDATOR_H_

#include <QValidator>

namespace kelvo {

class Cp949Validator : public QValidator {
 public:
  // maxBytes < 0: no length limit.
  Cp949Validator(int maxBytes, QObject* parent) : QValidator(parent), max_(maxBytes) {}
  void setMaxBytes(int maxBytes) { max_ = maxBytes; }
  State validate(QString& input, int& pos) const override;

 private:
  int max_;
};

}  // namespace kelvo

#endif  // KELVO_CP949_VALIDATOR_H_
