#pragma once
// The base of the controls an item can host inside a menu: sizes 0 and no painting or input.
// The hosting item forwards clicks to it before its own click.
#include "framework/Classes.h"

#include <windows.h>

class TMenuItem2000;

enum T_AM2000_MenuControlType : uint8_t { ctlNone, ctlButton, ctlButtonArray, ctlEditbox, ctlBitmap, ctlText };

class T_AM2000_MenuControl : public TPersistent {
public:
    explicit T_AM2000_MenuControl(TMenuItem2000* item) : FItem(item) {}
    virtual void Paint(HDC dc, const RECT& itemRect) { (void)dc; (void)itemRect; }
    virtual int GetWidth(HDC dc) { (void)dc; return 0; }
    virtual int GetHeight(HDC dc) { (void)dc; return 0; }
    virtual void KeyDown(WORD& key, unsigned shift) { (void)key; (void)shift; }
    virtual void KeyPress(char& key) { (void)key; }
    virtual void Click() {}
    void Assign(const TPersistent& source) override;
    TMenuItem2000* Item() const { return FItem; }
    // Busy while handling input: a replaced control then frees itself when done.
    bool Busy = false;
    bool FreeWhenDone = false;

private:
    TMenuItem2000* FItem;
};
