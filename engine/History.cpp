#include "History.h"

void AddHistoryEntry(TStringList& list, int maximum, const std::string& name)
{
    if (name.empty())
        return;
    for (int i = 0; i < list.Count(); ++i)
        if (AnsiSameText(list[i], name)) {
            list.Move(i, 0);
            return;
        }
    list.Insert(0, name);
    while (list.Count() > maximum && list.Count() > 0)
        list.Delete(list.Count() - 1);
}

bool TakeHistoryEntry(TStringList& list, int index, std::string& name)
{
    name.clear();
    if (index < 0 || index >= list.Count())
        return false;
    list.Move(index, 0);
    name = list[0];
    return true;
}
