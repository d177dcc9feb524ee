// The search's marks in the page view. Marking and clearing change the
// engine's document, yet no change of the user's: a page that was saved
// stays saved.
#include "page/TarveloView.h"

#include "page/SearchMarks.h"

bool CTarveloView::MarkText(const CString& text, long flags, const CString& style, const CString& id) {
    return MarkTexts({text}, flags, style, id);
}

bool CTarveloView::MarkTexts(const std::vector<CString>& texts, long flags, const CString& style, const CString& id) {
    bool wasSaved = !IsEngineModified();
    ClearMarks(m_htmlDoc, id);
    bool marked = MarkOccurrences(m_htmlDoc, texts, flags, style, id) > 0;
    if (wasSaved && IsEngineModified()) SetEngineSaved();
    return marked;
}

void CTarveloView::ClearSearchMarks(const CString& id) {
    bool wasSaved = !IsEngineModified();
    if (ClearMarks(m_htmlDoc, id) > 0 && wasSaved) SetEngineSaved();
}
