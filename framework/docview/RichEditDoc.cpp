#include "docview/RichEditDoc.h"

#include "app/AfxMessageBox.h"
#include "docview/RichEditView.h"
#include "files/Archive.h"
#include "files/FileReplacer.h"
#include "wnd/CmdTarget.h"

#include <richedit.h>

#include <string>

namespace {

// Rich text streamed between the control and an archive.
DWORD CALLBACK StreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    reinterpret_cast<CArchive*>(cookie)->Write(buffer, static_cast<UINT>(count));
    *done = count;
    return 0;
}

struct StreamSource {
    const std::string* bytes;
    size_t position;
};

DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const size_t left = source->bytes->size() - source->position;
    const size_t taken = std::min<size_t>(static_cast<size_t>(count), left);
    memcpy(buffer, source->bytes->data() + source->position, taken);
    source->position += taken;
    *done = static_cast<LONG>(taken);
    return 0;
}

// Plain text in a file: UTF-16 after its byte-order mark, UTF-8 after its
// mark, else text of the system's code page.
CString DecodePlainText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<BYTE>(bytes[0]) == 0xFF && static_cast<BYTE>(bytes[1]) == 0xFE)
        return CString(reinterpret_cast<const wchar_t*>(bytes.data() + 2), static_cast<int>((bytes.size() - 2) / 2));
    UINT codePage = CP_ACP;
    size_t start = 0;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        codePage = CP_UTF8;
        start = 3;
    }
    const int length = MultiByteToWideChar(codePage, 0, bytes.data() + start, static_cast<int>(bytes.size() - start), nullptr, 0);
    std::wstring text(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, bytes.data() + start, static_cast<int>(bytes.size() - start), text.data(), length);
    return CString(text.c_str(), length);
}

}  // namespace

CRichEditCntrItem::CRichEditCntrItem(REOBJECT* object, CRichEditDoc* container) : m_pDocument(container) {
    if (object) SyncToRichEditObject(*object);
}

CRichEditCntrItem::~CRichEditCntrItem() {
    if (m_lpObject) m_lpObject->Close(OLECLOSE_NOSAVE);
}

void CRichEditCntrItem::SyncToRichEditObject(const REOBJECT& object) {
    if (object.poleobj) m_lpObject = ComPtr<IOleObject>(object.poleobj);
    if (object.pstg) m_lpStorage = ComPtr<IStorage>(object.pstg);
    m_dwAspect = object.dvaspect ? static_cast<DWORD>(object.dvaspect) : static_cast<DWORD>(DVASPECT_CONTENT);
}

BOOL CRichEditCntrItem::IsLinked() const {
    if (!m_lpObject) return FALSE;
    ComPtr<IOleLink> link;
    m_lpObject->QueryInterface(IID_IOleLink, link.ReceiveVoid());
    return link ? TRUE : FALSE;
}

BOOL CRichEditCntrItem::IsInPlaceActive() const { return m_pActiveView != nullptr; }

void CRichEditCntrItem::Deactivate() {
    if (m_lpObject) {
        ComPtr<IOleInPlaceObject> inPlace;
        m_lpObject->QueryInterface(IID_IOleInPlaceObject, inPlace.ReceiveVoid());
        if (inPlace) inPlace->InPlaceDeactivate();
    }
    m_pActiveView = nullptr;
}

CRichEditDoc::~CRichEditDoc() = default;

const MessageMap* CRichEditDoc::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapUpdateUI<&CRichEditDoc::OnUpdateEditLinksMenu>(ID_OLE_EDIT_LINKS),
        MapCommand<&CRichEditDoc::OnEditLinks>(ID_OLE_EDIT_LINKS),
        MapUpdateUIRange<&CRichEditDoc::OnUpdateObjectVerbMenu>(ID_OLE_VERB_FIRST, ID_OLE_VERB_LAST),
    };
    static const MessageMap map{CDocument::GetMessageMap(), entries};
    return &map;
}

CRichEditView* CRichEditDoc::GetView() const {
    for (CView* view : m_views)
        if (auto* richEdit = dynamic_cast<CRichEditView*>(view)) return richEdit;
    return nullptr;
}

CRichEditCntrItem* CRichEditDoc::AddClientItem(REOBJECT* object) {
    std::unique_ptr<CRichEditCntrItem> item(CreateClientItem(object));
    if (!item) return nullptr;
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

CRichEditCntrItem* CRichEditDoc::GetInPlaceActiveItem(CWnd* view) const {
    for (const auto& item : m_items)
        if (item->IsInPlaceActive() && item->GetActiveView() == view) return item.get();
    return nullptr;
}

BOOL CRichEditDoc::IsModified() {
    if (CDocument::IsModified()) return TRUE;
    CRichEditView* view = GetView();
    return view && view->GetSafeHwnd() && view->SendMessage(EM_GETMODIFY);
}

void CRichEditDoc::DeleteContents() {
    if (CRichEditView* view = GetView(); view && view->GetSafeHwnd()) view->SetControlText(CString());
    m_items.clear();
}

void CRichEditDoc::Serialize(CArchive& ar) {
    CRichEditView* view = GetView();
    if (!view || !view->GetSafeHwnd()) return;
    if (ar.IsStoring()) {
        if (m_bRTF) {
            EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&ar), 0, StreamOut};
            view->SendMessage(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
            return;
        }
        // Plain text: UTF-16 with its byte-order mark, each paragraph ended as the document says.
        CString text = view->GetControlText();
        text.Replace(L"\r\n", L"\r");
        text.Replace(L"\n", L"\r");
        text.Replace(L"\r", m_strLineEnd);
        static const BYTE mark[] = {0xFF, 0xFE};
        ar.Write(mark, sizeof(mark));
        ar.Write(text.GetString(), static_cast<UINT>(text.GetLength()) * sizeof(wchar_t));
        return;
    }
    std::string bytes;
    char buffer[65536];
    for (UINT got; (got = ar.Read(buffer, sizeof(buffer))) > 0;) bytes.append(buffer, got);
    if (m_bRTF && bytes.compare(0, 5, "{\\rtf") == 0) {
        StreamSource source{&bytes, 0};
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, StreamIn};
        view->SendMessage(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
        view->SendMessage(EM_SETMODIFY, FALSE);
    } else {
        // A file that is no rich text shows as the text it holds.
        view->SetControlText(DecodePlainText(bytes));
    }
}

BOOL CRichEditDoc::OnOpenDocument(const wchar_t* path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) {
        AfxMessageBox(L"Failed to open document.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    DeleteContents();
    try {
        CArchive ar(&file, CArchive::load);
        Serialize(ar);
    } catch (const CFileException&) {
        AfxMessageBox(L"Failed to open document.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CRichEditDoc::OnSaveDocument(const wchar_t* path) {
    try {
        CFileReplacer replacer(path);
        {
            CFile out;
            if (!out.Open(replacer.SiblingPath(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) return FALSE;
            CArchive ar(&out, CArchive::store);
            Serialize(ar);
            out.Close();
        }
        if (!replacer.Commit()) return FALSE;
    } catch (const CFileException&) {
        return FALSE;
    }
    if (CRichEditView* view = GetView(); view && view->GetSafeHwnd()) view->SendMessage(EM_SETMODIFY, FALSE);
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CRichEditDoc::OnUpdateEditLinksMenu(CCmdUI* cmdUI) {
    bool linked = false;
    for (const auto& item : m_items) linked = linked || item->IsLinked();
    cmdUI->Enable(linked);
}

void CRichEditDoc::OnEditLinks() {
    // Each linked object takes its source's present content.
    for (const auto& item : m_items) {
        if (!item->IsLinked()) continue;
        ComPtr<IOleLink> link;
        item->GetOleObject()->QueryInterface(IID_IOleLink, link.ReceiveVoid());
        if (link) link->Update(nullptr);
    }
    if (CRichEditView* view = GetView(); view && view->GetSafeHwnd()) view->Invalidate(TRUE);
}

void CRichEditDoc::OnUpdateObjectVerbMenu(CCmdUI* cmdUI) {
    CRichEditView* view = GetView();
    CRichEditCntrItem* item = view ? view->GetSelectedItem() : nullptr;
    IOleObject* object = item ? item->GetOleObject() : nullptr;
    ComPtr<IEnumOLEVERB> verbs;
    if (!object || FAILED(object->EnumVerbs(verbs.Receive())) || !verbs) {
        cmdUI->Enable(FALSE);
        return;
    }
    // The verb of that place among the object's menu verbs.
    const UINT wanted = cmdUI->m_nID - ID_OLE_VERB_FIRST;
    UINT index = 0;
    OLEVERB verb{};
    while (verbs->Next(1, &verb, nullptr) == S_OK) {
        const bool onMenu = verb.lVerb >= 0 && (verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU);
        CString name = verb.lpszVerbName ? verb.lpszVerbName : L"";
        if (verb.lpszVerbName) CoTaskMemFree(verb.lpszVerbName);
        if (!onMenu) continue;
        if (index++ == wanted) {
            cmdUI->Enable(TRUE);
            if (cmdUI->m_hMenu) cmdUI->SetText(name);
            return;
        }
    }
    cmdUI->Enable(FALSE);
}
