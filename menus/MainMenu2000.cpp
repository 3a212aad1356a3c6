#include "MainMenu2000.h"

#include "MenuBar2000.h"
#include "MenuUtilsCore.h"
#include "PopupMenu2000Form.h"

TMenuBar2000* TMainMenu2000::MenuBar() const { return FindMenuBar(this); }

TMenuBar2000& TMainMenu2000::VisibleBar() const
{
    TMenuBar2000* bar = MenuBar();
    if (!bar)
        throw EMenuError(Format("The %s main menu component is not visible.", Name.c_str()));
    return *bar;
}

void TMainMenu2000::Refresh()
{
    if (InState(csLoading | csReading | csDestroying))
        return;
    if (TMenuBar2000* bar = MenuBar())
        bar->UpdateBar();
}

TMenuItem* TMainMenu2000::SelectedItem() const
{
    TMenuBar2000& bar = VisibleBar();
    if (!bar.DropDown().IsShowing())
        return bar.HotItem();
    auto* window = dynamic_cast<TPopupMenu2000Form*>(bar.DropDown().PopupForm());
    return window && window->Selection() >= 0 ? window->ItemAtRow(window->Selection()) : nullptr;
}

void TMainMenu2000::SelectItem(TMenuItem* item)
{
    TMenuBar2000& bar = VisibleBar();
    TMenuItem* top = item;  // the ancestor whose parent is a menu's root
    while (top && top->Parent() && top->Parent()->Parent())
        top = top->Parent();
    for (int k = 0; k < bar.GetItemCount(); ++k)
        if (bar.GetItem(k) == top) {
            bar.SelectIndex(k, top);
            return;
        }
}
