// What the document's COM objects share: the tree, the selection, the
// design-mode flag and the text written by document.write. Every adapter of
// one document holds it, so the tree lives as long as any of them.
#pragma once
#include "com/ComQuery.h"
#include "dom/Document.h"
#include "editing/Editor.h"
#include "editing/Selection.h"
#include "editing/UndoHistory.h"

#include <windows.h>
#include <objbase.h>

#include <functional>
#include <memory>
#include <unordered_map>

namespace layout {
class LiveLayout;
}

namespace com {

struct DocumentState {
    std::shared_ptr<dom::Document> document = dom::Document::Create();
    editing::Selection selection;
    bool designMode = false;
    editing::UndoHistory history{*document, &designMode};  // records every change of the tree in design mode
    DocumentState() { history.KeepInStep(&selection); }
    bool autoUrlDetect = true;  // typed addresses become links
    bool keepSelection = false; // the selection stays when the focus leaves the page
    HWND window = nullptr;      // the page window, when there is one (owner of dialogs and the clipboard)
    std::weak_ptr<dom::Node> contentEnd;  // the element that closes what the user edits (kEngineKeepCaretBefore)
    editing::Editor Editor() {
        editing::Editor editor(*document, selection, history);
        editor.autoUrlDetect = autoUrlDetect;
        return editor;
    }
    CString written;  // text of write() calls since the document was opened
    unsigned long long savedChanges = 0;  // the document's change count when last loaded or saved
    bool IsDirty() const { return document->ChangeCount() != savedChanges; }
    void MarkClean() { savedChanges = document->ChangeCount(); }
    // The live COM object of each node and of the document, so that one node
    // always answers with one object (the objects enter and leave themselves).
    std::unordered_map<const dom::Node*, IUnknown*> adapters;
    IUnknown* documentAdapter = nullptr;
    // The layout that geometry is read from (the browser window's, or one made on demand),
    // and what to call when a script moved the view (the window repaints).
    std::shared_ptr<layout::LiveLayout> view;
    std::function<void()> viewChanged;
    // What to call after an editing command ran through the command target
    // (the host's accelerators and buttons): the window puts its caret where
    // the selection now is.
    std::function<void()> commandRan;
};
using StatePtr = std::shared_ptr<DocumentState>;

}  // namespace com

// The engine's private interface: the tree node behind one of its objects.
struct IEngineNode : public IUnknown {
    virtual dom::Node* STDMETHODCALLTYPE EngineNode() = 0;
};
__CRT_UUID_DECL(IEngineNode, 0x6e1a2c57, 0x5c1b, 0x4c7b, 0x9e, 0x0b, 0x7d, 0x1f, 0x8c, 0x3a, 0x2b, 0x11)

namespace com {

// The node behind an object of this engine, null for any other object.
dom::Node* NodeOf(IUnknown* object);
// The adapter of a node (the class that fits its tag), queried for riid;
// a null node answers a null pointer and S_OK.
HRESULT WrapNode(const StatePtr& state, dom::Node* node, REFIID riid, void** out);

template <typename I>
ComPtr<I> Wrap(const StatePtr& state, dom::Node* node) {
    ComPtr<I> result;
    if (node) WrapNode(state, node, __uuidof(I), reinterpret_cast<void**>(result.Receive()));
    return result;
}

template <typename I>
HRESULT ReturnNode(const StatePtr& state, dom::Node* node, I** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!node) return S_OK;
    return WrapNode(state, node, __uuidof(I), reinterpret_cast<void**>(out));
}

}  // namespace com
