// CView: a child window of a frame that shows a document. Created by the
// frame from the template's view class with the document in the creation
// context; deletes itself when its window is destroyed.
#pragma once
#include "wnd/Wnd.h"

class CDC;
class CDocument;

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
};
