// The installer's string table: its messages by number and its title.
#ifndef DEPLOY_DEPLOY_MESSAGES_H_
#define DEPLOY_DEPLOY_MESSAGES_H_

#include <QString>

namespace deploy {

enum Message {
  kMsgBadDisk = 16,       // the script is missing, unreadable or malformed
  kMsgInsertDisk = 17,    // the check file of a disk change is missing
  kMsgOverwrite = 18,     // a destination exists and the rule says ask (%s = file name)
  kMsgNoSpace = 19,       // not enough free space for SpaceNeeded
  kMsgCannotCreate = 20,  // the target folder cannot be made
  kMsgComplete = 21,      // every counted file was installed
  kMsgIncomplete = 22,    // fewer files than FileCount, a failed file, or cancelled
  kMsgAskCancel = 23      // cancel pressed during copying
};

// The text of message `id` (16-23); an empty text for any other number.
QString messageText(int id);

// The application title: the caption used when the script names none.
QString defaultTitle();

}  // namespace deploy

#endif  // DEPLOY_DEPLOY_MESSAGES_H_
