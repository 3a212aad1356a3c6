#include "playlist/AddDirUnit.h"

#include "framework/StdCtrls.h"
#include "playlist/ShellCtrls.h"

TAddDirForm::TAddDirForm(TComponent* owner) : TForm(owner)
{
    Name = "AddDirForm";
    SetCaption("Add Directory...");
    BorderStyle = bsDialog;
    SetBounds(0, 0, 271, 404);

    ShellTree1 = NewComponent<TShellTree>(this);
    ShellTree1->Name = "ShellTree1";
    ShellTree1->SetBounds(0, 0, 263, 321);
    ShellTree1->SetAlign(alTop);
    ShellTree1->SetParent(this);

    CheckBox1 = NewComponent<TCheckBox>(this);
    CheckBox1->Name = "CheckBox1";
    CheckBox1->SetCaption("Include subdirectories");
    CheckBox1->SetBounds(8, 328, 200, 17);
    CheckBox1->SetParent(this);

    Button1 = NewComponent<TButton>(this);
    Button1->Name = "Button1";
    Button1->SetCaption("Ok");
    Button1->Default = true;
    Button1->ModalResult = mrOk;
    Button1->SetBounds(96, 350, 75, 25);
    Button1->SetParent(this);

    Button2 = NewComponent<TButton>(this);
    Button2->Name = "Button2";
    Button2->SetCaption("Cancel");
    Button2->ModalResult = mrCancel;
    Button2->SetBounds(180, 350, 75, 25);
    Button2->SetParent(this);
}
