// The page view's host object for the engine's browser window: the engine
// asks it before it shows a context menu, and the view shows its own.
#pragma once
#include "com/ComPtr.h"

#include <objbase.h>

class CTarveloView;

// A host object with one reference, which the caller keeps as long as the
// view's browser window lives (the engine holds it weakly).
ComPtr<IUnknown> CreateViewHost(CTarveloView& view);
