// The main window's bookmark list: rows of the playing movie with their thumbnails, mirrored
// in the video window's bookmark menu, and what the engine reads back for the movie memory.
#include "ui/Control_Unit.h"

#include "ui/BookmarksCore.h"
#include "ui/MainPopupsCore.h"
#include "ui/Video_Unit.h"

#include "framework/Graphics.h"
#include "framework/ListView.h"
#include "graphics/Bitmap32.h"

#include <algorithm>

#include <commctrl.h>

namespace {

constexpr int kPageBookmarks = 6;
constexpr int kThumbSize = 100;

// A device-independent copy of the picture for the image list.
HBITMAP BitmapOf(const TBitmap32& picture)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.Width();
    info.bmiHeader.biHeight = -picture.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    const size_t count = static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height());
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < count; ++i)
        out[i] = picture.Bits()[i] | 0xFF000000u;  // thumbnails are opaque
    return bitmap;
}

}  // namespace

void TControlForm::CreateBookmarkPage()
{
    TPage* page = Notebook1->Pages(kPageBookmarks);
    BookmarkFrame = NewComponent<TLabel>(this);
    BookmarkFrame->Name = "BookmarkFrame";
    BookmarkFrame->FontColor = RGB(255, 255, 255);
    BookmarkFrame->Color = RGB(0, 0, 0);
    BookmarkFrame->SetCaption("Empty...");
    BookmarkFrame->SetParent(page);
    BookmarkFrame->SetAlign(alClient);

    Bkmark_Images = ImageList_Create(kThumbSize, kThumbSize, ILC_COLOR32, 0, 4);
    Bkmark_ListView = NewComponent<TListView>(this);
    Bkmark_ListView->Name = "Bkmark_ListView";
    Bkmark_ListView->Columns = {{"Description", 140}, {"Time", 70}, {"Position", -1}};
    Bkmark_ListView->SetColor(clBlack);
    Bkmark_ListView->FontColor = clWhite;
    Bkmark_ListView->ReadOnly = false;
    Bkmark_ListView->LargeImages = Bkmark_Images;
    Bkmark_ListView->SetViewStyle(vsIcon);
    Bkmark_ListView->SetVisible(false);
    Bkmark_ListView->SetParent(page);
    Bkmark_ListView->SetAlign(alClient);
    Bkmark_ListView->OnDblClick = [this](TObject* sender) { Bkmark_ListViewDblClick(sender); };
    Bkmark_ListView->OnEdited = [this](TListView* sender, int index, const std::string& text) {
        Bkmark_ListViewEdited(sender, index, text);
    };
    Bkmark_ListView->OnKeyDown = [this](TListView* sender, WORD key) { Bkmark_ListViewKeyDown(sender, key); };

    Bkmark_PopupMenu = NewComponent<TPopupMenu2000>(this);
    Bkmark_PopupMenu->SetAnimatedSkin(Money1);
    Bkmark_PopupMenu->OnPopup = [this](TObject* sender) { Bkmark_PopupMenuPopup(sender); };
    TMenuItem2000* items = Bkmark_PopupMenu->Items();
    Bkmark_Edit1 = items->AddNew("Edit", [this](TObject*) {
        if (const std::vector<int> rows = Bkmark_ListView->SelectedIndexes(); !rows.empty())
            Bkmark_ListView->EditCaption(rows.front());
    });
    Bkmark_Delete1 = items->AddNew("Delete", [this](TObject* sender) { Bkmark_Delete1Click(sender); });
    Bkmark_View1 = items->AddNew("View");
    Bkmark_ViewThumb1 = Bkmark_View1->AddNew("Thumbnails", [this](TObject*) { Bkmark_ListView->SetViewStyle(vsIcon); });
    Bkmark_ViewDetail1 = Bkmark_View1->AddNew("Details", [this](TObject*) { Bkmark_ListView->SetViewStyle(vsReport); });
    Bkmark_ListView->OnContextPopup = [this](TListView*, int x, int y) {
        Bkmark_PopupMenu->Window = Handle();
        Bkmark_PopupMenu->Popup(x, y);
    };
    AddBkmark_Btn->OnClick = [this](TObject* sender) { AddBkmark_BtnClick(sender); };
}

// ---- rows ----

int TControlForm::BookmarkCount()
{
    return Bkmark_ListView->Count();
}

int TControlForm::MakeBookmark(std::unique_ptr<TBitmap32> frame, int64_t position)
{
    std::unique_ptr<TBitmap32> thumbnail;
    if (frame && !frame->Empty()) {
        thumbnail = std::make_unique<TBitmap32>();
        thumbnail->SetSize(kThumbSize, kThumbSize);
        thumbnail->Clear(0xFF000000);
        const TRect fit = FitRectKeepAspect(TRect(0, 0, kThumbSize, kThumbSize), TRect(0, 0, frame->Width(), frame->Height()));
        thumbnail->DrawStretched(fit, TRect(0, 0, frame->Width(), frame->Height()), frame.get());
    }
    const int row = AddBookmark("", thumbnail.get(), position);
    Bkmark_ListView->SetItem(row, BookmarkName(row + 1), {BookmarkTimeText(position), BookmarkPositionHex(position)},
                             Bkmark_ListView->ImageIndex(row));
    return row;
}

int TControlForm::AddBookmark(const std::string& name, const TBitmap32* thumbnail, int64_t position)
{
    int imageIndex = -1;
    if (thumbnail && !thumbnail->Empty()) {
        // The image list keeps one size: a picture of another size is fitted, not cut up.
        auto kept = std::make_unique<TBitmap32>();
        if (thumbnail->Width() == kThumbSize && thumbnail->Height() == kThumbSize) {
            kept->Assign(*thumbnail);
        } else {
            kept->SetSize(kThumbSize, kThumbSize);
            kept->Clear(0xFF000000);
            const TRect source(0, 0, thumbnail->Width(), thumbnail->Height());
            kept->DrawStretched(FitRectKeepAspect(TRect(0, 0, kThumbSize, kThumbSize), source), source, thumbnail);
        }
        if (const HBITMAP bitmap = BitmapOf(*kept)) {
            imageIndex = ImageList_Add(Bkmark_Images, bitmap, nullptr);
            DeleteObject(bitmap);
        }
        if (imageIndex >= 0) {
            FBookmarkImages.resize(static_cast<size_t>(imageIndex) + 1);
            FBookmarkImages[static_cast<size_t>(imageIndex)] = std::move(kept);
        }
    }
    const int row = Bkmark_ListView->InsertItem(-1, name, {BookmarkTimeText(position), BookmarkPositionHex(position)},
                                                imageIndex);
    if (row >= 0) {
        Bkmark_ListView->SetData(row, 0);
        ShowBookmarkList(true);
    }
    return row;
}

void TControlForm::Getbookmark(int index, TBookmark& bookmark)
{
    if (index < 0 || index >= BookmarkCount())
        return;
    const std::optional<int64_t> position = BookmarkPositionFromHex(Bkmark_ListView->SubItem(index, 1));
    if (!position)
        return;
    bookmark.Name = Bkmark_ListView->Caption(index);
    bookmark.TimeText = Bkmark_ListView->SubItem(index, 0);
    bookmark.Position = *position;
}

int TControlForm::BookmarkImageIndex(int row)
{
    return row >= 0 && row < BookmarkCount() ? Bkmark_ListView->ImageIndex(row) : -1;
}

bool TControlForm::GetBookmarkImage(int imageIndex, TBitmap32& into)
{
    if (imageIndex < 0 || static_cast<size_t>(imageIndex) >= FBookmarkImages.size() ||
        !FBookmarkImages[static_cast<size_t>(imageIndex)])
        return false;
    into.Assign(*FBookmarkImages[static_cast<size_t>(imageIndex)]);
    return true;
}

void TControlForm::ClearBookmarks()
{
    Bkmark_ListView->Clear();
    ImageList_RemoveAll(Bkmark_Images);
    FBookmarkImages.clear();
}

// The list and the "Empty..." frame share the page: one shows at a time.
void TControlForm::ShowBookmarkList(bool show)
{
    BookmarkFrame->SetVisible(!show);
    Bkmark_ListView->SetVisible(show);
}

void TControlForm::SetBookmarkMenu(int index, TMenuItem* item)
{
    if (item && index >= 0 && index < BookmarkCount())
        Bkmark_ListView->SetData(index, reinterpret_cast<intptr_t>(item));
}

void TControlForm::ForgetBookmarkMenus()
{
    for (int row = 0; row < BookmarkCount(); ++row)
        Bkmark_ListView->SetData(row, 0);
}

void TControlForm::GotoBookmark(int index)
{
    if (index < 0 || index >= BookmarkCount())
        return;
    TBookmark mark;
    Getbookmark(index, mark);
    if (VideoForm && VideoForm->OSD && VideoForm->Visible())
        VideoForm->OSD->ShowTextTimed(mark.Name, 3);
    if (Engine)
        Engine->SetPosition(mark.Position);
}

// ---- the button, the menu and the list ----

void TControlForm::AddBkmark_BtnClick(TObject*)
{
    if (!Engine)
        return;
    // 1.
    const int64_t position = Engine->GetPosition();
    std::unique_ptr<TBitmap32> frame;
    if (VideoForm)
        if (const std::unique_ptr<TBitmap> grabbed = VideoForm->GrabVideoFrame()) {
            frame = std::make_unique<TBitmap32>();
            frame->SetSize(grabbed->Width(), grabbed->Height());
            std::copy_n(grabbed->Pixels(), static_cast<size_t>(grabbed->Width()) * static_cast<size_t>(grabbed->Height()),
                        frame->Bits());
        }
    // 2.
    const int row = MakeBookmark(std::move(frame), position);
    if (row < 0)
        return;
    if (VideoForm) {
        TBookmark mark;
        Getbookmark(row, mark);
        TMenuItem2000* item = VideoForm->Bookmarks1->AddNew(
            BookmarkMenuCaption(mark.Name, mark.TimeText, !Settings.ShowTimeStampWithBookmarks),
            [this](TObject* sender) { BookmarkClick(sender); });
        item->Tag = row;
        SetBookmarkMenu(row, item);
    }
    ShowBookmarkList(true);
}

void TControlForm::BookmarkClick(TObject* sender)
{
    if (auto* item = dynamic_cast<TMenuItem*>(sender))
        GotoBookmark(static_cast<int>(item->Tag));
}

void TControlForm::Bkmark_ListViewDblClick(TObject*)
{
    const std::vector<int> rows = Bkmark_ListView->SelectedIndexes();
    if (rows.empty())
        return;
    GotoBookmark(rows.front());
    if (Engine && Engine->GetFilterState() != kStateRunning)
        Engine->SetFilterState(kStateRunning);
}

void TControlForm::Bkmark_ListViewEdited(TListView*, int index, const std::string& text)
{
    auto* item = reinterpret_cast<TMenuItem*>(Bkmark_ListView->Data(index));
    if (!item)
        return;
    item->Caption = BookmarkMenuCaption(text, Bkmark_ListView->SubItem(index, 0), !Settings.ShowTimeStampWithBookmarks);
}

void TControlForm::Bkmark_ListViewKeyDown(TListView*, WORD key)
{
    if (key == VK_DELETE)
        Bkmark_Delete1Click(Bkmark_Delete1);
}

void TControlForm::Bkmark_PopupMenuPopup(TObject*)
{
    const bool selected = Bkmark_ListView->SelCount() > 0;
    Bkmark_Edit1->Enabled = selected;
    Bkmark_Delete1->Enabled = selected;
    Bkmark_ViewThumb1->Checked = Bkmark_ListView->ViewStyle() == vsIcon;
    Bkmark_ViewDetail1->Checked = Bkmark_ListView->ViewStyle() == vsReport;
}

void TControlForm::Bkmark_Delete1Click(TObject*)
{
    // The row's menu item and thumbnail stay.
    const std::vector<int> rows = Bkmark_ListView->SelectedIndexes();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        Bkmark_ListView->DeleteItem(*row);
    for (const int row : Bkmark_ListView->SelectedIndexes())
        Bkmark_ListView->SetSelected(row, false);
    if (Bkmark_ListView->Count() == 0)
        ShowBookmarkList(false);
}
