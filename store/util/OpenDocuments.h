// The documents that the application has open, looked up by their file path.
// Without an application object (tests, the index thread's own work) no
// document is open.
#pragma once
#include "core/String.h"

#include <vector>

class CDocument;

// 1 when a document of any template has exactly this path name
// (case-sensitive), else 0.
int IsDocumentOpen(const CString& path);
// Closes the first document with this path name through its close operation
// (no question to save): 1, or 0 when none has the path.
int CloseDocumentByPath(const CString& path);
// The open documents of the path itself and of every path below it
// (letter case ignored), taken before any of them is closed.
std::vector<CDocument*> OpenDocumentsBelow(const CString& path);
// Closes every open document of every template, before the page tree is
// replaced on disk as a whole.
void CloseAllDocuments();
