// The page view's browsing: edit and browse mode, the page and its links
// opened through the shell, the view's own context menu in browse mode, the
// engine's find for the current page, the hand-over of a loaded page to the
// search, and the tree's selection following the active page window.
#include "page/TarveloView.h"

#include "MainFrame.h"
#include "page/ShellOpen.h"
#include "resource.h"

#include "app/WinApp.h"
#include "browser/PageSource.h"
#include "docview/Document.h"
#include "wnd/MDIChildWnd.h"

#include <mshtmcid.h>

#include <memory>

namespace {

// The page view the tree last selected for; null when it went.
CTarveloView* s_lastActiveView = nullptr;

CMainFrame* MainFrame() { return dynamic_cast<CMainFrame*>(AfxGetMainWnd()); }

// Items of the browse-mode context menu.
enum : UINT { kMenuOpenLink = 1, kMenuClose = 2, kMenuBrowse = 3, kMenuCopy = 4, kMenuPaste = 5, kMenuExport = 6 };

struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};

} // namespace

const MessageMap* CTarveloView::BrowseMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CTarveloView::OnPaint>(WM_PAINT),
        MapMessage<&CTarveloView::OnDestroy>(WM_DESTROY),
        MapCommand<&CTarveloView::OnMode>(ID_VIEW_MODE),
        MapCommand<&CTarveloView::OnBrowse>(ID_VIEW_BROWSE),
        MapCommand<&CTarveloView::OnOpenLink>(ID_OPEN_LINK),
        MapCommand<&CTarveloView::OnSearchCurrentPage>(ID_EDIT_SEARCH_PAGE),
    };
    static const MessageMap map{CHtmlEditView::GetMessageMap(), entries};
    return &map;
}

void CTarveloView::OnMode() {
    // Every completed load turns edit mode on, so the first Mode after it browses.
    m_bEditMode = !m_bEditMode;
    SetDesignMode(m_bEditMode != FALSE);
}

void CTarveloView::OnBrowse() {
    CDocument* document = GetDocument();
    if (!document || document->GetPathName().IsEmpty()) return;
    const CString path = document->GetPathName();
    int answer = OpenWithShell(m_hWnd, path);
    if (answer > 32) return;
    TellShellOpenFailed(m_hWnd, L"The page could not be opened outside Tarvelo", path, answer);
}

void CTarveloView::OnOpenLink() { OpenLinkAtCursor(); }

bool CTarveloView::LinkAtSelection(CString& href) const {
    href.Empty();
    ComPtr<IDispatch> dispatch = GetHtmlDocument();
    if (!dispatch) return false;
    bcHtmlDocument document;
    document.Attach(dispatch.Get());
    for (bcHtmlElement element = document.GetSelectedElement(true); element.IsValid();
         element = element.GetParentElement()) {
        CString tag = element.GetTagName();
        if (tag == L"HTML") return false;
        if (tag != L"A") continue;
        href = element.GetAttribute(L"href");
        href.Trim();
        // A relative address names a file beside the page, as the engine reads it.
        if (!href.IsEmpty() && href.Find(L':') < 0 && href[0] != L'#' && GetDocument()) {
            CString local = browser::LocalFilePath(browser::PageFolder(GetDocument()->GetPathName()), href);
            if (!local.IsEmpty()) href = local;
        }
        return true;
    }
    return false;
}

void CTarveloView::OpenLinkAtCursor() {
    CString href;
    if (LinkAtSelection(href) && !href.IsEmpty()) OpenWithShell(m_hWnd, href);
}

BOOL CTarveloView::PreTranslateMessage(MSG* msg) {
    // A double-click opens the link at the caret; it never selects a word.
    if (msg->message == WM_LBUTTONDBLCLK) {
        OpenLinkAtCursor();
        return TRUE;
    }
    return CHtmlEditView::PreTranslateMessage(msg);
}

HRESULT CTarveloView::OnShowContextMenu(DWORD, POINT* at, IUnknown*, IDispatch*) {
    POINT point{};
    if (at) point = *at;
    std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter> menu(CreatePopupMenu());
    if (!menu) return S_OK;
    HMENU popup = menu.get();
    AppendMenuW(popup, MF_STRING, kMenuOpenLink, L"Open Link\tF3");
    AppendMenuW(popup, MF_STRING, kMenuClose, L"Close the File\tCtrl + Q");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_STRING, kMenuCopy, L"Copy\tCtrl + C");
    AppendMenuW(popup, MF_STRING, kMenuPaste, L"Paste\tCtrl + V");
    AppendMenuW(popup, MF_STRING, kMenuExport, L"Export");
    AppendMenuW(popup, MF_STRING, kMenuBrowse, L"Browse the File");
    CString href;
    if (!LinkAtSelection(href)) EnableMenuItem(popup, kMenuOpenLink, MF_BYCOMMAND | MF_GRAYED);
    UINT chosen = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x, point.y, 0, m_hWnd, nullptr));
    switch (chosen) {
    case kMenuOpenLink:
        if (!href.IsEmpty()) OpenWithShell(m_hWnd, href);
        break;
    case kMenuClose:
        if (CDocument* document = GetDocument()) {
            // The document's own close (with its save question); it may take this view with it.
            CommandCall close;
            close.id = ID_FILE_CLOSE;
            document->OnCmdMsg(close);
        }
        return S_OK;
    case kMenuBrowse: OnBrowse(); break;
    case kMenuCopy: ExecInt(IDM_COPY, 0); break;
    case kMenuPaste: ExecInt(IDM_PASTE, 0); break;
    case kMenuExport:
        if (CMainFrame* frame = MainFrame()) frame->OnExport();
        break;
    default: break;
    }
    return S_OK;  // the engine shows no menu of its own
}

void CTarveloView::OnSearchCurrentPage() {
    // The engine's own find, run on this page whatever window has the focus.
    if (HWND engine = GetEngineWindow()) ::SetFocus(engine);
    ExecInt(IDM_FIND, 0);
}

void CTarveloView::OnDocumentComplete(const wchar_t*) {
    if (CMainFrame* frame = MainFrame()) frame->MarkFoundPage(this);
}

void CTarveloView::OnActivateView(BOOL activate, CView*, CView*) {
    // A page window brought to the front without repainting (tiled windows)
    // would otherwise leave the tree on the page before it.
    if (activate) FollowInTree();
}

void CTarveloView::OnPaint() {
    CHtmlEditView::OnPaint();
    FollowInTree();
}

void CTarveloView::FollowInTree() {
    CMainFrame* frame = MainFrame();
    if (!frame || s_lastActiveView == this || !GetDocument()) return;
    CMDIChildWnd* child = frame->MDIGetActive();
    if (!child || child->GetActiveView() != this) return;
    auto& items = frame->m_wndTree.m_itemsByPath;
    auto item = items.find(GetDocument()->GetPathName());
    if (item == items.end()) return;
    frame->m_wndTree.SelectItem(item->second);
    s_lastActiveView = this;
}

void CTarveloView::OnDestroy() {
    if (s_lastActiveView == this) s_lastActiveView = nullptr;
    if (CMainFrame* frame = MainFrame()) frame->m_search.ForgetView(this);
    CHtmlEditView::OnDestroy();
}
