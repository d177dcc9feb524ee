// COXCoolToolBar in customise mode: buttons are selected with the mouse, a
// right click opens a button's context menu, and its commands (delete, hide
// or show the text, separators before and after) are offered to the owner
// first, which may take any of them over.
#include "bars/CoolToolBar.h"

#include "wnd/Resources.h"

namespace {

CString MenuText(UINT resource, const wchar_t* fallback) {
    CString text = LoadStringResource(resource);
    return text.IsEmpty() ? CString(fallback) : text;
}

}  // namespace

bool COXCoolToolBar::IsPlainSeparator(int index) const {
    if (index < 0 || index >= GetCount()) return false;
    TBBUTTON b{};
    SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b));
    return (b.fsStyle & TBSTYLE_SEP) && !IsCustomButton(index);
}

BOOL COXCoolToolBar::ShowCustomizeMenu(int index, int x, int y) {
    const int count = GetCount();
    if (index < 0 || index >= count) return FALSE;
    HMENU menu = CreatePopupMenu();
    if (!menu) return FALSE;
    TBBUTTON b{};
    SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b));
    AppendMenuW(menu, MF_STRING, OXTB_CMD_DELETE, MenuText(26585, L"&Delete"));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, OXTB_CMD_PROPERTIES, MenuText(26586, L"&Properties..."));
    if (!(b.fsStyle & TBSTYLE_SEP) && !IsCustomButton(index)) {
        const bool noText = GetButtonText(index).IsEmpty();
        AppendMenuW(menu, MF_STRING | (noText ? MF_CHECKED : 0), OXTB_CMD_HIDETEXT, MenuText(26587, L"&Hide Text"));
        AppendMenuW(menu, MF_STRING | (!noText && b.iBitmap != -1 ? MF_CHECKED : 0), OXTB_CMD_SHOWTEXT,
                    MenuText(26588, L"&Show Text"));
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (index == 0 || IsPlainSeparator(index - 1) ? MF_GRAYED : 0), OXTB_CMD_SEPBEFORE,
                MenuText(26589, L"Separator &Before"));
    AppendMenuW(menu, MF_STRING | (index == count - 1 || IsPlainSeparator(index + 1) ? MF_GRAYED : 0), OXTB_CMD_SEPAFTER,
                MenuText(26590, L"Separator &After"));
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    return TRUE;
}

void COXCoolToolBar::OnCustomizeCommand(UINT command) {
    if (NotifyOwner(command, 0)) return;
    const int index = m_nCustomizedButton;
    if (index < 0 || index >= GetCount()) return;
    const UINT id = GetItemID(index);
    switch (command) {
    case OXTB_CMD_DELETE:
        DeleteButton(index);
        break;
    case OXTB_CMD_HIDETEXT:
        if (CString text = GetButtonText(index); !text.IsEmpty()) {
            m_hiddenTexts[id] = text;
            SetButtonText(index, L"");
            UpdateCustomButtons(TRUE, TRUE);
        }
        break;
    case OXTB_CMD_SHOWTEXT:
        if (GetButtonText(index).IsEmpty()) {
            CString text = GetHiddenButtonText(id);
            if (text.IsEmpty()) {
                const CString full = LoadStringResource(id);
                if (const int feed = full.Find(L'\n'); feed >= 0) text = full.Mid(feed + 1);
            }
            if (!text.IsEmpty()) {
                SetButtonText(index, text);
                UpdateCustomButtons(TRUE, TRUE);
            }
        }
        break;
    case OXTB_CMD_SEPBEFORE:
    case OXTB_CMD_SEPAFTER: {
        TBBUTTON separator{};
        separator.iBitmap = -1;
        separator.fsStyle = TBSTYLE_SEP;
        separator.iString = -1;
        const int at = command == OXTB_CMD_SEPBEFORE ? index : index + 1;
        SendMessage(TB_INSERTBUTTONW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&separator));
        break;
    }
    default:  // OXTB_CMD_PROPERTIES: the notice is all
        break;
    }
}

bool COXCoolToolBar::OnCustomizeMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!m_bAdvancedCustomizable || !m_bCustomizeMode) return false;
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const int hit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
        int index = hit;
        if (hit < 0) index = IsCustomButton(-1 - hit) ? -1 - hit : -1;
        SetCustomizedButton(index);
        if (message != WM_LBUTTONDOWN) return false;
        result = CMFCToolBar::WindowProc(message, wParam, lParam);
        if (index >= 0 && (SendMessage(TB_GETSTATE, GetItemID(index)) & TBSTATE_PRESSED))
            SendMessage(TB_PRESSBUTTON, GetItemID(index), FALSE);
        return true;
    }
    case WM_RBUTTONUP:
        if (m_nCustomizedButton < 0) return false;
        ClientToScreen(&pt);
        ShowCustomizeMenu(m_nCustomizedButton, pt.x, pt.y);
        result = 0;
        return true;
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        // The press selected the button; it is not run.
        if (::GetCapture() == m_hWnd) ReleaseCapture();
        result = 0;
        return true;
    default:
        return false;
    }
}
