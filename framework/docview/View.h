// CView: a child window of a frame that shows a document. Created by the
// frame from the template's view class with the document in the creation
// context; deletes itself when its window is destroyed.
#pragma once
#include "wnd/Wnd.h"

class CDC;
class CDocument;
class CPreviewView;
class CPrintInfo;

class CView : public CWnd {
public:
    CView() = default;
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint, CCmdTarget* hintObject);
    virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView);
    virtual void OnDraw(CDC*) {}

    BOOL OnCmdMsg(CommandCall& call) override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

    // Printing. The commands (a view maps them to its print commands): print
    // after the print dialog, print at once on the default printer, and the
    // print preview in the main window.
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    // Sets the run's page range and gets the printer (DoPreparePrinting);
    // false ends the run.
    virtual BOOL OnPreparePrinting(CPrintInfo* info) { return DoPreparePrinting(info); }
    // The print dialog, or without it (print at once, preview) the default
    // printer. A preview without any printer lays its pages out on the
    // paper of the user's locale; printing without one says so.
    BOOL DoPreparePrinting(CPrintInfo* info);
    virtual void OnBeginPrinting(CDC*, CPrintInfo*) {}
    virtual void OnPrepareDC(CDC*, CPrintInfo*) {}
    // Draws the run's current page in its drawing rectangle.
    virtual void OnPrint(CDC* dc, CPrintInfo*) { OnDraw(dc); }
    virtual void OnEndPrinting(CDC*, CPrintInfo*) {}
    virtual void OnEndPrintPreview(CDC* dc, CPrintInfo* info, POINT, CPreviewView*) { OnEndPrinting(dc, info); }
    // The pages of a prepared run, each between StartPage and EndPage on the
    // DC; false when the device refused a page.
    BOOL PrintPages(CDC* dc, CPrintInfo* info);

    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();

protected:
    const MessageMap* GetMessageMap() const override;
    void PostNcDestroy() override { delete this; }
    void OnPaint();
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
    LRESULT OnMouseActivate(WPARAM, LPARAM);

    CDocument* m_pDocument = nullptr;

private:
    friend class CDocument;
    void PrintDocument(BOOL direct);
};
