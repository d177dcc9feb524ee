// CSourceDoc: a page shown as its HTML source. A plain document until the
// rich-edit source document takes its place.
#pragma once
#include "docview/Document.h"

class CSourceDoc : public CDocument {};
