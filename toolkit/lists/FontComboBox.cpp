#include "lists/FontComboBox.h"

const MessageMap* COXFontComboBox::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXFontComboBox::OnEraseBkgnd>(WM_ERASEBKGND),
        MapReflectCommandEx<&COXFontComboBox::OnSelChange>(CBN_SELCHANGE),
        MapReflectCommandEx<&COXFontComboBox::OnSelEndOk>(CBN_SELENDOK),
        MapReflectCommandEx<&COXFontComboBox::OnCloseUp>(CBN_CLOSEUP),
        MapMessage<&COXFontComboBox::OnReflectDrawItem>(WM_REFLECT_BASE + WM_DRAWITEM),
        MapMessage<&COXFontComboBox::OnReflectMeasureItem>(WM_REFLECT_BASE + WM_MEASUREITEM),
        MapMessage<&COXFontComboBox::OnReflectCompareItem>(WM_REFLECT_BASE + WM_COMPAREITEM),
    };
    static const MessageMap map{CComboBox::GetMessageMap(), entries};
    return &map;
}

BOOL COXFontComboBox::AcceptFont(const OXLBFONTINFO&) { return TRUE; }

// Until the drop-down list first shows, a zero-sized font list of the combo box's own
// enumerates the fonts and hands their names to the combo box.
BOOL COXFontComboBox::InitializeComboBox() {
    if (!COXBaseSubclassedComboBox::InitializeComboBox()) return FALSE;
    CWnd* parent = GetParent();
    const DWORD style = WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | LBS_OWNERDRAWVARIABLE;
    if (!m_listBox.CreateEx(WS_EX_TOOLWINDOW, L"ComboLBox", L"", style, CRect(0, 0, 0, 0), parent, 0) &&
        !m_listBox.CreateEx(WS_EX_TOOLWINDOW, L"LISTBOX", L"", style, CRect(0, 0, 0, 0), parent, 0))
        return FALSE;
    CString text;
    for (int i = 0; i < m_listBox.GetCount(); ++i) {
        m_listBox.GetText(i, text);
        AddString(text);
    }
    return TRUE;
}

BOOL COXFontComboBox::SubclassListBoxCtrl(CWnd* list) {
    if (m_listBox.m_hWnd) m_listBox.DestroyWindow();
    const BOOL subclassed = COXBaseSubclassedComboBox::SubclassListBoxCtrl(list);
    m_listBox.SetFontComboBox(this);
    return subclassed;
}

void COXFontComboBox::DrawItem(LPDRAWITEMSTRUCT item) {
    if (!(item->itemState & ODS_COMBOBOXEDIT)) {
        m_listBox.DrawItem(item);
        return;
    }
    // The selection field: the chosen face's name in the combo box's own font.
    DRAWITEMSTRUCT field = *item;
    field.itemID = static_cast<UINT>(GetCurSel());
    CString text;
    if (static_cast<int>(field.itemID) >= 0 && m_listBox.m_hWnd) m_listBox.GetText(static_cast<int>(field.itemID), text);
    CDC dc;
    dc.Attach(field.hDC);
    CRect r(field.rcItem);
    const COLORREF fill = ::GetSysColor((field.itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    if (field.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        dc.FillSolidRect(&r, fill);
    } else if ((field.itemAction & ODA_FOCUS) && !(field.itemState & ODS_FOCUS)) {
        CBrush frame(fill);
        dc.FrameRect(&r, &frame);
    }
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    CRect textRect(r.left + 2, r.top, r.right - 2, r.bottom);
    dc.DrawText(text, &textRect, DT_SINGLELINE | DT_VCENTER);
    dc.SetBkMode(oldMode);
    if ((field.itemAction & (ODA_DRAWENTIRE | ODA_FOCUS)) && (field.itemState & ODS_FOCUS)) ::DrawFocusRect(dc, &r);
    dc.Detach();
}

int COXFontComboBox::CompareItem(LPCOMPAREITEMSTRUCT item) { return m_listBox.CompareItem(item); }

LRESULT COXFontComboBox::OnReflectDrawItem(WPARAM, LPARAM lParam) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    return TRUE;
}

LRESULT COXFontComboBox::OnReflectCompareItem(WPARAM, LPARAM lParam) {
    return CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
}

BOOL COXFontComboBox::OnCloseUp() {
    m_bClosedUp = TRUE;
    return FALSE;
}

// A face chosen from the dropped list goes to the top of the MRU block.
BOOL COXFontComboBox::OnSelChange() {
    if (m_bClosedUp) {
        const int selected = GetCurSel();
        if (m_listBox.GetMaxMRU() > 0 && selected >= 0 && m_listBox.m_hWnd) {
            m_listBox.MoveItemToMRU(selected, 0, TRUE);
            Invalidate(FALSE);
        }
        m_bClosedUp = FALSE;
    }
    return FALSE;
}
