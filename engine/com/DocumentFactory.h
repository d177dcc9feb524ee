// A document object over a state the caller keeps: the browser window makes
// its document this way, so that it lays out and paints the same tree.
#pragma once
#include "com/DocumentState.h"

namespace com {

HRESULT CreateDocumentObject(const StatePtr& state, REFIID riid, void** out);

}  // namespace com
