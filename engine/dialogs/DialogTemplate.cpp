#include "dialogs/DialogTemplate.h"

#include "controls/EditSelectAll.h"

namespace dialogs {

namespace {
constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082, kComboBox = 0x0085;

void PutDword(std::vector<WORD>& bytes, DWORD value) {
    bytes.push_back(LOWORD(value));
    bytes.push_back(HIWORD(value));
}
}  // namespace

DialogTemplate::DialogTemplate(const CString& caption, int width, int height) {
    PutDword(m_bytes, DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    PutDword(m_bytes, 0);  // extended style
    m_countAt = m_bytes.size();
    Word(0);  // items
    Word(0);
    Word(0);
    Word(static_cast<WORD>(width));
    Word(static_cast<WORD>(height));
    Word(0);  // no menu
    Word(0);  // the standard class
    Text(caption);
    Word(8);
    Text(L"MS Shell Dlg");
}

void DialogTemplate::Text(const CString& text) {
    for (wchar_t c : text.str()) Word(c);
    Word(0);
}

void DialogTemplate::Align() {
    if (m_bytes.size() % 2) Word(0);  // items start on a DWORD boundary
}

void DialogTemplate::Item(DWORD style, WORD classAtom, const CString& text, int id, int x, int y, int cx, int cy) {
    Align();
    PutDword(m_bytes, style | WS_CHILD | WS_VISIBLE);
    PutDword(m_bytes, 0);
    for (int value : {x, y, cx, cy}) Word(static_cast<WORD>(value));
    Word(static_cast<WORD>(id));
    Word(0xFFFF);
    Word(classAtom);
    Text(text);
    Word(0);  // no creation data
    ++m_bytes[m_countAt];
}

void DialogTemplate::Static(const CString& text, int id, int x, int y, int cx, int cy) {
    Item(SS_LEFT, kStatic, text, id, x, y, cx, cy);
}
void DialogTemplate::Edit(int id, int x, int y, int cx, int cy) {
    Item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kEdit, CString(), id, x, y, cx, cy);
}
void DialogTemplate::Button(const CString& text, int id, int x, int y, int cx, int cy, DWORD kind) {
    Item(kind | WS_TABSTOP, kButton, text, id, x, y, cx, cy);
}
void DialogTemplate::Group(const CString& text, int x, int y, int cx, int cy) {
    Item(BS_GROUPBOX, kButton, text, -1, x, y, cx, cy);
}
void DialogTemplate::DropList(int id, int x, int y, int cx, int cy) {
    Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kComboBox, CString(), id, x, y, cx, cy);
}

void DialogTemplate::LabelledEdit(const CString& label, int id, int x, int y, int labelWidth, int editX, int editWidth) {
    Static(label, -1, x, y + 2, labelWidth, 10);
    Edit(id, editX, y, editWidth, 13);
}
void DialogTemplate::LabelledList(const CString& label, int id, int x, int y, int labelWidth, int listX, int listWidth) {
    Static(label, -1, x, y + 2, labelWidth, 10);
    DropList(id, listX, y, listWidth, 120);
}

void DialogTemplate::OkCancel(int x, int y, bool stacked, const CString& okText) {
    Button(okText, IDOK, x, y, 50, 14, BS_DEFPUSHBUTTON);
    Button(L"Cancel", IDCANCEL, stacked ? x : x + 56, stacked ? y + 18 : y, 50, 14);
}

INT_PTR DialogTemplate::Run(HWND owner, DLGPROC procedure, LPARAM parameter) const {
    std::vector<WORD> copy = m_bytes;  // DWORD aligned by the vector's allocation
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), owner,
                                   procedure, parameter);
}

namespace {

INT_PTR CALLBACK HandlerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SelectAllOnCtrlAInChildren(dialog);
        reinterpret_cast<DialogHandler*>(lParam)->OnInit(dialog);
        return TRUE;
    }
    auto* handler = reinterpret_cast<DialogHandler*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message != WM_COMMAND || !handler) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        if (handler->OnOk(dialog)) EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    default: return handler->OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    }
}

}  // namespace

bool RunDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler) {
    return dialog.Run(owner, HandlerProc, reinterpret_cast<LPARAM>(&handler)) == IDOK;
}

CString ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    int length = control ? GetWindowTextLengthW(control) : 0;
    if (length <= 0) return CString();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int read = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(read, 0)));
    return CString(std::move(text));
}

}  // namespace dialogs
