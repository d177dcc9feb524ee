// CDocument: the data behind one or more views, loaded from and saved to
// one file (its path name). A document belongs to its template and closes
// itself when its last view goes (auto-delete).
#pragma once
#include "wnd/CmdTarget.h"

#include <vector>

class CArchive;
class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
public:
    CDocument() = default;
    ~CDocument() override;

    BOOL m_bAutoDelete = TRUE;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const wchar_t* title);
    const CString& GetPathName() const { return m_strPathName; }
    // Takes the full path; the title becomes the file's name.
    virtual void SetPathName(const wchar_t* path, BOOL addToRecentFiles = TRUE);
    void ClearPathName() { m_strPathName.Empty(); }
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

    const std::vector<CView*>& GetViews() const { return m_views; }
    void AddView(CView* view);
    void RemoveView(CView* view);
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CCmdTarget* hintObject = nullptr);

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(const wchar_t* path);
    virtual BOOL OnSaveDocument(const wchar_t* path);
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    // The document's content to (storing) or from (loading) the archive.
    virtual void Serialize(CArchive&) {}
    // Asks "Save changes to ...?" when modified; false when the user cancels
    // or the save fails.
    virtual BOOL SaveModified();
    // Whether the frame may close; asks to save when it shows the last view.
    virtual BOOL CanCloseFrame(CFrameWnd* frame);
    virtual void PreCloseFrame(CFrameWnd*) {}
    BOOL DoSave(const wchar_t* path, BOOL replace = TRUE);
    // Saves to the document's file; a read-only or missing path asks for
    // another (Save As).
    virtual BOOL DoFileSave();

    BOOL OnCmdMsg(CommandCall& call) override;

    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    // Numbers the frames of the visible views (m_nWindow) and updates their titles.
    virtual void UpdateFrameCounts();

protected:
    const MessageMap* GetMessageMap() const override;
    virtual void OnChangedViewList();

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_views;
    BOOL m_bModified = FALSE;

private:
    friend class CDocTemplate;
};
