#include "dialogs/DialogAddTable.h"

#include "dialogs/DialogIds.h"

#include "core/MessageBox.h"
#include "dialog/DataExchange.h"

#include <climits>

namespace {

// The full and folded sizes, taken at the first click in the process and
// kept for every later instance of the dialog.
struct FoldSizes {
    bool known = false;
    RECT full{};
    RECT small{};
};
FoldSizes& Sizes() {
    static FoldSizes sizes;
    return sizes;
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// Whether the text starts with a number as atoi reads one (blanks, a sign, a digit).
bool StartsWithNumber(const CString& text) {
    int at = 0;
    const int length = text.GetLength();
    while (at < length && (text[at] == L' ' || (text[at] >= 9 && text[at] <= 13))) ++at;
    if (at < length && (text[at] == L'+' || text[at] == L'-')) ++at;
    return at < length && text[at] >= L'0' && text[at] <= L'9';
}

}  // namespace

int TextToIntLikeAtoi(const CString& text) {
    int at = 0;
    const int length = text.GetLength();
    while (at < length && (text[at] == L' ' || (text[at] >= 9 && text[at] <= 13))) ++at;
    bool negative = false;
    if (at < length && (text[at] == L'+' || text[at] == L'-')) negative = text[at++] == L'-';
    long long value = 0;
    for (; at < length && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        value = value * 10 + (text[at] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

bool ParseTableParams(const CString& width, const CString& columns, const CString& firstColumnWidth,
                      const CString& lastColumnWidth, const CString& rowHeight, const CString& rows,
                      const CString& name, TableParams& params) {
    params.width = TextToIntLikeAtoi(width);
    params.columns = TextToIntLikeAtoi(columns);
    params.firstColumnWidth = TextToIntLikeAtoi(firstColumnWidth);
    params.lastColumnWidth = TextToIntLikeAtoi(lastColumnWidth);
    params.rowHeight = TextToIntLikeAtoi(rowHeight);
    params.rows = TextToIntLikeAtoi(rows);
    params.name = name;
    return InRange(params.width, 1, 5000) && InRange(params.columns, 1, 100) &&
           InRange(params.firstColumnWidth, 0, params.width) && InRange(params.lastColumnWidth, 0, params.width) &&
           InRange(params.rowHeight, 0, 1000) && InRange(params.rows, 1, 100);
}

TableParamsProblem FindTableParamsProblem(const CString& width, const CString& columns, const CString& firstColumnWidth,
                                          const CString& lastColumnWidth, const CString& rowHeight,
                                          const CString& rows) {
    const int tableWidth = TextToIntLikeAtoi(width);
    CString upToWidth;
    upToWidth.Format(L"the table width (%d)", tableWidth);
    const bool widthKnown = StartsWithNumber(width) && InRange(tableWidth, 1, 5000);
    struct Field {
        const CString& text;
        int id;
        const wchar_t* label;
        int low, high;
        CString highText;
    } fields[] = {
        {columns, IDC_TABLE_COLUMNS, L"Column Number", 1, 100, L"100"},
        {width, IDC_TABLE_WIDTH, L"Table Width", 1, 5000, L"5000"},
        {rows, IDC_TABLE_ROWS, L"Row Number", 1, 100, L"100"},
        {rowHeight, IDC_TABLE_ROW_HEIGHT, L"Row Height", 0, 1000, L"1000"},
        {firstColumnWidth, IDC_TABLE_FIRST_COLUMN, L"First Column Width", 0, tableWidth, upToWidth},
        {lastColumnWidth, IDC_TABLE_LAST_COLUMN, L"Last Column Width", 0, tableWidth, upToWidth},
    };
    for (const Field& field : fields) {
        // The column widths are measured against a width that is itself valid.
        if (field.id == IDC_TABLE_FIRST_COLUMN && !widthKnown) break;
        if (StartsWithNumber(field.text) && InRange(TextToIntLikeAtoi(field.text), field.low, field.high)) continue;
        CString low;
        low.Format(L"%d", field.low);
        return {CString(field.label) + L" must be a whole number from " + low + L" to " + field.highText + L".", field.id};
    }
    return {};
}

CDialogAddTable::CDialogAddTable(CWnd* parent) : CDialog(IDD_ADD_TABLE, parent) {}

const MessageMap* CDialogAddTable::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapControl<&CDialogAddTable::OnCollapse>(BN_CLICKED, IDC_TABLE_COLLAPSE),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries};
    return &map;
}

void CDialogAddTable::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TABLE_WIDTH, m_editWidth);
    DDX_Control(dx, IDC_TABLE_COLUMNS, m_editColumns);
    DDX_Control(dx, IDC_TABLE_ROWS, m_editRows);
    DDX_Control(dx, IDC_TABLE_ROW_HEIGHT, m_editRowHeight);
    DDX_Control(dx, IDC_TABLE_FIRST_COLUMN, m_editFirstColumn);
    DDX_Control(dx, IDC_TABLE_LAST_COLUMN, m_editLastColumn);
    DDX_Text(dx, IDC_TABLE_WIDTH, m_strWidth);
    DDX_Text(dx, IDC_TABLE_COLUMNS, m_strColumns);
    DDX_Text(dx, IDC_TABLE_ROWS, m_strRows);
    DDX_Text(dx, IDC_TABLE_ROW_HEIGHT, m_strRowHeight);
    DDX_Text(dx, IDC_TABLE_FIRST_COLUMN, m_strFirstColumn);
    DDX_Text(dx, IDC_TABLE_LAST_COLUMN, m_strLastColumn);
    DDX_Text(dx, IDC_TABLE_NAME, m_strName);
}

BOOL CDialogAddTable::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_TABLE_NAME));
    return FALSE;
}

void CDialogAddTable::OnOK() {
    TableParamsProblem problem = FindTableParamsProblem(
        GetDlgItemText(IDC_TABLE_WIDTH), GetDlgItemText(IDC_TABLE_COLUMNS), GetDlgItemText(IDC_TABLE_FIRST_COLUMN),
        GetDlgItemText(IDC_TABLE_LAST_COLUMN), GetDlgItemText(IDC_TABLE_ROW_HEIGHT), GetDlgItemText(IDC_TABLE_ROWS));
    if (problem.message.IsEmpty()) {
        CDialog::OnOK();
        return;
    }
    ShowMessageBox(m_hWnd, problem.message, L"Tarvelo", MB_OK | MB_ICONEXCLAMATION);
    // A folded dialog unfolds when the field to mend is one of the lower ones.
    if (problem.field != IDC_TABLE_COLUMNS && GetDlgItemText(IDC_TABLE_COLLAPSE) == L">>") OnCollapse();
    HWND field = ::GetDlgItem(m_hWnd, problem.field);
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
}

void CDialogAddTable::OnCollapse() {
    CString text = GetDlgItemText(IDC_TABLE_COLLAPSE);
    const bool fold = text == L"<<";
    SetDlgItemText(IDC_TABLE_COLLAPSE, fold ? L">>" : L"<<");
    FoldSizes& sizes = Sizes();
    if (!sizes.known) {
        GetWindowRect(&sizes.full);
        RECT marker{};
        ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_TABLE_MARKER), &marker);
        sizes.small = sizes.full;
        sizes.small.bottom = marker.bottom;
        sizes.known = true;
    }
    const RECT& size = fold ? sizes.small : sizes.full;
    SetWindowPos(nullptr, 0, 0, size.right - size.left, size.bottom - size.top, SWP_NOMOVE | SWP_NOZORDER);
}

bool CDialogAddTable::GetTableParams(int& width, int& columns, int& firstColumnWidth, int& lastColumnWidth,
                                     int& rowHeight, int& rows, CString& name) const {
    TableParams params;
    bool valid = ParseTableParams(m_strWidth, m_strColumns, m_strFirstColumn, m_strLastColumn, m_strRowHeight,
                                  m_strRows, m_strName, params);
    width = params.width;
    columns = params.columns;
    firstColumnWidth = params.firstColumnWidth;
    lastColumnWidth = params.lastColumnWidth;
    rowHeight = params.rowHeight;
    rows = params.rows;
    name = params.name;
    return valid;
}
