#pragma once
// Menu-layout storage settings and the usage clock: the seconds programs with these menus ran,
// kept in the registry. The player leaves the storage mode at 0, so nothing is stored; the
// clock is still read at start.
#include <cstdint>
#include <string>

class TMenuItem;
class TMenuItem2000;
class TCustomPopupMenu2000;
class TStream;

// 0 none (default), 1 registry, 2 binary file, 3 text file, 4 XML file.
uint8_t MenuStorageMode();
void SetMenuStorageMode(uint8_t mode);
// The registry key and file pattern after "$(APPNAME)" and "$(APPDATA)" were replaced once.
const std::string& MenuOrderKey();
const std::string& MenuOrderPattern();
// Replaces the first "$(APPNAME)" (program name without extension) in key and pattern, and the
// first "$(APPDATA)" (the user's application-data folder) in the pattern.
void ExpandPathMacros(std::string& key, std::string& pattern);
// Stored seconds plus the seconds since the clock was read.
uint32_t MenuUsageClock();
// Reads "ElapsedTime" from the key without creating it (run once at start).
void ReadUsageClock();
// Mode 1 only: adds the seconds since the clock was read and writes "ElapsedTime" (REG_DWORD).
// Runs at the end of the program too.
void WriteUsageClock();
// EMenuError "Only items of type TMenuItem2000 can be stored" for other items; stores the
// item's menu when the storage mode is not 0.
void StoreMenuItem(TMenuItem* item);

// ---- Layout storage ----
// Stream forms: 1 binary (a component resource), 2 text, 3 XML. A layout is the menu's
// component stream: its options and its item tree. Reading keeps the items that the stream
// names (matched by Name, so handlers and references to them stay valid), makes the others,
// and frees the items it does not name; a damaged layout raises the converter's or reader's
// error and leaves the menu as it was.

// The storage file of a menu: the pattern with "$(MENU)" as its Name and the mode's extension.
std::string MenuFileName(const TCustomPopupMenu2000& menu);
// Mode 1 from the registry, modes 2 to 4 from the file when it exists; mode 0 nothing.
void LoadMenuOrder(TCustomPopupMenu2000* menu);
// Mode 1 into the registry, modes 2 to 4 into the file (its folder made, one level; when that
// fails nothing is saved); mode 0 or no menu nothing.
void SaveMenuOrder(TCustomPopupMenu2000* menu);
void ReadMenuFromFile(TCustomPopupMenu2000& menu, const std::string& fileName, int form);
void WriteMenuToFile(TCustomPopupMenu2000& menu, const std::string& fileName, int form);
void ReadMenuFromRegistry(TCustomPopupMenu2000& menu);
void WriteMenuToRegistry(TCustomPopupMenu2000& menu);
void WriteMenuToStream(TCustomPopupMenu2000& menu, TStream& stream, int form);
void ReadMenuFromStream(TCustomPopupMenu2000& menu, TStream& stream, int form);

// ---- Moving items by drag and drop ----
struct TMenuDragState {
    enum : int { NoTarget = -1, AppendTarget = -2 };
    TMenuItem* Dragged = nullptr;
    TMenuItem* Target = nullptr;  // an item, or none with TargetCode
    int TargetCode = NoTarget;    // used while Target is none
    TMenuItem* Previous = nullptr;
    TMenuItem* NewParent = nullptr;
};
TMenuDragState& MenuDragState();
// The current target becomes the previous one and item the target.
void SetDropTarget(TMenuItem* item);
// Ends a drag: with accept, a dragged item and a target, moves the item before the target (into
// NewParent when that differs from its parent) or to the end, and stores its menu. Dropping an
// item into its own submenu raises EMenuError "Cannot move menu item into it's own submenu".
// The drag state is reset in every case and the showing menu repainted.
void MoveMenuItem(bool accept);
