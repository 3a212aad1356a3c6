#pragma once
// The caption buttons of the borderless video window: a small black strip with minimise,
// maximise or restore, and close, that floats over the video's top right corner. Its shape is
// cut to the buttons with a window region.
#include "ui/MainWindowParts.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/WinHandles.h"

#include <functional>

class TSysButtons : public TForm, public ICaptionButtons {
public:
    explicit TSysButtons(TComponent* owner);
    ~TSysButtons() override;

    // The video window the buttons act on; set before the strip first shows.
    TCustomForm* VideoForm = nullptr;
    // Ends the program (the close button).
    std::function<void()> CloseApp;
    // Whether the shape is cut with a region (off on slow processors).
    std::function<bool()> RegionsEnabled;

    TPaintBox *Image1, *Image2, *Image3;
    TImageList* ImageList1;  // maximise glyph at 0, restore at 1
    // Glyph 2 is minimise and 3 close in the same strip.

    // ICaptionButtons.
    bool Showing() override;
    void Show() override;
    void Hide() override { TForm::Hide(); }
    int ClientWidth() override;
    void MoveTo(int left, int top) override;
    void UpdateMaximized(bool maximized) override;

    void Image1Click(TObject* sender);
    void Image2Click(TObject* sender);
    void Image3Click(TObject* sender);
    // Builds the region from the buttons' pictures; applies it when regions are enabled.
    void BuildRegion();
    // The region kept when it was not applied (regions disabled); none once applied.
    HRGN KeptRegion() const { return FRegion.Get(); }
    int MaximizeGlyph() const { return FMaxGlyph; }

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(HDC dc) override;

private:
    void PaintGlyph(TPaintBox* box, HDC dc, int glyph);
    void ShowHintOf(TPaintBox* box);
    TRegionHandle FRegion;
    int FMaxGlyph = 0;
};
