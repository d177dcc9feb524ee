// Who owns a size bar whose floating frame closes: a bar with style bit 0x01
// is destroyed with the frame and deleted, but only a bar that was made with
// new and has not deleted itself with its window is deleted here.
#pragma once

class COXSizeControlBar;

// Whether the bar was made with new and not deleted yet.
bool IsHeapSizeBar(const COXSizeControlBar* bar);
// Destroys the bar's window and deletes the bar when it is this code's to delete.
void DestroyAndDeleteSizeBar(COXSizeControlBar* bar);
