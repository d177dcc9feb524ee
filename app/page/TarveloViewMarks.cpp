// The search's marks in the page view. Marking and clearing change the
// engine's document, yet no change of the user's: a page that was saved
// stays saved.
#include "page/TarveloView.h"

#include "page/SearchMarks.h"

#include "com/EngineCommands.h"

#include <mshtmcid.h>

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

bool CTarveloView::GetEngineTextWithoutMarks(const CString& id, CString& text) {
    // The marks are taken out in a step of their own, the text read, and the
    // step undone: the page shows its marks as before, byte for byte, and the
    // user's next Undo takes back the user's own last change.
    bool wasSaved = !IsEngineModified();
    ExecEngineOwnCommand(kEngineSealUndoStep, nullptr);
    const bool cleared = ClearMarks(m_htmlDoc, id) > 0;
    const bool read = GetEngineText(text);
    if (cleared) {
        VARIANT none;
        VariantInit(&none);
        ExecEditCommand(IDM_UNDO, none, false);
    }
    if (wasSaved && IsEngineModified()) SetEngineSaved();
    return read;
}

void CTarveloView::ClearSearchMarks(const CString& id) {
    bool wasSaved = !IsEngineModified();
    if (ClearMarks(m_htmlDoc, id) > 0 && wasSaved) SetEngineSaved();
}
