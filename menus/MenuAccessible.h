#pragma once
// Accessibility objects of the skinned menus: an item's own object, the adapter that stands for
// an item's submenu, and the object a top-level menu window answers for itself. Each keeps a
// plain link to what it describes; the owner cuts the link when it goes, and a client still
// holding the object then gets RPC_E_DISCONNECTED.
#include <windows.h>

#include <oleacc.h>

#include <atomic>

class TMenuBar2000;
class TMenuItem;
class TMenuItem2000;
class TPopupMenu2000Form;

// IUnknown and IDispatch (no type information) for the three objects; every accessibility
// operation fails with DISP_E_MEMBERNOTFOUND unless a class answers it.
class TMenuAccessibleBase : public IAccessible {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

protected:
    // What the class answers; the public methods clear the results first, fail with
    // RPC_E_DISCONNECTED once the link is cut, and turn an exception into E_UNEXPECTED.
    virtual bool Connected() const = 0;
    virtual HRESULT Parent(IDispatch**) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT ChildCount(LONG*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Child(LONG, IDispatch**) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Name(BSTR*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Value(BSTR*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Description(BSTR*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Role(LONG*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT State(LONG*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Help(BSTR*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT HelpTopic(BSTR*, LONG*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT KeyboardShortcut(BSTR*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Focus(VARIANT*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Selection(VARIANT*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT DefaultAction(BSTR*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Select(LONG) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Location(LONG*, LONG*, LONG*, LONG*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Navigate(LONG, VARIANT*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT HitTest(LONG, LONG, VARIANT*) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT DoDefaultAction() { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT SetName() { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT SetValue() { return DISP_E_MEMBERNOTFOUND; }
    virtual ~TMenuAccessibleBase() = default;

private:
    std::atomic<ULONG> FRefs{1};
};

// An item's own object (the item answers through it).
class TMenuItemAccessible final : public TMenuAccessibleBase {
public:
    explicit TMenuItemAccessible(TMenuItem2000* item) : FItem(item) {}
    void Disconnect() { FItem = nullptr; }

protected:
    bool Connected() const override { return FItem != nullptr; }
    HRESULT Parent(IDispatch** parent) override;
    HRESULT ChildCount(LONG* count) override;
    HRESULT Child(LONG id, IDispatch** object) override;
    HRESULT Name(BSTR* name) override;
    HRESULT Description(BSTR* text) override;
    HRESULT Role(LONG* role) override;
    HRESULT State(LONG* state) override;
    HRESULT Help(BSTR* text) override { return Description(text); }
    HRESULT HelpTopic(BSTR* file, LONG* topic) override;
    HRESULT KeyboardShortcut(BSTR* text) override;
    HRESULT Focus(VARIANT* child) override;
    HRESULT Selection(VARIANT* child) override { return Focus(child); }
    HRESULT DefaultAction(BSTR* text) override;
    HRESULT Select(LONG flags) override;
    HRESULT Location(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT Navigate(LONG direction, VARIANT* end) override;
    HRESULT HitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT DoDefaultAction() override;

private:
    TMenuItem2000* FItem;
};

// The object of an item's submenu. An item with an attached menu shares its adapter with that
// menu's root item, so that both lead to the same object.
class T_AM2000_PopupMenuAdapter final : public TMenuAccessibleBase {
public:
    explicit T_AM2000_PopupMenuAdapter(TMenuItem2000* item) : FItem(item) {}
    TMenuItem2000* Item() const { return FItem; }
    void Disconnect() { FItem = nullptr; }

protected:
    bool Connected() const override { return FItem != nullptr; }
    HRESULT Parent(IDispatch** parent) override;
    HRESULT ChildCount(LONG* count) override;
    HRESULT Child(LONG id, IDispatch** object) override;
    HRESULT Name(BSTR* name) override;
    HRESULT Role(LONG* role) override;
    HRESULT State(LONG* state) override;
    HRESULT HelpTopic(BSTR* file, LONG* topic) override;
    HRESULT Focus(VARIANT*) override { return S_OK; }
    HRESULT HitTest(LONG, LONG, VARIANT*) override { return S_OK; }
    HRESULT Navigate(LONG direction, VARIANT* end) override;
    HRESULT Location(LONG*, LONG*, LONG*, LONG*) override { return S_OK; }

private:
    TMenuItem2000* FItem;
};

// The object a top-level menu window answers for itself.
class TMenuWindowAccessible final : public TMenuAccessibleBase {
public:
    explicit TMenuWindowAccessible(TPopupMenu2000Form* window) : FWindow(window) {}
    void Disconnect() { FWindow = nullptr; }

protected:
    bool Connected() const override { return FWindow != nullptr; }
    HRESULT Parent(IDispatch** parent) override;
    HRESULT ChildCount(LONG* count) override;
    HRESULT Child(LONG id, IDispatch** object) override;
    HRESULT Name(BSTR* name) override;
    HRESULT Description(BSTR* text) override { return Name(text); }
    HRESULT Role(LONG* role) override;
    HRESULT State(LONG* state) override;
    HRESULT Value(BSTR*) override { return S_OK; }
    HRESULT Help(BSTR*) override { return S_OK; }
    HRESULT HelpTopic(BSTR*, LONG*) override { return S_OK; }
    HRESULT KeyboardShortcut(BSTR*) override { return S_OK; }
    HRESULT Focus(VARIANT* child) override;
    HRESULT Selection(VARIANT* child) override { return Focus(child); }
    HRESULT DefaultAction(BSTR*) override { return S_OK; }
    HRESULT Select(LONG) override { return S_OK; }
    HRESULT Location(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT Navigate(LONG, VARIANT*) override { return S_OK; }
    HRESULT HitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT DoDefaultAction() override { return S_OK; }
    HRESULT SetName() override { return S_OK; }
    HRESULT SetValue() override { return S_OK; }

private:
    TPopupMenu2000Form* FWindow;
};

// The object a menu bar answers for itself: its items are its children (child id = position + 1,
// as in the bar's focus events), and a top-level item of the bar names the bar as its parent.
class TMenuBarAccessible final : public TMenuAccessibleBase {
public:
    explicit TMenuBarAccessible(TMenuBar2000* bar) : FBar(bar) {}
    void Disconnect() { FBar = nullptr; }

protected:
    bool Connected() const override { return FBar != nullptr; }
    HRESULT Parent(IDispatch** parent) override;
    HRESULT ChildCount(LONG* count) override;
    HRESULT Child(LONG id, IDispatch** object) override;
    HRESULT Role(LONG* role) override;
    HRESULT State(LONG* state) override;
    HRESULT Focus(VARIANT* child) override;
    HRESULT Selection(VARIANT* child) override { return Focus(child); }
    HRESULT Location(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT Navigate(LONG direction, VARIANT* end) override;
    HRESULT HitTest(LONG x, LONG y, VARIANT* child) override;

private:
    TMenuBar2000* FBar;
};

// The window that shows root (the current popup's chain, open windows only), or none.
TPopupMenu2000Form* OpenWindowShowing(const TMenuItem* root);
// Cuts a window object's link and drops the window's reference.
void DisconnectWindowAccessible(IAccessible* object);
