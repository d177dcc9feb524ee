#include "dialog/Dialog.h"

#include "app/WinApp.h"
#include "controls/EditSelectAll.h"
#include "dialog/DataExchange.h"

namespace {

INT_PTR CALLBACK DialogBoxProc(HWND, UINT, WPARAM, LPARAM) {
    // The dialog's messages reach its CDialog through the subclassed window
    // procedure; the dialog manager only needs its defaults.
    return FALSE;
}

const DLGTEMPLATE* FindDialogTemplate(UINT id) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(instance, resource);
    return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
}

// Whether the template leaves the dialog's place open: x and y both 0.
bool TemplateHasNoPosition(const DLGTEMPLATE* dialogTemplate) {
    const auto* words = reinterpret_cast<const WORD*>(dialogTemplate);
    if (words[0] == 1 && words[1] == 0xFFFF) {  // DLGTEMPLATEEX: version, signature, help id, styles, count
        const auto* ex = reinterpret_cast<const BYTE*>(dialogTemplate);
        const auto* position = reinterpret_cast<const short*>(ex + 2 * sizeof(WORD) + 3 * sizeof(DWORD) + sizeof(WORD));
        return position[0] == 0 && position[1] == 0;
    }
    return dialogTemplate->x == 0 && dialogTemplate->y == 0;
}

}  // namespace

const MessageMap* CDialog::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CDialog::HandleOK>(IDOK),
        MapCommand<&CDialog::HandleCancel>(IDCANCEL),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

HWND CDialog::OwnerWindow() const {
    if (m_pParentWnd && m_pParentWnd->GetSafeHwnd()) return m_pParentWnd->GetSafeHwnd();
    CWnd* main = AfxGetMainWnd();
    HWND owner = main ? main->GetSafeHwnd() : nullptr;
    return owner ? GetLastActivePopup(owner) : nullptr;
}

INT_PTR CDialog::DoModal() {
    const DLGTEMPLATE* dialogTemplate = FindDialogTemplate(m_nIDTemplate);
    if (!dialogTemplate) return -1;
    m_modal = true;
    m_centreAtInit = TemplateHasNoPosition(dialogTemplate);
    BindWindowBeingCreated(this);
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, OwnerWindow(), DialogBoxProc,
                                             reinterpret_cast<LPARAM>(this));
    EndBindWindowBeingCreated();
    m_modal = false;
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    if (parent) m_pParentWnd = parent;
    const DLGTEMPLATE* dialogTemplate = FindDialogTemplate(m_nIDTemplate);
    if (!dialogTemplate) return FALSE;
    m_centreAtInit = TemplateHasNoPosition(dialogTemplate);
    HWND hwnd = CreateBound([&] {
        return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, OwnerWindow(), DialogBoxProc,
                                          reinterpret_cast<LPARAM>(this));
    });
    return hwnd != nullptr;
}

void CDialog::EndDialog(int result) {
    if (!m_hWnd) return;
    if (m_modal) {
        ::EndDialog(m_hWnd, result);
    } else {
        DestroyWindow();
    }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // Before the initialisation binds its controls, so that a CEdit bound
        // to a box stands in front of this and sees its keys first.
        SelectAllOnCtrlAInChildren(m_hWnd);
        CRect before;
        GetWindowRect(&before);
        BOOL result = OnInitDialog();
        // A dialog without a place of its own opens centred on its owner,
        // unless its initialisation placed it.
        CRect after;
        GetWindowRect(&after);
        if (m_centreAtInit && m_hWnd && !(GetStyle() & WS_CHILD) && before.TopLeft() == after.TopLeft()) CenterWindow();
        return result;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const CDataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    // Modeless dialogs need the dialog manager's keyboard handling from the program's loop.
    if (!m_modal && m_hWnd && ::IsDialogMessageW(m_hWnd, msg)) return TRUE;
    return FALSE;
}
