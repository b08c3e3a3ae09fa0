#include "deploy_messages.h"

namespace deploy {

QString messageText(int id) {
  switch (id) {
    case kMsgBadDisk:
      return QStringLiteral("설치하고자 하는 디스크에 잘 못이 있습니다.");
    case kMsgInsertDisk:
      return QStringLiteral("올바른 디스크를 넣으시오.");
    case kMsgOverwrite:
      return QStringLiteral("같은 이름의 파일(%s)이 있습니다. 겹쳐 쓰겠습니까?");
    case kMsgNoSpace:
      return QStringLiteral("설치할 디스크 공간이 부족합니다.");
    case kMsgCannotCreate:
      return QStringLiteral("지정한 등록부나 파일을 만들 수 없습니다.");
    case kMsgComplete:
      return QStringLiteral("설치가 완료되었습니다.");
    case kMsgIncomplete:
      return QStringLiteral("설치가 완전하게 이루어지지 않았습니다.");
    case kMsgAskCancel:
      return QStringLiteral("설치가 완전히 아루어지지 않은 상태에서 중단하겠습니까?");
    default:
      return {};
  }
}

QString defaultTitle() {
  return QStringLiteral("설치 작업");
}

}  // namespace deploy
