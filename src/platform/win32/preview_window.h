// The preview (/p HWND): a child window of class "SSPreview", titled "PreviewWindow", inside the
// window the Screen Saver settings page hands over, showing bitmap 112 scaled to it until that
// window closes or goes away. No GL, no assets, no sound. The entry point calls runPreview.
#pragma once

#include <windows.h>

namespace ravelin {

// 1 after the host's window ended the preview; 0 when the child window could not be made (the
// owner-less "Cannot creat window!" box has been shown then).
int runPreview(HINSTANCE instance, HWND parent, int showCommand);

}  // namespace ravelin
