#pragma once
// T_AM2000_DragWindow: a small top-most window with a picture of one menu row. It follows the
// pointer while an item is dragged between menus, and stands in for a chosen row while it
// fades out after a command (the selection fade). One exists at a time.
#include "framework/Forms.h"

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

class TMenuItem;

class T_AM2000_DragWindow : public TForm {
public:
    // The picture is the source's rectangle (a menu window's back buffer); the window takes the
    // rectangle's size and becomes the current drag window.
    T_AM2000_DragWindow(TMenuItem* item, HDC source, const RECT& sourceRect);
    ~T_AM2000_DragWindow() override;

    // Places the window without showing it.
    void PlaceAt(int left, int top);
    // Shows it where it is, above everything, without activation (once made visible).
    void ShowAt();
    void HideWindow();
    // The pointer moved during a drag: tells the menu under it, then follows by the same amount.
    void Track();
    // Layered windows take it as their alpha, otherwise the picture is blended over the desktop.
    void SetOpacity(int percent);
    int Opacity() const { return FOpacity; }
    TMenuItem* Item() const { return FItem; }
    bool Showing() const { return FVisible; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void PaintTo(HDC dc);
    TMenuItem* FItem;
    int FWidth, FHeight;
    std::vector<uint8_t> FPicture, FDesktop;  // 24-bit rows, bottom-up
    POINT FLastCursor{};
    bool FVisible = false;
    int FOpacity = 100;
};

T_AM2000_DragWindow* CurrentDragWindow();
// True while a menu item is being dragged.
bool IsDragActive();
// The buttons that drag items: the left one unless changed.
void SetDragButtons(std::initializer_list<TMouseButton> buttons);
// True when `button` drags items, the left button is down and an item is being dragged.
bool CanStartDrag(TMouseButton button);
// The pointer is over a menu that takes the item: arrow cursor, the window shows.
void DragAccept();
// Nowhere to drop: the no-drop cursor, no drop position, the window hides.
void DragReject();
// The drop position in the menu under the pointer (-1 none), and the cursor of before the drag.
int DragDropPosition();
// The menu window under the pointer at the last track, or none.
HWND DragTargetWindow();
void EndDragFeedback();
