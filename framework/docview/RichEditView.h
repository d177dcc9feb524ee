// CRichEditView: a view that is a rich edit control. It answers the
// control's questions about embedded objects (its OLE callback: storage
// for a new object through the document's CreateClientItem, which data a
// paste may bring), and prints the control's text: laid out in the
// control's default font inside the page margins (m_rectMargin, twips),
// wrapped at blanks, page after page.
#pragma once
#include "com/ComPtr.h"
#include "docview/View.h"

#include <memory>
#include <vector>

#include <richole.h>

class CRichEditCntrItem;
class CRichEditDoc;

class CRichEditView : public CView {
public:
    CRichEditView();
    ~CRichEditView() override;

    CRichEditDoc* GetDocument() const;
    // The control is the view's own window.
    CWnd& GetRichEditCtrl() { return *this; }
    // The control's text, paragraphs ended by "\r" as the control keeps them.
    CString GetControlText() const;
    // Replaces the control's text (not undoable) and marks it unmodified.
    void SetControlText(const CString& text);

    // Page margins for printing, in twips (1/1440 inch).
    CRect m_rectMargin{1800, 1440, 1800, 1440};
    void SetMargins(const CRect& margins) { m_rectMargin = margins; }

    // The object selected in the control, as the document's item; null when
    // the selection is no single object.
    CRichEditCntrItem* GetSelectedItem() const;
    // Whether a paste or drop may bring that data (the control asks through
    // its callback); the format may be narrowed to one the view takes.
    virtual HRESULT QueryAcceptData(IDataObject* data, CLIPFORMAT* format, DWORD reco, BOOL really, HGLOBAL metafile);
    // Whether the control may embed an object at all.
    virtual HRESULT QueryInsertObject(const CLSID& clsid, IStorage* storage, LONG position);

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    void OnPrint(CDC* dc, CPrintInfo* info) override;
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;

protected:
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnPaint() { Default(); }  // the control paints itself
    void OnUpdate(CView*, LPARAM, CCmdTarget*) override {}

private:
    class OleCallback;
    friend class OleCallback;
    ComPtr<IRichEditOleCallback> m_callback;
    // One printed line: a piece of a text line, and where its page starts.
    struct PrintLine {
        int line = 0, start = 0, length = 0;
    };
    std::vector<CString> m_printText;             // the text's lines, tabs as blanks
    std::vector<std::vector<PrintLine>> m_printPages;
    HFONT m_printFont = nullptr;
    int m_printLineHeight = 0;
    CRect m_printArea;
};
