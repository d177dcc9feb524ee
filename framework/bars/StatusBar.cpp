#include "bars/StatusBar.h"

#include "wnd/Resources.h"

#include <algorithm>

const MessageMap* CStatusBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CStatusBar::OnSize>(WM_SIZE),
        MapMessage<&CStatusBar::OnNcCalcSize>(WM_NCCALCSIZE),
        MapMessage<&CStatusBar::OnControlPaint>(WM_PAINT),
        MapMessage<&CStatusBar::OnNcPaint>(WM_NCPAINT),
    };
    static const MessageMap map{CControlBar::GetMessageMap(), entries};
    return &map;
}

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    m_dwStyle = style & CBRS_ALL;
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
    const DWORD windowStyle = (style & ~CBRS_ALL) | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
    HWND hwnd = CreateBound([&] {
        return CreateWindowExW(0, STATUSCLASSNAMEW, L"", windowStyle | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                               parent ? parent->m_hWnd : nullptr, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    });
    if (!hwnd) return FALSE;
    if (parent) SetOwner(parent);
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    if (count < 0 || count > 255 || (count && !ids)) return FALSE;
    m_panes.assign(static_cast<size_t>(count), Pane{});
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    for (int i = 0; i < count; ++i) {
        Pane& pane = m_panes[static_cast<size_t>(i)];
        pane.id = ids[i];
        if (pane.id == ID_SEPARATOR) {
            pane.style = SBPS_STRETCH | SBPS_NOBORDERS;
            continue;
        }
        pane.text = LoadStringResource(pane.id);
        SIZE extent{};
        GetTextExtentPoint32W(dc, pane.text, pane.text.GetLength(), &extent);
        pane.width = extent.cx + 8;
    }
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    UpdatePanes();
    return TRUE;
}

void CStatusBar::UpdatePanes() {
    if (!m_hWnd || m_panes.empty()) return;
    CRect client;
    GetClientRect(&client);
    int fixed = 0;
    for (const Pane& pane : m_panes)
        if (!(pane.style & SBPS_STRETCH)) fixed += pane.width;
    std::vector<int> edges;
    int x = 0;
    for (const Pane& pane : m_panes) {
        x += (pane.style & SBPS_STRETCH) ? std::max(0, client.Width() - fixed) : pane.width;
        edges.push_back(x);
    }
    edges.back() = -1;  // the last pane runs to the end
    SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < m_panes.size(); ++i) {
        const Pane& pane = m_panes[i];
        const bool off = pane.style & SBPS_DISABLED;
        SendMessage(SB_SETTEXTW, i | (pane.style & (SBT_NOBORDERS | SBT_POPOUT)),
                    reinterpret_cast<LPARAM>(off ? L"" : static_cast<const wchar_t*>(pane.text)));
    }
}

int CStatusBar::CommandToIndex(UINT id) const {
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].id == id) return static_cast<int>(i);
    return -1;
}

UINT CStatusBar::GetItemID(int index) const {
    return (index >= 0 && index < GetCount()) ? m_panes[static_cast<size_t>(index)].id : 0;
}

BOOL CStatusBar::SetPaneText(int index, const wchar_t* text, BOOL update) {
    if (index < 0 || index >= GetCount()) return FALSE;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    pane.text = text ? text : L"";
    if (update) {
        pane.flags &= ~SBPF_UPDATE;
        UpdatePanes();
    } else {
        pane.flags |= SBPF_UPDATE;
    }
    return TRUE;
}

CString CStatusBar::GetPaneText(int index) const {
    return (index >= 0 && index < GetCount()) ? m_panes[static_cast<size_t>(index)].text : CString();
}

void CStatusBar::GetPaneInfo(int index, UINT& id, UINT& style, int& width) const {
    if (index < 0 || index >= GetCount()) {
        id = style = 0;
        width = 0;
        return;
    }
    const Pane& pane = m_panes[static_cast<size_t>(index)];
    id = pane.id;
    style = pane.style;
    width = pane.width;
}

void CStatusBar::SetPaneInfo(int index, UINT id, UINT style, int width) {
    if (index < 0 || index >= GetCount()) return;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    pane.id = id;
    pane.style = style;
    pane.width = std::max(0, width);
    UpdatePanes();
}

void CStatusBar::GetItemRect(int index, LPRECT rect) const {
    if (!SendMessage(SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect))) ::SetRectEmpty(rect);
}

CSize CStatusBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    CSize size = CControlBar::CalcFixedLayout(stretch, horz);
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    size.cy = metrics.tmHeight + 8;
    return size;
}

LRESULT CStatusBar::OnNcCalcSize(WPARAM, LPARAM) { return 0; }

void CStatusBar::OnSize(UINT, int, int) {
    Default();
    UpdatePanes();
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
    bool changed = false;
    for (size_t i = 0; i < m_panes.size(); ++i) {
        Pane& pane = m_panes[i];
        int key = 0;
        if (pane.id == ID_INDICATOR_CAPS) key = VK_CAPITAL;
        else if (pane.id == ID_INDICATOR_NUM) key = VK_NUMLOCK;
        else if (pane.id == ID_INDICATOR_SCRL) key = VK_SCROLL;
        if (key) {
            const UINT style = (GetKeyState(key) & 1) ? (pane.style & ~SBPS_DISABLED) : (pane.style | SBPS_DISABLED);
            changed |= style != pane.style;
            pane.style = style;
        }
    }
    if (changed) UpdatePanes();
    UpdateDialogControls(target, disableIfNoHandler);
}
