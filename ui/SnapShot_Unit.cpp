#include "ui/SnapShot_Unit.h"

#include "ui/SnapShot_UnitCore.h"

#include "framework/ExtCtrls.h"
#include "framework/FileDialogs.h"
#include "framework/Graphics.h"
#include "framework/Jpeg.h"
#include "framework/ListView.h"
#include "framework/Splitter.h"
#include "framework/SysUtils.h"
#include "graphics/Bitmap32Core.h"
#include "graphics/Transforms.h"
#include "menus/PopupMenu2000.h"
#include "menus/WindowSkin.h"

#include <windowsx.h>

namespace {

constexpr int ThumbnailSize = 100;

// The frame's own pixels seen as a bitmap of the library, for its transfers, read only: a copy
// of a large frame into fresh memory costs more under Wine than scaling it.
class TFrameView : public TCustomBitmap32 {
public:
    explicit TFrameView(const TBitmap& frame) : FFrame(frame) { SetSize(frame.Width(), frame.Height()); }

protected:
    TColor32* AllocatePixels(int, int) override { return const_cast<TColor32*>(FFrame.Pixels()); }
    void ReleasePixels() override {}

private:
    const TBitmap& FFrame;
};

}  // namespace

void MakeSnapshotThumbnail(const TBitmap& frame, int size, TCustomBitmap32& into)
{
    into.SetSize(size, size);
    into.Clear(0xFF000000);
    const std::optional<TRect> fit = FitRectCentered(TRect(0, 0, size, size), TRect(0, 0, frame.Width(), frame.Height()));
    if (!fit || frame.Empty())
        return;
    const TFrameView source(frame);
    StretchTransfer(&into, *fit, into.BoundsRect(), &source, source.BoundsRect(), sfLinear, dmOpaque, {});
}

TSnapShotForm::TSnapShotForm(TComponent* owner) : TForm(owner)
{
    // FormCreate
    Name = "SnapShotForm";
    SetCaption("Snapshot's");
    SetBounds(0, 0, 560, 360);
    Position = poScreenCenter;

    ImageList1 = ImageList_Create(ThumbnailSize, ThumbnailSize, ILC_COLOR32, 0, 4);
    ListView1 = NewComponent<TListView>(this);
    ListView1->Name = "ListView1";
    ListView1->SetViewStyle(vsIcon);
    ListView1->LargeImages = ImageList1;
    ListView1->MultiSelect = false;
    ListView1->SetColor(clBlack);
    ListView1->FontColor = clWhite;
    ListView1->SetBounds(0, 0, 150, 100);
    ListView1->SetAlign(alLeft);
    ListView1->SetParent(this);
    ListView1->OnInfoTip = [this](TListView*, int index) {
        if (index < 0 || index >= FList.Count())
            return std::string();
        const TSnapShotItem& item = FList[index];
        return SnapshotInfoTip(item.FileName, item.Position, item.Width, item.Height);
    };
    ListView1->OnSelectItem = [this](TListView*, int, bool) { PaintBox1->Invalidate(); };

    Splitter1 = NewComponent<TSplitter>(this);
    Splitter1->Name = "Splitter1";
    Splitter1->SetBounds(150, 0, 3, 100);
    Splitter1->SetParent(this);

    Panel1 = NewComponent<TPanel>(this);
    Panel1->Name = "Panel1";
    Panel1->SetAlign(alClient);
    Panel1->SetParent(this);
    PaintBox1 = NewComponent<TPaintBox>(this);
    PaintBox1->Name = "PaintBox1";
    PaintBox1->SetAlign(alClient);
    PaintBox1->SetParent(Panel1);
    PaintBox1->OnPaint = [this](TObject* sender, HDC dc) { PaintBox1Paint(sender, dc); };

    Money1 = NewWindowSkin(this, "Money1", anVertSlide, 18);
    PopupMenu20002 = NewComponent<TPopupMenu2000>(this);
    PopupMenu20002->SetAnimatedSkin(Money1);
    PopupMenu20002->OnPopup = [this](TObject* sender) { PopupMenu20002Popup(sender); };
    SaveAs1 = PopupMenu20002->Items()->AddNew("Save As", [this](TObject* sender) { SaveAs1Click(sender); });
    Delete1 = PopupMenu20002->Items()->AddNew("Delete", [this](TObject* sender) { Delete1Click(sender); });

    SaveDialog1 = NewComponent<TOpenDialog>(this);
    SaveDialog1->DefaultExt = "bmp";
    SaveDialog1->Filter = "All Supportet Files|*.jpg;*.jpeg;*.bmp|Windows Bitmap files|*.bmp|JPEG Image files|*.jpg;*.jpeg";
    SaveDialog1->Options = {ofHideReadOnly, ofPathMustExist, ofEnableSizing};
    SaveDialog1->Title = "Save Snapshot as...";
    ExecuteSave = [this](std::string& fileName) { return ExecuteSaveDialog(*SaveDialog1, Handle(), fileName); };
    ShowError = [this](const std::string& text) { MessageBoxA(Handle(), text.c_str(), "Snapshot's", MB_OK | MB_ICONERROR); };
}

TSnapShotForm::~TSnapShotForm()
{
    DestroyComponents();  // the list view lets go of the image list first
    if (ImageList1)
        ImageList_Destroy(ImageList1);
}

void TSnapShotForm::AddSnapshot(std::unique_ptr<TBitmap> bitmap, const std::string& fileName, int64_t position)
{
    if (!bitmap)
        return;
    auto item = std::make_unique<TSnapShotItem>();
    item->Width = bitmap->Width();
    item->Height = bitmap->Height();
    item->Position = position;
    item->FileName = fileName;
    TCustomBitmap32 thumbnail;
    MakeSnapshotThumbnail(*bitmap, ThumbnailSize, thumbnail);
    item->Bitmap = std::move(bitmap);
    FList.Add(std::move(item));

    TBitmap image;
    image.SetPixels(thumbnail.Width(), thumbnail.Height(), thumbnail.Bits());
    const int imageIndex = ImageList_Add(ImageList1, image.Handle(), nullptr);
    ListView1->InsertItem(-1, Format("%s %d", "Snapshot", FList.Count()), {}, imageIndex);
}

int TSnapShotForm::SelectedIndex()
{
    const std::vector<int> selected = ListView1->SelectedIndexes();
    return selected.empty() ? -1 : selected.front();
}

void TSnapShotForm::SaveSnapshot(int index, const std::string& fileName) const
{
    const TSnapShotItem& item = FList[index];
    if (SnapshotFileFormat(fileName) == TSnapshotFileFormat::Jpeg) {
        SaveJpegPixelsToFile(fileName, item.Bitmap->Width(), item.Bitmap->Height(), item.Bitmap->Pixels());
    } else {
        item.Bitmap->SaveToFile(fileName);
    }
}

void TSnapShotForm::DeleteSnapshot(int index)
{
    if (index < 0 || index >= FList.Count())
        return;
    FList.Delete(index);
    ListView1->DeleteItem(index);
    ListView1->SetSelected(-1, false);
    PaintBox1->Invalidate();
}

void TSnapShotForm::PopupMenu20002Popup(TObject*)
{
    const bool selected = SelectedIndex() >= 0;
    SaveAs1->Enabled = selected;
    Delete1->Enabled = selected;
}

void TSnapShotForm::SaveAs1Click(TObject*)
{
    const int index = SelectedIndex();
    if (index < 0)
        return;
    std::string fileName = ListView1->Caption(index);
    if (!ExecuteSave || !ExecuteSave(fileName))
        return;
    try {
        SaveSnapshot(index, fileName);
    } catch (const Exception& e) {
        const DWORD code = GetLastError();
        if (ShowError)
            ShowError(code != 0 ? SysErrorMessage(code) : std::string(e.what()));
    }
}

void TSnapShotForm::Delete1Click(TObject*) { DeleteSnapshot(SelectedIndex()); }

void TSnapShotForm::PaintBox1Paint(TObject*, HDC dc)
{
    const TRect box = PaintBox1->ClientRect();
    RECT r = box;
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int index = SelectedIndex();
    if (index < 0 || index >= FList.Count())
        return;
    const TBitmap& frame = *FList[index].Bitmap;
    const std::optional<TRect> fit = FitRectCentered(box, TRect(0, 0, frame.Width(), frame.Height()));
    if (!fit)
        return;
    TMemoryDC source(CreateCompatibleDC(dc));
    TSelectObject select(source.Get(), frame.Handle());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, fit->left, fit->top, fit->Width(), fit->Height(), source.Get(), 0, 0, frame.Width(), frame.Height(), SRCCOPY);
}

void TSnapShotForm::WndProc(TMessage& message)
{
    // A right click on the list asks for the popup (the list passes it up).
    if (message.Msg == WM_CONTEXTMENU && reinterpret_cast<HWND>(message.WParam) == ListView1->HandleOrNull()) {
        int x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
        if (x == -1 && y == -1) {
            POINT p{0, 0};
            ClientToScreen(ListView1->Handle(), &p);
            x = p.x;
            y = p.y;
        }
        PopupMenu20002->Window = Handle();
        PopupMenu20002->Popup(x, y);
        message.Result = 0;
        return;
    }
    TForm::WndProc(message);
}
