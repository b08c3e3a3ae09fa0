// The common UI library xJorLib: splash window and about box, address
// opening, folder, font and colour pickers in the program's measuring unit
// (0.1 mm), text measuring, the single-instance test and password scrambling.
//
// Window handles are QWidget pointers (null = no owner). Texts are UTF-8
// unless a function says otherwise; text taken from records (face names,
// measured text, password keys) is CP949 bytes, as the records hold it.
#ifndef XJORLIB_H_
#define XJORLIB_H_

#include <stdint.h>

#include "xJorImg.h"

#ifdef __cplusplus
class QWidget;
extern "C" {
#else
typedef struct QWidget QWidget;
#endif

// 0x00BBGGRR, as colours are stored in every record.
typedef uint32_t COLORREF;

#define LF_FACESIZE 32
#define XJOR_MAX_PATH 260

// The 60-byte logical-font record stored in project files. lfHeight is in
// 0.1 mm: negative = em size, positive = cell height. lfFaceName is CP949.
#pragma pack(push, 1)
typedef struct LOGFONT {
  int32_t lfHeight;
  int32_t lfWidth;
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;  // 0 = normal, 400 normal, 700 bold
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char lfFaceName[LF_FACESIZE];
} LOGFONT;
#pragma pack(pop)

// --- Splash window and about box -------------------------------------------

// Shows the splash picture (file path, any of the picture formats) over
// parent. At most one splash exists: while one shows, this returns it
// unchanged. Sets *visibleFlag to 1 while the splash shows and back to 0
// when it goes away (after 2500 ms, on xHideSplashScreen, or when it is
// destroyed). Returns nonzero if a splash is showing.
int32_t xShowSplashScreen(QWidget* parent, const char* picturePath, int32_t* visibleFlag);
// Closes the splash if one is showing and repaints its parent.
void xHideSplashScreen(void);
// Shows the modal about box: the picture, an OK button "확인" and two
// hyperlinks, webCaption (a web address) and mailCaption (a mailto: address).
void xShowAboutBox(QWidget* parent, const char* picturePath, const char* webCaption,
                   const char* mailCaption);

// --- Addresses ---------------------------------------------------------------

// Opens a web or mail address (or a file) with the desktop's handler through
// xdg-open. Returns nonzero when a handler took it; on failure (no opener,
// or no program for the address) it beeps and shows "Can not open link."
// with an exclamation icon, and returns 0.
int32_t xGotoURL(const char* address);

// --- Pickers -------------------------------------------------------------------

// Lets the user pick a folder, starting at initialFolder (a trailing '/' or
// '\' ignored), under title. path is a buffer of XJOR_MAX_PATH bytes: on
// success it receives the folder with a trailing '/' added when it ends in
// neither '/' nor '\' and 1 is returned. Cancel, or a folder whose path does
// not fit the buffer, returns 0 and leaves the buffer alone.
int32_t xGetFolderFormDlg(QWidget* owner, char* path, const char* initialFolder, const char* title);

// Point size of a font whose height is height (0.1 mm), rounded to the
// nearest point, computed through screen pixels.
int32_t xFontSize(int32_t height);

// Font dialog with a colour button, initialised from *font and *color. On OK
// stores the chosen font (height in 0.1 mm), colour, face name (CP949, into
// LF_FACESIZE bytes) and point size, repaints owner and returns 1. Cancel
// returns 0 and leaves every output alone. faceName and pointSize may be null.
int32_t xFontDlg(QWidget* owner, LOGFONT* font, COLORREF* color, char* faceName,
                 int32_t* pointSize);

// Measures length bytes of CP949 text, lines split at CR LF, a lone CR or a
// lone LF, in font. Returns the widest line's width in the low 32 bits and
// the sum of the line heights in the high 32 bits, both in 0.1 mm. Empty
// text measures 0 by 0.
uint64_t xGetTextExtent(const char* text, int32_t length, const LOGFONT* font);

// Colour dialog initialised with *color; on OK stores the colour, repaints
// owner and returns 1, else returns 0.
int32_t xColorDlg(QWidget* owner, COLORREF* color);

// --- Single instance --------------------------------------------------------

// Asks the running instance named className (one per user) to raise its
// window and take this process's command line. Returns 1 if there is one;
// otherwise this process becomes that instance (a stale name of a crashed
// instance is cleared) and 0 is returned. The running instance raises the
// top-level widget whose objectName is className, restoring it if minimised,
// and then any modal dialog on it.
int32_t xIsRunningProcess(const char* className);

// Called in the running instance with the command line of each later start
// (arguments after the program name, UTF-8, separated by '\n'; arguments
// that do not start with '-' are file names made absolute in the later
// start's folder). The calls come from the event loop, one at a time: a
// start that arrives while the handler runs (in a dialog, say) waits until
// it returns.
typedef void (*XRunningProcessHandler)(const char* commandLine, void* context);
void xSetRunningProcessHandler(XRunningProcessHandler handler, void* context);

// --- Scrambling -----------------------------------------------------------------

// block is 9 bytes. flag 0: block holds plain text (at most 8 bytes used),
// which is scrambled in place with the first 8 bytes of key (CP949). flag
// nonzero: block holds scrambled bytes, unscrambled in place. The ninth byte
// is not scrambled. The operation is its own inverse.
void xEncodePassword(char* block, const char* key, int32_t flag);
// 1 if the stored 9-byte block unscrambles under key to exactly typed.
int32_t xCheckPassword(const char* typed, const char* stored, const char* key);
// XORs byte i of buffer with the low byte of seed + i; applied twice it
// restores the buffer.
void xEncodeString(char* buffer, int32_t length, int32_t seed);

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(LOGFONT) == 60, "logical-font record is 60 bytes");
#endif

#endif  // XJORLIB_H_
