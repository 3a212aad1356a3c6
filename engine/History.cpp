#include "History.h"

void THistoryList::Add(const std::string& name)
{
    if (name.empty())
        return;
    for (int i = 0; i < Items.Count(); ++i)
        if (AnsiSameText(Items[i], name)) {
            Items.Move(i, 0);
            return;
        }
    Items.Insert(0, name);
    while (Items.Count() > Maximum && Items.Count() > 0)
        Items.Delete(Items.Count() - 1);
}

bool THistoryList::Take(int index, std::string& name)
{
    name.clear();
    if (index < 0 || index >= Items.Count())
        return false;
    Items.Move(index, 0);
    name = Items[0];
    return true;
}
