#pragma once
// The snapshot window: the frames grabbed during this run as 100 x 100 thumbnails on the left,
// the selected one scaled into the panel on the right, a popup to save or delete one.
#include "framework/Dialogs.h"
#include "framework/Forms.h"

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TCustomBitmap32;
class TListView;
class TMenuItem2000;
class TMoney;
class TPaintBox;
class TPanel;
class TPopupMenu2000;
class TSplitter;

struct TSnapShotItem {
    int32_t Width = 0;
    int32_t Height = 0;
    std::unique_ptr<TBitmap> Bitmap;
    uint16_t Reserved = 0;
    int64_t Position = 0;  // 100-ns units
    std::string FileName;  // the movie's
};

// Owns its items: deleting one frees it.
class TMyList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TSnapShotItem& operator[](int index) const { return *FItems.at(static_cast<size_t>(index)); }
    void Add(std::unique_ptr<TSnapShotItem> item) { FItems.push_back(std::move(item)); }
    void Delete(int index) { FItems.erase(FItems.begin() + index); }

private:
    std::vector<std::unique_ptr<TSnapShotItem>> FItems;
};

// The frame scaled to fit a size x size square, centred on black.
void MakeSnapshotThumbnail(const TBitmap& frame, int size, TCustomBitmap32& into);

class TSnapShotForm : public TForm {
public:
    explicit TSnapShotForm(TComponent* owner);
    ~TSnapShotForm() override;

    TListView* ListView1;
    HIMAGELIST ImageList1 = nullptr;  // 100 x 100 thumbnails, owned
    TSplitter* Splitter1;
    TPanel* Panel1;
    TPaintBox* PaintBox1;
    TMoney* Money1;
    TPopupMenu2000* PopupMenu20002;
    TMenuItem2000 *SaveAs1, *Delete1;
    TOpenDialog* SaveDialog1;

    // Keeps the frame with a thumbnail row; nothing without a frame.
    void AddSnapshot(std::unique_ptr<TBitmap> bitmap, const std::string& fileName, int64_t position);
    const TMyList& Snapshots() const { return FList; }
    // The selected row; -1 when none.
    int SelectedIndex();
    // Writes snapshot `index` as JPEG or Windows bitmap by the name's extension, whole or not at
    // all; raises the failure.
    void SaveSnapshot(int index, const std::string& fileName) const;
    void DeleteSnapshot(int index);

    // Runs the save dialog (tests put their own here); false when cancelled.
    std::function<bool(std::string& fileName)> ExecuteSave;
    // Shows a failed save's text.
    std::function<void(const std::string& text)> ShowError;

    void PopupMenu20002Popup(TObject* sender);
    void SaveAs1Click(TObject* sender);
    void Delete1Click(TObject* sender);
    void PaintBox1Paint(TObject* sender, HDC dc);

protected:
    void WndProc(TMessage& message) override;

private:
    TMyList FList;
};
