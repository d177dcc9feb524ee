// The clip intake's entry points that start-up calls (the link and event
// clips are members of CTarveloApp).
#pragma once
#include "core/String.h"

#include <functional>

// A command line that begins a clip but holds no whole element of any kind
// (cut off on its way): says that the clip could not be read.
void RefuseUnreadableClip();

// Stores one block of a page's form text for the link clip that follows.
void StoreFormBlock(const CString& commandLine);

// Once the "Add to Tarvelo" dialog of a link clip is up: begins reading the
// pages it lists; `afterListed` runs on this thread once the dialog has taken
// them and painted its lists (at once when there is nothing to read).
void OnClipDialogUp(std::function<void()> afterListed);
