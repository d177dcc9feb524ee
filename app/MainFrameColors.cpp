// The format toolbar's colour buttons: the drop-down part picks a text or
// highlight colour for the active page; the button itself applies the colour
// last picked again.
#include "MainFrame.h"

#include "bars/ColorPickerCtrl.h"
#include "page/TarveloDoc.h"
#include "page/TarveloView.h"
#include "resource.h"
#include "wnd/MDIChildWnd.h"

#include <commctrl.h>

COLORREF GetPickerDefaultColor() { return RGB(0, 0, 128); }

void CMainFrame::OnToolbarDropDown(NMHDR* header, LRESULT* result) {
    *result = TBDDRET_DEFAULT;
    auto* notify = reinterpret_cast<NMTOOLBARW*>(header);
    const UINT id = static_cast<UINT>(notify->iItem);
    if (id != ID_FORMAT_COLOR && id != ID_FORMAT_HIGHLIGHT) return;
    // The colours belong to page documents; a source window has none to pick.
    CTarveloDoc* page = ActivePageDocument();
    const int index = m_wndToolBar.CommandToIndex(id);
    if (!page || index < 0) return;
    CRect button;
    m_wndToolBar.GetItemRect(index, &button);
    m_wndToolBar.ClientToScreen(&button);

    COXColorPickerCtrl picker(20, 4, static_cast<DWORD>(-1), 18, 18, 26536, 26537);
    if (!picker.Create(&m_wndToolBar, 16)) return;
    const bool text = id == ID_FORMAT_COLOR;
    picker.SetSelectedColor(text ? page->m_textColor : page->m_highlightColor);
    picker.SetDefaultColor(GetPickerDefaultColor());
    const BOOL picked = picker.Pick(3, &button, CSize(0, 0));
    CRect client = button;
    m_wndToolBar.ScreenToClient(&client);
    m_wndToolBar.InvalidateRect(&client, TRUE);
    // The picker ran its own message loop: the page may have closed meanwhile.
    if (ActivePageDocument() != page) return;
    if (picked) {
        if (text) page->SetTextColor(picker.GetSelectedColor());
        else page->SetHighlightColor(picker.GetSelectedColor());
    }
    page->UpdateAllViews(nullptr, 0);
}

CTarveloDoc* CMainFrame::ActivePageDocument() {
    CFrameWnd* active = GetActiveFrame();
    return active && active != this ? dynamic_cast<CTarveloDoc*>(active->GetActiveDocument()) : nullptr;
}

void CMainFrame::OnColor() { ApplyPageColour(true); }
void CMainFrame::OnHighLight() { ApplyPageColour(false); }

void CMainFrame::ApplyPageColour(bool text) {
    CMDIChildWnd* child = MDIGetActive();
    auto* view = child ? dynamic_cast<CTarveloView*>(child->GetActiveView()) : nullptr;
    auto* page = view ? dynamic_cast<CTarveloDoc*>(view->GetDocument()) : nullptr;
    if (!page) return;
    view->ApplyColour(text ? page->m_textColor : page->m_highlightColor, text);
}
