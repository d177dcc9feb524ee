// A main frame with one document template whose document, view and child
// frame record what reaches them, over a page file in a temporary folder.
#pragma once
#include "FrameworkTestApp.h"
#include "TempDir.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"
#include "docview/View.h"
#include "wnd/MDIChildWnd.h"
#include "wnd/MDIFrameWnd.h"

#include <gtest/gtest.h>

// Whether the view enables command 1006 in its update handler.
extern bool g_enable1006;

class TraceDoc : public CDocument {
public:
    BOOL OnSaveDocument(const wchar_t* path) override;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnDocCommand() { g_trace += L"doc;"; }
};

class TraceView : public CView {
protected:
    const MessageMap* GetMessageMap() const override;
    void OnViewCommand() { g_trace += L"view;"; }
    void OnUpdate1005(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnUpdate1006(CCmdUI* ui) { ui->Enable(g_enable1006); }
};

class TraceChild : public CMDIChildWnd {};

class TraceMainFrame : public CMDIFrameWnd {
protected:
    const MessageMap* GetMessageMap() const override;
    void OnFrameCommand() { g_trace += L"frame;"; }
};

class DocViewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    CString WritePage(const wchar_t* name);

    FrameworkTestApp m_app{L"DocViewTests"};
    TraceMainFrame* m_frame = nullptr;
    CMultiDocTemplate* m_template = nullptr;
    TempDir m_dir;
};
