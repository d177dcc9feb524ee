// CSourceView: the window of a source document. A plain view until the
// rich-edit view takes its place.
#pragma once
#include "docview/View.h"

class CSourceView : public CView {};
