// CIbTabCtrl: a tab control that shows one child page per tab. The pages are
// dialogs of the tab control's parent; the control shows the page of the
// selected tab over its display area and hides the others. It does not own
// the pages.
#pragma once
#include "controls/TabCtrl.h"

#include <vector>

class CIbTabCtrl : public CTabCtrl {
public:
    // Appends a tab with the caption; the page is hidden and made a child of
    // the tab control's parent.
    void AddTab(const wchar_t* caption, CWnd* page);
    // Makes the index current and shows its page (ignored when out of range).
    void SetActiveTab(int index);
    // Hides the current page, then places the page over the display area and
    // shows it.
    void ShowPage(CWnd* page);

    int CurrentIndex() const { return m_current; }
    CWnd* PageAt(int index) const { return m_pages.at(static_cast<size_t>(index)); }

protected:
    const MessageMap* GetMessageMap() const override;
    void OnSelChange(NMHDR* header, LRESULT* result);

private:
    std::vector<CWnd*> m_pages;
    int m_current = 0;
};
