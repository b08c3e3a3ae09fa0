// The per-user local socket through which a second start reaches the first.
#ifndef XJORLIB_SINGLE_INSTANCE_H_
#define XJORLIB_SINGLE_INSTANCE_H_

#include <QString>

namespace xjor {

// Path of the socket of the instance named className: in the user's runtime
// folder, which only the user can open. Characters other than letters,
// digits, '-' and '_' in the name become '_'.
QString instanceSocketPath(const QString& className);

}  // namespace xjor

#endif  // XJORLIB_SINGLE_INSTANCE_H_
