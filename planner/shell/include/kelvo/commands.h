// Commands by number: one QAction per command id in a registry, and a router
// that offers each command to a chain of targets (active view, document,
// frame, main window, application) for handling and for its enable and check
// state.
#ifndef KELVO_COMMANDS_H_
#define KELVO_COMMANDS_H_

#include <QHash>
#include <QObject>
#include <functional>
#include <vector>

class QAction;

namespace kelvo {

namespace cmd {
inline constexpr int kCancelState = 32768;
inline constexpr int kShapesInFront = 40019;
inline constexpr int kModifyData = 40021;
inline constexpr int kRefresh = 40022;
inline constexpr int kDeleteAtCursor = 40025;
inline constexpr int kWindowFirst = 40032;  // 40032 + window number
inline constexpr int kWindowLast = 40042;
inline constexpr int kEditBar = 40048;
inline constexpr int kOtherSummary = 40049;
inline constexpr int kLongCrosshair = 40053;
inline constexpr int kScheduleAnalysis = 40080;
inline constexpr int kBuildSummary = 40081;
inline constexpr int kNextStage = 40082;
inline constexpr int kSetTarget = 40083;
inline constexpr int kAutoItems = 40084;
inline constexpr int kActualWork = 40085;
inline constexpr int kRewriteCodes = 40089;
inline constexpr int kCalendar = 40096;
inline constexpr int kDateFormat = 40097;
inline constexpr int kDigits = 40100;
inline constexpr int kFileFields = 40101;
inline constexpr int kUserEnvironment = 40102;
inline constexpr int kProjectInfo = 40103;
inline constexpr int kPassword = 40104;
inline constexpr int kClassSystem = 40105;
inline constexpr int kUserSummaryItems = 40106;
inline constexpr int kProgressGuide = 40112;
inline constexpr int kOpenExternal = 40114;
inline constexpr int kSaveExternal = 40115;
inline constexpr int kConverters = 40116;
inline constexpr int kFormatFiles = 40117;
inline constexpr int kTechSupport = 40118;
inline constexpr int kCommandBar = 59392;
inline constexpr int kStatusBar = 59393;
inline constexpr int kNew = 57600;
inline constexpr int kOpen = 57601;
inline constexpr int kClose = 57602;
inline constexpr int kSave = 57603;
inline constexpr int kSaveAs = 57604;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kRecentFirst = 57616;  // 57616..57619
inline constexpr int kRecentLast = 57619;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;
inline constexpr int kContextHelp = 57669;
inline constexpr int kHelp = 57670;
inline constexpr int kNextPane = 57680;
inline constexpr int kPreviousPane = 57681;
inline constexpr int kOptionBarClassSystem = 10200;  // option-bar button of window 0
}  // namespace cmd

// Enable and check state of a command, filled in by the target that owns it.
struct CommandState {
  bool enabled = false;
  bool checkable = false;
  bool checked = false;
};

// Something that handles commands. Both calls return true when the target
// owns the command (the router then stops asking further targets).
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  virtual bool onCommand(int id) = 0;
  virtual bool updateCommand(int id, CommandState& state) = 0;
};

class CommandRouter : public QObject {
  Q_OBJECT
 public:
  using Chain = std::function<std::vector<CommandTarget*>()>;

  explicit CommandRouter(QObject* parent = nullptr);

  // The targets asked, in order, for each command; null entries are skipped.
  void setChain(Chain chain) { chain_ = std::move(chain); }
  const Chain& chain() const { return chain_; }

  // The active view, asked before the chain (null: none). A view clears it
  // when it goes away. A change brings the actions up to date once control
  // is back in the event loop.
  void setActiveView(CommandTarget* view);
  CommandTarget* activeView() const { return activeView_; }

  // The action of command id, made on first use with its string-table text
  // (command id = string id). Triggering it dispatches the command.
  QAction* action(int id);

  // Offers command id to the chain; returns false when nobody owns it or the
  // owner reports it disabled.
  bool dispatch(int id);

  // The state the chain reports for id (disabled when nobody owns it).
  CommandState state(int id) const;

  // Brings every registered action's enabled and checked state up to date.
  void refresh();
  // The same, once, when control is back in the event loop: for changes made
  // while targets are being built or torn down.
  void refreshSoon();

 private:
  std::vector<CommandTarget*> targets() const;

  Chain chain_;
  CommandTarget* activeView_ = nullptr;
  QHash<int, QAction*> actions_;
  bool refreshQueued_ = false;
};

// A menu text without its "(&X)" mnemonic, "&" and trailing "...", as tool
// tips show it.
QString plainCommandText(const QString& menuText);

}  // namespace kelvo

#endif  // KELVO_COMMANDS_H_
