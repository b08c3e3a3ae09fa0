// Opening web and mail addresses, shared by xGotoURL and the hyperlink label.
#ifndef XJORLIB_ADDRESS_H_
#define XJORLIB_ADDRESS_H_

#include <QString>

class QWidget;

namespace xjor {

// Opens address by starting xdg-open with it. Returns true when a handler
// took the address (the opener ended well, or still runs after 5 s); blank
// text, no opener, or an opener that reports failure give false.
bool openAddress(const QString& address);

// Beeps and shows "Can not open link." with an exclamation icon over parent.
void reportUnopenableLink(QWidget* parent);

}  // namespace xjor

#endif  // XJORLIB_ADDRESS_H_
