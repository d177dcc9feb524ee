#include "shortcutbar/ShortcutBarNotify.h"

#include <string>

LRESULT SendShortcutBarNotify(CWnd* sender, UINT code, HSHBGROUP group, int item, LPARAM lParam) {
    if (!sender || !sender->m_hWnd) return 0;
    HWND owner = ::GetWindow(sender->m_hWnd, GW_OWNER);
    if (!owner) owner = ::GetParent(sender->m_hWnd);
    if (!owner) return 0;
    SHBNotifyInfo info{};
    info.nItem = -1;
    info.hdr.hwndFrom = sender->m_hWnd;
    info.hdr.idFrom = static_cast<UINT_PTR>(sender->GetDlgCtrlID());
    info.hdr.code = code;
    info.hGroup = group;
    info.nItem = item;
    info.lParam = lParam;
    return ::SendMessageW(owner, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
}

void CopyToAnsiBuffer(const wchar_t* text, char* out, int size, UINT codePage) {
    if (!out || size <= 0) return;
    out[0] = 0;
    if (!text || !*text) return;
    const int needed = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return;
    std::string whole(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text, -1, whole.data(), needed, nullptr, nullptr);
    // Walk whole characters: a lead byte and its trail go together or not at all.
    int end = 0;
    for (int i = 0; i < needed - 1;) {
        const int length = (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(whole[static_cast<size_t>(i)])) && i + 1 < needed - 1) ? 2 : 1;
        if (i + length > size - 1) break;
        i += length;
        end = i;
    }
    memcpy(out, whole.data(), static_cast<size_t>(end));
    out[end] = 0;
}

void AnswerToolTipRequest(NMHDR* request, const SHBToolTipInfo& info) {
    if (!request) return;
    const wchar_t* text = info.lpszText ? info.lpszText : info.szText;
    wchar_t buffer[80];
    if (!info.lpszText) {
        // The owner may have filled all 80 characters: the copy always ends inside.
        wcsncpy(buffer, info.szText, 79);
        buffer[79] = 0;
        text = buffer;
    }
    if (request->code == TTN_GETDISPINFOW) {
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(request);
        tip->hinst = info.hInstance;
        if (info.lpszText) {
            tip->lpszText = info.lpszText;
        } else {
            wcsncpy(tip->szText, text, 79);
            tip->szText[79] = 0;
            tip->lpszText = tip->szText;
        }
    } else if (request->code == TTN_GETDISPINFOA) {
        auto* tip = reinterpret_cast<NMTTDISPINFOA*>(request);
        tip->hinst = info.hInstance;
        CopyToAnsiBuffer(text, tip->szText, static_cast<int>(sizeof(tip->szText)));
        tip->lpszText = tip->szText;
    }
}

CLIPFORMAT GetShortcutBarItemFormat() {
    static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Shortcut bar child window item"));
    return format;
}
