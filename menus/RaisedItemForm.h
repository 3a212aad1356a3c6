#pragma once
// T_AM2000_RaisedItemForm: a small borderless top-most window that shows the open item of a menu
// bar, or the row that opened a submenu, raised above the popup: the item in its selected look,
// a frame around it whose sides that touch the popup are drawn open, and an optional shadow.
// Its owner (the bar or the menu window) paints the item through ItemPainter.
#include "RaisedItemCore.h"
#include "framework/Forms.h"

#include <windows.h>

#include <functional>
#include <memory>

class TMenuItem;
class T_AM2000_Options;
class T_AM2000_DropShadow;

class T_AM2000_RaisedItemForm : public TForm {
public:
    // The options give colours and margins (not owned). followsSystemShadow: the owning component
    // takes the system's drop-shadow setting.
    T_AM2000_RaisedItemForm(TComponent* owner, T_AM2000_Options& options, bool followsSystemShadow);
    ~T_AM2000_RaisedItemForm() override;

    void SetOpenSides(bool left, bool top, bool right, bool bottom);
    TOpenSides OpenSides() const { return FSides; }
    // The item and its rectangle on the screen; the window takes it widened by its frame.
    void SetItem(TMenuItem* item, const TRect& screenRect);
    TMenuItem* Item() const { return FItem; }
    void ShowItem();
    void HideItem();
    bool Showing() const;
    T_AM2000_DropShadow* DropShadow() const { return FShadow.get(); }
    int FrameWidth() const;

    // Paints the item into dc at rect (the window's client coordinates, inside the frame).
    std::function<void(HDC dc, const RECT& rect)> ItemPainter;
    // A press on the window, after the menus closed: the owner drops its open item.
    std::function<void()> OnClickedAgain;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void PaintTo(HDC dc);
    T_AM2000_Options& FOptions;
    std::unique_ptr<T_AM2000_DropShadow> FShadow;
    TMenuItem* FItem = nullptr;
    TOpenSides FSides;
};
