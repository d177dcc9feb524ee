// Windows hosted in toolbar buttons. COXCustomTBButtonTemplate is what a
// hosted control offers the bar (create, copy into another bar, removal,
// saved state); _tagOXCUSTOMBUTTONDESCRIPTOR describes one registered
// control; COXCustomTBButtonWnd<W> and COXCustomTBComboBox<C> turn a
// framework window class into a hosted one.
#pragma once
#include "bars/BarArchive.h"
#include "wnd/Wnd.h"

class COXCustomTBButtonTemplate {
public:
    virtual ~COXCustomTBButtonTemplate() = default;
    virtual CWnd* GetWindow() { return nullptr; }
    virtual BOOL CreateControl(UINT, CWnd*, DWORD, DWORD, const wchar_t*, const wchar_t*) { return FALSE; }
    virtual COXCustomTBButtonTemplate* CreateCopy(CWnd*) { return nullptr; }
    virtual COXCustomTBButtonTemplate* CreateNewInstance() { return nullptr; }
    virtual void CopyContents(COXCustomTBButtonTemplate*) {}
    virtual BOOL OnRemoved() { return FALSE; }
    virtual BOOL IsCustomizing() const { return m_bCustomizing; }
    virtual void SetCustomizing(BOOL on) { m_bCustomizing = on; }
    virtual BOOL IsAutoDelete() const { return m_bAutoDelete; }
    virtual void SetAutoDelete(BOOL on) { m_bAutoDelete = on; }
    virtual BOOL SaveState(CBarArchiveWriter&) { return FALSE; }
    virtual BOOL LoadState(CBarArchiveReader&) { return FALSE; }

protected:
    BOOL m_bCustomizing = FALSE;
    BOOL m_bAutoDelete = FALSE;
    UINT_PTR m_nDragTimer = 0;
};

// Show flags of a custom button.
inline constexpr int OXCBS_VERTDOCKED = 1;
inline constexpr int OXCBS_HORZDOCKED = 2;
inline constexpr int OXCBS_FLOATING = 4;
inline constexpr int OXCBS_ALWAYS = 7;

struct _tagOXCUSTOMBUTTONDESCRIPTOR {
    COXCustomTBButtonTemplate* m_pCBTemplate = nullptr;  // not owned: the control's own object
    UINT m_nID = 0;
    int m_nWidth = -1;
    int m_nHeight = -1;
    int m_nFlags = OXCBS_ALWAYS;
    int m_nImageIndex = -1;

    _tagOXCUSTOMBUTTONDESCRIPTOR() = default;
    _tagOXCUSTOMBUTTONDESCRIPTOR(COXCustomTBButtonTemplate* control, UINT id, int width = -1, int height = -1,
                                 int flags = OXCBS_ALWAYS, int image = -1)
        : m_pCBTemplate(control), m_nID(id), m_nWidth(width), m_nHeight(height), m_nFlags(flags), m_nImageIndex(image) {}
};
using OXCUSTOMBUTTONDESCRIPTOR = _tagOXCUSTOMBUTTONDESCRIPTOR;

// Asks the bar under a hosted control whether drags of the control may start,
// and starts them: kept apart so that the templates need not see the bar.
bool CustomButtonDragAllowed(CWnd* control);
void StartCustomButtonDrag(CWnd* control);
// The size registered for a command id, (-1, -1) when none.
CSize RegisteredCustomButtonSize(UINT id);
bool IsCoolToolBar(CWnd* wnd);

inline constexpr UINT_PTR kCustomButtonDragTimer = 412;

template <typename PARENTWND>
class COXCustomTBButtonWnd : public PARENTWND, public COXCustomTBButtonTemplate {
public:
    CWnd* GetWindow() override { return this; }

    BOOL CreateControl(UINT id, CWnd* parent, DWORD style, DWORD exStyle, const wchar_t* className,
                       const wchar_t* text) override {
        return this->CreateEx(exStyle, className, text, style, ControlRect(id, parent), parent, id);
    }

    COXCustomTBButtonTemplate* CreateCopy(CWnd* parent) override {
        wchar_t className[261] = {};
        ::GetClassNameW(this->m_hWnd, className, 260);
        const CString text = this->GetWindowText();
        COXCustomTBButtonTemplate* copy = CreateNewInstance();
        if (!copy) return nullptr;
        if (!copy->CreateControl(static_cast<UINT>(this->GetDlgCtrlID()), parent, this->GetStyle(), this->GetExStyle(),
                                 className, text)) {
            delete copy;
            return nullptr;
        }
        copy->SetAutoDelete(TRUE);  // the copy belongs to its bar and goes with its window
        CopyContents(copy);
        return copy;
    }

    COXCustomTBButtonTemplate* CreateNewInstance() override { return new COXCustomTBButtonWnd<PARENTWND>; }

    void CopyContents(COXCustomTBButtonTemplate* target) override {
        HFONT font = this->GetFont();
        if (font && target && target->GetWindow()) target->GetWindow()->SetFont(font, TRUE);
    }

    BOOL OnRemoved() override {
        if (IsAutoDelete()) return this->DestroyWindow();
        return ::ShowWindow(this->m_hWnd, SW_HIDE);
    }

    BOOL SaveState(CBarArchiveWriter& archive) override {
        archive.WriteString(this->m_hWnd ? this->GetWindowText() : CString());
        return TRUE;
    }

    BOOL LoadState(CBarArchiveReader& archive) override {
        CString text;
        if (!archive.ReadString(text)) return FALSE;
        if (this->m_hWnd) this->SetWindowText(text);
        return TRUE;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const BOOL customizing = IsCustomizing();
        bool dragStarting = false;
        if (message == WM_MOUSEMOVE && m_nDragTimer && GetKeyState(VK_LBUTTON) >= 0) {
            this->KillTimer(m_nDragTimer);
            m_nDragTimer = 0;
        }
        if ((message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN) &&
            (customizing || CustomButtonDragAllowed(this))) {
            dragStarting = true;
            m_nDragTimer = this->SetTimer(kCustomButtonDragTimer, 200);
        }
        if (message == WM_TIMER && m_nDragTimer && wParam == m_nDragTimer) {
            this->KillTimer(m_nDragTimer);
            m_nDragTimer = 0;
            if (GetKeyState(VK_LBUTTON) >= 0) return 0;
            StartCustomButtonDrag(this);
            return 0;
        }
        if (!customizing && !dragStarting && !m_nDragTimer) return PARENTWND::WindowProc(message, wParam, lParam);
        if (message >= WM_MOUSEFIRST && message < 0x020E) {
            HWND parent = ::GetParent(this->m_hWnd);
            // Wheel messages carry screen coordinates: they go on as they are.
            if (message == WM_MOUSEWHEEL) return ::SendMessageW(parent, message, wParam, lParam);
            // Other mouse input goes to the bar, in its coordinates.
            POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ::MapWindowPoints(this->m_hWnd, parent, &point, 1);
            return ::SendMessageW(parent, message, wParam, MAKELPARAM(point.x, point.y));
        }
        if (message >= WM_KEYFIRST && message < 0x010A) return 0;
        return PARENTWND::WindowProc(message, wParam, lParam);
    }

protected:
    void PostNcDestroy() override {
        PARENTWND::PostNcDestroy();
        if (IsAutoDelete()) delete this;
    }
    virtual CRect ControlRect(UINT, CWnd*) { return CRect(0, 0, 0, 0); }
};

template <typename PARENTCOMBO>
class COXCustomTBComboBox : public COXCustomTBButtonWnd<PARENTCOMBO> {
public:
    COXCustomTBButtonTemplate* CreateNewInstance() override { return new COXCustomTBComboBox<PARENTCOMBO>; }

    void CopyContents(COXCustomTBButtonTemplate* target) override {
        COXCustomTBButtonWnd<PARENTCOMBO>::CopyContents(target);
        CWnd* other = target ? target->GetWindow() : nullptr;
        if (!other || (other->GetStyle() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))) return;
        other->SendMessage(CB_RESETCONTENT);
        const int count = static_cast<int>(this->SendMessage(CB_GETCOUNT));
        for (int i = 0; i < count; ++i) {
            CString text;
            this->GetLBText(i, text);
            const auto at = other->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<const wchar_t*>(text)));
            other->SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(at), this->SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(i)));
        }
        const auto selection = this->SendMessage(CB_GETCURSEL);
        if (selection != CB_ERR) other->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(selection));
        other->SetWindowText(this->GetWindowText());
    }

protected:
    CRect ControlRect(UINT id, CWnd* parent) override {
        if (!IsCoolToolBar(parent)) return CRect(0, 0, 0, 0);
        const CSize size = RegisteredCustomButtonSize(id);
        return CRect(0, 0, size.cx, size.cy);
    }
};
