#pragma once
// Common dialogs as components: the settings a window fills in before it shows one.
#include "Classes.h"

#include <set>
#include <string>

enum TOpenOption { ofHideReadOnly, ofAllowMultiSelect, ofEnableSizing, ofFileMustExist, ofPathMustExist };
using TOpenOptions = std::set<TOpenOption>;

class TOpenDialog : public TComponent {
public:
    using TComponent::TComponent;

    // "Description|patterns|Description|patterns..."; a trailing "|" is allowed.
    std::string Filter;
    int FilterIndex = 1;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    std::string DefaultExt;
    std::string InitialDir;
    std::string Title;
};
