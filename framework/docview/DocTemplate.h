// Document templates: which document, frame and view classes make up one
// kind of document, with the resource id whose string, menu and
// accelerators it uses. CMultiDocTemplate opens any number of documents,
// each in its own MDI child frame.
#pragma once
#include "docview/RuntimeClass.h"

#include <vector>

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign, yesAttemptNative, yesAlreadyOpen };

    CDocTemplate(UINT resourceId, const CRuntimeClass* documentClass, const CRuntimeClass* frameClass,
                 const CRuntimeClass* viewClass);
    ~CDocTemplate() override;

    UINT GetResourceID() const { return m_nIDResource; }
    BOOL GetDocString(CString& text, DocStringIndex index) const;

    virtual CDocument* CreateNewDocument();
    // A frame with a view of `document`; null (and nothing left over) on failure.
    virtual CFrameWnd* CreateNewFrame(CDocument* document, CFrameWnd* other);
    virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* document, BOOL makeVisible = TRUE);
    // Opens the file (null: a new, untitled document) in a new frame.
    virtual CDocument* OpenDocumentFile(const wchar_t* path, BOOL makeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* document) = 0;

    virtual void AddDocument(CDocument* document);
    virtual void RemoveDocument(CDocument* document);
    const std::vector<CDocument*>& GetDocuments() const { return m_documents; }

    virtual Confidence MatchDocType(const wchar_t* path, CDocument*& match);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL endSession);

    HMENU m_hMenuShared = nullptr;
    HACCEL m_hAccelTable = nullptr;

protected:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
    std::vector<CDocument*> m_documents;
};

class CMultiDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;

    CDocument* OpenDocumentFile(const wchar_t* path, BOOL makeVisible = TRUE) override;
    void SetDefaultTitle(CDocument* document) override;

private:
    UINT m_nUntitledCount = 0;
};
