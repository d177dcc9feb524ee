#include "page/TarveloDoc.h"

#include "page/PageTextLoss.h"
#include "page/ReadOnlyClose.h"
#include "page/SearchMarks.h"
#include "page/TarveloView.h"

#include "MainFrame.h"
#include "app/WinApp.h"
#include "core/MessageBox.h"
#include "pages/PageClean.h"
#include "pages/PageFile.h"
#include "resource.h"
#include "util/PathParts.h"


CTarveloDoc::CTarveloDoc() {
    CWinApp* app = AfxGetApp();
    m_textColor = app->GetProfileInt(L"Settings", L"ColorText", 0);
    m_highlightColor = app->GetProfileInt(L"Settings", L"ColorHilight", 0);
}

const MessageMap* CTarveloDoc::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CTarveloDoc::OnFileClose>(ID_FILE_CLOSE),
        MapCommand<&CTarveloDoc::OnRefreshView>(ID_VIEW_REFRESH),
        // The page's own file is the only place it is saved to.
        MapCommand<&CDocument::OnFileSave>(ID_FILE_SAVE_AS),
    };
    static const MessageMap map{CHtmlEditDoc::GetMessageMap(), entries};
    return &map;
}

BOOL CTarveloDoc::OnNewDocument() { return CHtmlEditDoc::OnNewDocument(); }

BOOL CTarveloDoc::OnOpenDocument(const wchar_t* path) {
    if (!CHtmlEditDoc::OnOpenDocument(path)) return FALSE;
    // Read before the view loads the page: a change in between shows at the
    // save as a change of another program's, which costs nothing when none was made.
    m_guard.Load(path);
    return TRUE;
}

void CTarveloDoc::OnCloseDocument() {
    CString path = GetPathName();
    CHtmlEditDoc::OnCloseDocument();  // may delete this document
    NotifyPageClosed(path);
}

void CTarveloDoc::ReloadFromFile() {
    m_guard.Load(GetPathName());
    if (CTarveloView* view = PageView()) view->ReloadPage();
}

CTarveloView* CTarveloDoc::PageView() const { return dynamic_cast<CTarveloView*>(GetView()); }

void CTarveloDoc::SetTextColor(COLORREF colour) { ApplyColour(colour, true); }
void CTarveloDoc::SetHighlightColor(COLORREF colour) { ApplyColour(colour, false); }

void CTarveloDoc::ApplyColour(COLORREF colour, bool text) {
    (text ? m_textColor : m_highlightColor) = colour;
    AfxGetApp()->WriteProfileInt(L"Settings", text ? L"ColorText" : L"ColorHilight", static_cast<int>(colour));
    if (CTarveloView* view = PageView()) view->ApplyColour(colour, text);
    SetModifiedFlag();
}

// The page is written here, cleaned, in one piece: the engine's own write of
// the file (CHtmlEditDoc's) is not used, only the framework's end of a save.
BOOL CTarveloDoc::OnSaveDocument(const wchar_t* path) {
    if (!PageSaveGuard::IsWritable(path)) return FALSE;
    CTarveloView* view = PageView();
    // The search's marks are no part of the page (they stay shown).
    CString text;
    if (!view || !view->GetEngineTextWithoutMarks(kSearchMarkId, text)) {
        FinishPageSave(path);
        return CDocument::OnSaveDocument(path);
    }
    CString page = CleanPageText(text);
    if (!ConfirmHiddenTextDrop(path, page)) return FALSE;
    switch (m_guard.Save(path, page, IsModified())) {
    case PageSaveGuard::Outcome::Failed:  // a page that cannot be written stays modified, and its window open
        ShowMessageBox(nullptr, PageNotCleanedText(path), L"Tarvelo", MB_OK);
        return FALSE;
    case PageSaveGuard::Outcome::Cancelled:
        return FALSE;
    case PageSaveGuard::Outcome::Written:
    case PageSaveGuard::Outcome::LeftAsOnDisk:
        view->SetEngineSaved();
        break;
    case PageSaveGuard::Outcome::Merged:  // the view shows what the file now holds
    case PageSaveGuard::Outcome::Reload:
        view->ReloadPage();
        break;
    }
    return CDocument::OnSaveDocument(path);
}

// A file whose markup is cut holds text that the view never showed; the
// user decides whether the save may drop it or the file stays as it is
// (the default, so that a hasty Enter loses nothing).
bool CTarveloDoc::ConfirmHiddenTextDrop(const CString& path, const CString& page) const {
    // The text the view was made from (the guard keeps it), else the file.
    CString read;
    const CString* loaded = m_guard.KnownDiskText();
    if (!loaded && ReadPageText(ResolveExistingPagePath(path), read)) loaded = &read;
    HiddenTextCause cause = HiddenTextCause::QuoteNeverClosed;
    if (!loaded || !WouldSaveDropHiddenText(*loaded, page, &cause)) return true;
    const CString name = GetNameWithoutExt(GetPathLastPart(path));
    const CString why = cause == HiddenTextCause::QuoteNeverClosed
                            ? L"a quote is never closed"
                            : L"a quote is closed only by the next attribute's quote";
    return ShowMessageBox(nullptr,
                          L"The markup of the page \"" + name + L"\" is cut (" + why +
                              L"), so part of its text is not shown. "
                              L"Saving would drop that text from the file.\n\n"
                              L"OK: save anyway. Cancel: keep the file as it is.",
                          L"Warning", MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDOK;
}

BOOL CTarveloDoc::SaveModified() {
    if (IsModified() && IsPageFileReadOnly(GetPathName())) return AskCloseReadOnlyPage(GetPathName());
    return CHtmlEditDoc::SaveModified();
}

BOOL CTarveloDoc::DoFileSave() { return !GetPathName().IsEmpty() && DoSave(GetPathName()); }

void CTarveloDoc::OnFileClose() { ClosePage(); }

bool CTarveloDoc::ClosePage() {
    // A close the user cancels leaves the page open and the last page as it was.
    if (!SaveModified()) return false;
    CString path = GetPathName();
    OnCloseDocument();  // deletes this document
    AfxGetApp()->WriteProfileString(L"Settings", L"FileHot", path);
    return true;
}

void CTarveloDoc::OnRefreshView() {
    CString path = GetPathName();
    CWinApp* app = AfxGetApp();
    // The page shows anew in a window of its own; its mark in the tree stays.
    const bool marked = PageHasOpenMark(path);
    if (!ClosePage()) return;  // this document is gone from here on
    if (!path.IsEmpty() && app->OpenDocumentFile(path) && marked) NotifyPageReopened(path);
}

