// CHtmlEditDoc: the document of a CHtmlEditView. Its file is shown and edited
// in the view's engine: the view loads it when it is first updated, and the
// engine keeps the changes, so the document is modified whenever the
// engine's page is.
#pragma once
#include "docview/Document.h"

class CHtmlEditView;

class CHtmlEditDoc : public CDocument {
public:
    // The document's first HTML editing view; null when it has none.
    CHtmlEditView* GetView() const;
    // Changed: the engine's own modified state, or the framework's flag.
    BOOL IsModified() override;
};
