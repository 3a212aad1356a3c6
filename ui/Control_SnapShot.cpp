// The main window's snapshot button.
#include "ui/Control_Unit.h"
#include "ui/SnapShot_Unit.h"
#include "ui/Video_Unit.h"

#include "framework/Graphics.h"

void TControlForm::SnapShot_BtnClick(TObject*)
{
    if (!Engine || !VideoForm || !SnapShotForm)
        return;
    const int64_t position = Engine->GetPosition();
    SnapShotForm->AddSnapshot(VideoForm->GrabVideoFrame(), Engine->PlayingFileName(), position);
}
