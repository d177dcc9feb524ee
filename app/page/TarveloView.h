// CTarveloView: the window of a page document. A plain view until the HTML
// editing view takes its place.
#pragma once
#include "docview/View.h"

class CTarveloView : public CView {};
