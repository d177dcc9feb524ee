// The drag relay in a real OLE drag: a drop source whose owner window
// steers the drag (moves the cursor, then drops), a target window that
// answers the relay messages, and one that answers none of them.
#include "ToolkitFixture.h"

#include "bars/DragRelay.h"

#include <vector>

namespace {

// A data object with one text in CF_UNICODETEXT.
class TextData : public IDataObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *out = static_cast<IDataObject*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(L"clip"));
        memcpy(GlobalLock(memory), L"clip", sizeof(L"clip"));
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format && format->cfFormat == CF_UNICODETEXT && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

// The target: answers enter, over and drop (copy), leaves drop-ex to the plain drop.
class AnsweringTarget : public CWnd {
public:
    bool answer = true;
    std::vector<UINT> seen;
    bool textOffered = false;
    CPoint dropPoint;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            MapMessage<&AnsweringTarget::OnEnter>(WM_DRAGRELAY_ENTER),
            MapMessage<&AnsweringTarget::OnOver>(WM_DRAGRELAY_OVER),
            MapMessage<&AnsweringTarget::OnLeave>(WM_DRAGRELAY_LEAVE),
            MapMessage<&AnsweringTarget::OnDrop>(WM_DRAGRELAY_DROP),
            MapMessage<&AnsweringTarget::OnDropEx>(WM_DRAGRELAY_DROPEX),
        };
        static const MessageMap map{CWnd::GetMessageMap(), entries};
        return &map;
    }
    LRESULT Answer(UINT message, LPARAM lParam, LRESULT result) {
        seen.push_back(message);
        if (!answer) return 0;
        auto* record = reinterpret_cast<OXDRAGTARGETRELAY*>(lParam);
        EXPECT_EQ(record->pWnd, this);
        record->result = result;
        return 1;
    }
    LRESULT OnEnter(WPARAM, LPARAM l) {
        auto* record = reinterpret_cast<OXDRAGTARGETRELAY*>(l);
        textOffered = record->pDataObject && record->pDataObject->IsDataAvailable(CF_UNICODETEXT);
        return Answer(WM_DRAGRELAY_ENTER, l, DROPEFFECT_COPY);
    }
    LRESULT OnOver(WPARAM, LPARAM l) { return Answer(WM_DRAGRELAY_OVER, l, DROPEFFECT_COPY); }
    LRESULT OnLeave(WPARAM, LPARAM l) { return Answer(WM_DRAGRELAY_LEAVE, l, 0); }
    LRESULT OnDrop(WPARAM, LPARAM l) {
        dropPoint = reinterpret_cast<OXDRAGTARGETRELAY*>(l)->point;
        return Answer(WM_DRAGRELAY_DROP, l, TRUE);
    }
    LRESULT OnDropEx(WPARAM, LPARAM) {
        seen.push_back(WM_DRAGRELAY_DROPEX);
        return 0;  // the plain drop decides
    }
};

// The source's owner: moves the cursor over the target, then drops.
class SteeringOwner : public CWnd {
public:
    CPoint over;
    int queries = 0;
    bool begun = false;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            MapMessage<&SteeringOwner::OnQuery>(WM_DRAGRELAY_QUERYCONTINUE),
            MapMessage<&SteeringOwner::OnBegin>(WM_DRAGRELAY_BEGINDRAG),
        };
        static const MessageMap map{CWnd::GetMessageMap(), entries};
        return &map;
    }
    LRESULT OnQuery(WPARAM, LPARAM l) {
        auto* record = reinterpret_cast<OXDRAGSOURCERELAY*>(l);
        ++queries;
        SetCursorPos(over.x + (queries % 3), over.y);
        Sleep(10);
        record->result = queries < 12 ? S_OK : DRAGDROP_S_DROP;
        return 1;
    }
    LRESULT OnBegin(WPARAM, LPARAM l) {
        begun = true;
        reinterpret_cast<OXDRAGSOURCERELAY*>(l)->result = TRUE;
        return 1;
    }
};

class DragRelay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_TRUE(target.CreateEx(WS_EX_TOPMOST, nullptr, L"target", WS_POPUP | WS_VISIBLE, CRect(300, 300, 500, 500), nullptr, 0));
        ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_POPUP | WS_VISIBLE, CRect(10, 10, 60, 60), nullptr, 0));
        ASSERT_TRUE(dropTarget.Register(&target));
        source.SetOwner(&owner);
        owner.over = CPoint(400, 400);
        PumpMessages();
    }
    void TearDown() override {
        dropTarget.Revoke();
        target.DestroyWindow();
        owner.DestroyWindow();
        OleUninitialize();
    }
    AnsweringTarget target;
    SteeringOwner owner;
    COXSHBDropTarget dropTarget;
    COXSHBDropSource source;
    TextData data;
};

TEST_F(DragRelay, ARealDragReachesTheTargetWindowsHandlersAndDropsThere) {
    const DROPEFFECT effect = source.DoDragDrop(&owner, &data, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_TRUE(owner.begun);
    EXPECT_GE(owner.queries, 12);
    EXPECT_EQ(effect, static_cast<DROPEFFECT>(DROPEFFECT_COPY));
    ASSERT_FALSE(target.seen.empty());
    EXPECT_EQ(target.seen.front(), WM_DRAGRELAY_ENTER);
    EXPECT_TRUE(target.textOffered);
    EXPECT_EQ(target.seen.back(), WM_DRAGRELAY_DROP);
    EXPECT_NE(std::find(target.seen.begin(), target.seen.end(), WM_DRAGRELAY_DROPEX), target.seen.end());
    EXPECT_GE(target.dropPoint.x, 95);  // client coordinates of the target
    EXPECT_LE(target.dropPoint.x, 105);
    EXPECT_EQ(target.dropPoint.y, 100);
}

TEST_F(DragRelay, AWindowThatAnswersNothingRefusesTheDropAndASourceWithoutOwnerIsTheFrameworksOwn) {
    target.answer = false;
    const DROPEFFECT effect = source.DoDragDrop(&owner, &data, DROPEFFECT_COPY);
    EXPECT_EQ(effect, static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(std::count(target.seen.begin(), target.seen.end(), WM_DRAGRELAY_DROP), 0);

    // Without an owner: escape cancels, released buttons drop, held ones go on.
    source.SetOwner(nullptr);
    EXPECT_EQ(source.QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source.QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(source.QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source.GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source.SetOwner(&owner), nullptr);
}

}  // namespace
