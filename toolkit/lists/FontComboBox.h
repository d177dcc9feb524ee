// COXFontComboBox: a combo box for choosing a font by name. Its drop-down
// list is a COXFontListBoxHelper: each face in its own typeface, TrueType
// faces marked, symbol faces in brackets, and the faces last chosen in a
// most-recently-used block on top.
//
// COXBaseSubclassedComboBox gives a combo box window objects for its list and
// edit children, which take over the real children the first time each asks
// its combo box for colours.
#pragma once
#include "controls/ComboBox.h"
#include "controls/Edit.h"
#include "lists/FontListBox.h"

template <typename PARENTCOMBO, typename LISTBOX, typename EDIT>
class COXBaseSubclassedComboBox : public PARENTCOMBO {
public:
    virtual EDIT& GetEditCtrl() { return m_edit; }
    virtual LISTBOX& GetListBoxCtrl() { return m_listBox; }
    virtual BOOL SubclassEditCtrl(CWnd* edit) { return edit && m_edit.SubclassWindow(edit->m_hWnd); }
    virtual BOOL IsEditCtrlSubclassed() const { return m_bEditSubclassed; }
    virtual BOOL SubclassListBoxCtrl(CWnd* list) { return list && m_listBox.SubclassWindow(list->m_hWnd); }
    virtual BOOL IsListBoxCtrlSubclassed() const { return m_bListSubclassed; }
    virtual BOOL InitializeComboBox() { return TRUE; }

    void PreSubclassWindow() override {
        InitializeComboBox();
        PARENTCOMBO::PreSubclassWindow();
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = PARENTCOMBO::WindowProc(message, wParam, lParam);
        switch (message) {
        case WM_CREATE:
            if (result != -1 && !InitializeComboBox()) result = -1;
            break;
        case WM_CTLCOLOREDIT:
            if (!m_bEditSubclassed) {
                m_bEditSubclassed = TRUE;
                SubclassEditCtrl(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)));
            }
            break;
        case WM_CTLCOLORLISTBOX:
            if (!m_bListSubclassed) {
                m_bListSubclassed = TRUE;
                SubclassListBoxCtrl(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)));
            }
            break;
        default:
            break;
        }
        return result;
    }

protected:
    LISTBOX m_listBox;
    EDIT m_edit;
    BOOL m_bListSubclassed = FALSE;
    BOOL m_bEditSubclassed = FALSE;
};

class COXFontComboBox : public COXBaseSubclassedComboBox<CComboBox, COXFontListBoxHelper, CEdit> {
public:
    // Whether a font is listed (all of them here).
    virtual BOOL AcceptFont(const OXLBFONTINFO& font);

    BOOL SubclassListBoxCtrl(CWnd* list) override;
    BOOL InitializeComboBox() override;
    virtual void DrawItem(LPDRAWITEMSTRUCT item);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT item);
    BOOL IsClosedUp() const { return m_bClosedUp; }

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnEraseBkgnd(HDC) { return TRUE; }
    BOOL OnSelChange();
    BOOL OnSelEndOk() { return FALSE; }
    BOOL OnCloseUp();
    LRESULT OnReflectDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectMeasureItem(WPARAM, LPARAM) { return TRUE; }
    LRESULT OnReflectCompareItem(WPARAM wParam, LPARAM lParam);

private:
    BOOL m_bClosedUp = FALSE;
};
