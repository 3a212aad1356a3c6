// The video window's side of the play list's docking.
#include "ui/Video_Unit.h"

void TVideoForm::PlaylistDocked(bool docked)
{
    if (docked) {
        // Right-aligned controls line up in the order they joined: the splitter joins again
        // after the play list, so it stands to its left.
        Splitter3->SetParent(nullptr);
        Splitter3->SetParent(this);
        Splitter3->Show();
    } else {
        Splitter3->Hide();
    }
    Realign();
    VideoFrameResize(this);
}
