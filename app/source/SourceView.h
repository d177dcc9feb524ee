// CSourceView: a page's HTML source in a rich edit control (the view's
// window is the control itself), printed with half-inch margins.
#pragma once
#include "docview/View.h"

class CSourceView : public CView {
public:
    // Shows the text (Arial, 10 points) with the caret at its end; not undoable.
    void ShowSource(const CString& text);
    // The control's text as it returns it.
    CString GetSourceText() const;
    // Print (the print dialog first) and print at once on the default printer.
    void OnFilePrint();
    void OnFilePrintDirect();

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void OnInitialUpdate() override {}
    void OnUpdate(CView*, LPARAM, CCmdTarget*) override {}
    void OnPaint() { Default(); }

private:
    // Prints on the printer the dialog returns; nothing when it is cancelled.
    void Print(DWORD dialogFlags);
};
