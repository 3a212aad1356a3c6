#pragma once
// The add-directory dialog: a folder tree, "Include subdirectories" and OK and Cancel. It lives
// for the whole run, so the tree keeps its folder and the box its check between showings.
#include "framework/Forms.h"

class TShellTree;
class TCheckBox;
class TButton;

class TAddDirForm : public TForm {
public:
    explicit TAddDirForm(TComponent* owner);

    TShellTree* ShellTree1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;  // the search into subfolders
    TButton* Button1 = nullptr;      // OK
    TButton* Button2 = nullptr;      // Cancel
};
