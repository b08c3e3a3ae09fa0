// Opening web and mail addresses, shared by xGotoURL and the hyperlink label.
#ifndef XJORLIB_ADDRESS_H_
#define XJORLIB_ADDRESS_H_

#include <QString>

class QWidget;

namespace xjor {

// Opens address with the desktop's handler, else by starting xdg-open with
// it. Returns true when the address was handed to a handler. Blank text fails.
bool openAddress(const QString& address);

// Beeps and shows "Can not open link." with an exclamation icon over parent.
void reportUnopenableLink(QWidget* parent);

}  // namespace xjor

#endif  // XJORLIB_ADDRESS_H_
