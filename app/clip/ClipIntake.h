// The clip intake's entry points that start-up calls (the link and event
// clips are members of CTarveloApp).
#pragma once
#include "core/String.h"

// Stores one block of a page's form text for the link clip that follows.
void StoreFormBlock(const CString& commandLine);

// Once the "Add to Tarvelo" dialog of a link clip is up: begins reading the
// pages it lists.
void OnClipDialogUp();
