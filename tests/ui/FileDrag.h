#pragma once
// Files dragged from this process as the shell drags them: the shell's data object of the files,
// the platform's drag loop, and the mouse moved by system input from one screen point to another.
#include <windows.h>

#include <string>
#include <vector>

namespace pvltest {

// The files (of one folder) dragged with the left button from `from` and let go at `to`; the
// effect the drop target answered, DROPEFFECT_NONE when none took them, or -1 when the drag
// could not start.
int DragFiles(const std::vector<std::string>& files, POINT from, POINT to);

}  // namespace pvltest
