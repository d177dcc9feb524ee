// The rich-edit document family: a document whose text is the text of its
// view's rich edit control (CRichEditView), stored as rich text or, with
// m_bRTF cleared, as plain UTF-16 text with a byte-order mark; and the
// container items (CRichEditCntrItem) of objects embedded in the control,
// which the document makes through CreateClientItem when the control asks
// for an object's storage.
#pragma once
#include "com/ComPtr.h"
#include "docview/Document.h"

#include <memory>
#include <vector>

#include <richole.h>

inline constexpr UINT ID_OLE_EDIT_LINKS = 57857;
inline constexpr UINT ID_OLE_VERB_FIRST = 57872;
inline constexpr UINT ID_OLE_VERB_LAST = 57887;

class CCmdUI;
class CRichEditDoc;
class CRichEditView;
class CView;

class CRichEditCntrItem : public CCmdTarget {
public:
    // The object record the control gives (may be null while the control
    // is only asking for storage) and the document that holds the item.
    explicit CRichEditCntrItem(REOBJECT* object = nullptr, CRichEditDoc* container = nullptr);
    ~CRichEditCntrItem() override;

    CRichEditDoc* GetDocument() const { return m_pDocument; }
    IStorage* GetStorage() const { return m_lpStorage.Get(); }
    void SetStorage(IStorage* storage) { m_lpStorage = ComPtr<IStorage>(storage); }
    IOleObject* GetOleObject() const { return m_lpObject.Get(); }
    // Takes the object and aspect from the control's record.
    void SyncToRichEditObject(const REOBJECT& object);
    BOOL IsLinked() const;
    // Objects are shown in their frames, never activated in place here: an
    // item is in-place active only while an object says so.
    BOOL IsInPlaceActive() const;
    CView* GetActiveView() const { return m_pActiveView; }
    void Deactivate();

    DWORD m_dwAspect = DVASPECT_CONTENT;

private:
    friend class CRichEditDoc;
    CRichEditDoc* m_pDocument;
    ComPtr<IStorage> m_lpStorage;
    ComPtr<IOleObject> m_lpObject;
    CView* m_pActiveView = nullptr;
};

class CRichEditDoc : public CDocument {
public:
    CRichEditDoc() = default;
    ~CRichEditDoc() override;

    BOOL m_bRTF = TRUE;             // stored as rich text; else as plain text
    CString m_strLineEnd = L"\r\n";  // what ends a paragraph in plain text

    CRichEditView* GetView() const;
    // A new container item for an object the control embeds.
    virtual CRichEditCntrItem* CreateClientItem(REOBJECT* object = nullptr) = 0;
    // The item made for the control's next object, kept by the document.
    CRichEditCntrItem* AddClientItem(REOBJECT* object);
    const std::vector<std::unique_ptr<CRichEditCntrItem>>& GetItems() const { return m_items; }
    // The item in-place active in the view, or null.
    CRichEditCntrItem* GetInPlaceActiveItem(CWnd* view) const;

    void Serialize(CArchive& ar) override;
    BOOL OnOpenDocument(const wchar_t* path) override;
    BOOL OnSaveDocument(const wchar_t* path) override;
    void DeleteContents() override;
    BOOL IsModified() override;

protected:
    const MessageMap* GetMessageMap() const override;
    // The container's commands: Edit Links (enabled while a linked object is
    // in the document) and the object verbs of the selected object.
    void OnUpdateEditLinksMenu(CCmdUI* cmdUI);
    void OnEditLinks();
    void OnUpdateObjectVerbMenu(CCmdUI* cmdUI);

private:
    std::vector<std::unique_ptr<CRichEditCntrItem>> m_items;
};
