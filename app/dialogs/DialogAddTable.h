// CDialogAddTable: the table parameters "Tarvelo->Add New Table" (template
// 103). The "<<" button folds the dialog up to its first field and back; the
// add-table command reads the values through GetTableParams after OK.
#pragma once
#include "controls/Edit.h"
#include "dialog/Dialog.h"

struct TableParams {
    int width = 0;
    int columns = 0;
    int firstColumnWidth = 0;
    int lastColumnWidth = 0;
    int rowHeight = 0;
    int rows = 0;
    CString name;
};

// The numeric fields as the runtime's atoi reads them (leading white space,
// one sign, decimal digits; no digits gives 0; values beyond the int range
// are clamped), checked against their ranges. False when any is outside.
bool ParseTableParams(const CString& width, const CString& columns, const CString& firstColumnWidth,
                      const CString& lastColumnWidth, const CString& rowHeight, const CString& rows,
                      const CString& name, TableParams& params);
int TextToIntLikeAtoi(const CString& text);

// What keeps the dialog's texts from making a table: the message that says
// which field must hold what, and that field's control id; an empty message
// when every field holds a number in its range. A field with no number at
// its start (empty, or letters) is refused, as is a number out of range.
struct TableParamsProblem {
    CString message;
    int field = 0;
};
TableParamsProblem FindTableParamsProblem(const CString& width, const CString& columns, const CString& firstColumnWidth,
                                          const CString& lastColumnWidth, const CString& rowHeight,
                                          const CString& rows);

class CDialogAddTable : public CDialog {
public:
    explicit CDialogAddTable(CWnd* parent = nullptr);

    CEdit m_editWidth, m_editColumns, m_editRows, m_editRowHeight, m_editFirstColumn, m_editLastColumn;
    CString m_strWidth = L"984";
    CString m_strColumns = L"3";
    CString m_strRows = L"1";
    CString m_strRowHeight = L"22";
    CString m_strFirstColumn = L"40";
    CString m_strLastColumn = L"40";
    CString m_strName;

    // The values after OK; true when every one is in its range.
    bool GetTableParams(int& width, int& columns, int& firstColumnWidth, int& lastColumnWidth, int& rowHeight,
                        int& rows, CString& name) const;

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Values that make no table are refused with a message; the dialog stays
    // with the field to mend selected.
    void OnOK() override;
    void OnCollapse();
};
