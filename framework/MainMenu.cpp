#include "MainMenu.h"

#include "Forms.h"
#include "MenuMerge.h"

#include <algorithm>

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

TMainMenu::~TMainMenu()
{
    for (TMainMenu* into : std::vector<TMainMenu*>(FMergedInto))
        into->Unmerge(this);
    for (TMainMenu* merged : std::vector<TMainMenu*>(FMerged))
        Unmerge(merged);
}

void TMainMenu::Merge(TMainMenu* menu)
{
    if (!menu || menu == this || std::find(FMerged.begin(), FMerged.end(), menu) != FMerged.end())
        return;
    FMerged.push_back(menu);
    menu->FMergedInto.push_back(this);
}

void TMainMenu::Unmerge(TMainMenu* menu)
{
    const auto it = std::find(FMerged.begin(), FMerged.end(), menu);
    if (it == FMerged.end())
        return;
    FMerged.erase(it);
    auto& into = menu->FMergedInto;
    into.erase(std::remove(into.begin(), into.end(), this), into.end());
}

std::vector<TMainMenu*> TMainMenu::MergedMenus() const
{
    std::vector<TMainMenu*> menus{const_cast<TMainMenu*>(this)};
    menus.insert(menus.end(), FMerged.begin(), FMerged.end());
    return menus;
}

bool TMainMenu::IsMergedInto(const TMainMenu* menu) const
{
    return std::find(FMergedInto.begin(), FMergedInto.end(), menu) != FMergedInto.end();
}

TMainMenu* TMainMenu::ActiveChildMenu() const
{
    for (TMainMenu* menu : FMerged) {
        auto* form = dynamic_cast<TCustomForm*>(menu->Owner());
        if (form && form->FormStyle == fsMDIChild && form->Menu() == menu && form->MDIFrame() &&
            form->MDIFrame()->ActiveMDIChild() == form)
            return menu;
    }
    return nullptr;
}

std::vector<TMenuItem*> TMainMenu::MergedItems() const
{
    const TMainMenu* active = ActiveChildMenu();
    std::vector<TMergeMenu<TMenuItem>> menus;
    for (TMainMenu* menu : MergedMenus()) {
        TMergeMenu<TMenuItem> entry;
        entry.ActiveChildMenu = menu != this && menu == active;
        for (int k = 0; k < menu->Items()->Count(); ++k)
            entry.Items.push_back(menu->Items()->Items(k));
        menus.push_back(std::move(entry));
    }
    return MergeByGroupIndex(menus, [](TMenuItem* item) { return item->GroupIndex; });
}
