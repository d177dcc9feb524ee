#include "FrameworkTestApp.h"
#include "MessageBoxRecorder.h"
#include "core/ComError.h"
#include "dialog/DataExchange.h"
#include "dialog/Dialog.h"
#include "wnd/WhenWindowIsUp.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

class ThrowingWindow : public CWnd {
protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            MapCommand<&ThrowingWindow::OnComFailure>(1),
            MapCommand<&ThrowingWindow::OnStdFailure>(2),
        };
        static const MessageMap map{CWnd::GetMessageMap(), entries};
        return &map;
    }
    void OnComFailure() { ThrowIfFailed(E_NOINTERFACE); }
    void OnStdFailure() { throw std::runtime_error("out of luck"); }
};

}  // namespace

TEST(Window, ErrorsOfHandlersAreReportedAndNeverLeaveTheWindowProcedure) {
    FrameworkTestApp app;
    ThrowingWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"thrower", WS_OVERLAPPED, CRect(0, 0, 100, 100), nullptr, 0));
    MessageBoxRecorder boxes;
    window.SendMessage(WM_COMMAND, 1);
    window.SendMessage(WM_COMMAND, 2);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_NE(boxes.Boxes()[0].text.Find(L"0x80004002"), -1);
    EXPECT_EQ(boxes.Boxes()[0].caption, L"FrameworkTests");
    EXPECT_EQ(boxes.Boxes()[1].text, L"out of luck");
    EXPECT_TRUE(IsWindow(window.GetSafeHwnd()));
}

TEST(Window, DestroyedWindowLetsGoOfItsObject) {
    FrameworkTestApp app;
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"short-lived", WS_OVERLAPPED, CRect(0, 0, 50, 50), nullptr, 0));
    HWND hwnd = window.GetSafeHwnd();
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &window);
    window.DestroyWindow();
    EXPECT_EQ(window.GetSafeHwnd(), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

namespace {

// Dialog 200 of the test resources: edit 1001 (name), edit 1002 (number), check 1003.
class ExchangeDialog : public CDialog {
public:
    ExchangeDialog() : CDialog(200) {}
    CString m_name = L"start";
    int m_number = 5;
    int m_check = 1;
    // What to type before pressing the buttons.
    CString m_typeName;
    CString m_typeNumber;
    std::vector<UINT> m_presses;
    CString m_nameShownAtStart;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, 1001, m_name);
        DDX_Text(dx, 1002, m_number);
        DDV_MinMaxInt(dx, m_number, 1, 100);
        DDX_Check(dx, 1003, m_check);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_nameShownAtStart = GetDlgItemText(1001);
        SetDlgItemText(1001, m_typeName);
        SetDlgItemText(1002, m_typeNumber);
        ::SendMessageW(::GetDlgItem(m_hWnd, 1003), BM_SETCHECK, BST_UNCHECKED, 0);
        for (UINT id : m_presses) PostMessage(WM_COMMAND, id);
        return TRUE;
    }
};

}  // namespace

TEST(Dialog, OkMovesControlValuesIntoMembers) {
    FrameworkTestApp app;
    ExchangeDialog dialog;
    dialog.m_typeName = L"New page";
    dialog.m_typeNumber = L" 42 ";
    dialog.m_presses = {IDOK};
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nameShownAtStart, L"start");
    EXPECT_EQ(dialog.m_name, L"New page");
    EXPECT_EQ(dialog.m_number, 42);
    EXPECT_EQ(dialog.m_check, 0);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(Dialog, RejectedValueKeepsTheDialogOpenAndMembersUnchanged) {
    FrameworkTestApp app;
    MessageBoxRecorder boxes;
    ExchangeDialog dialog;
    dialog.m_typeName = L"ignored";
    dialog.m_typeNumber = L"12abc";
    dialog.m_presses = {IDOK, IDCANCEL};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(boxes.Saw(L"Please enter an integer."));
    EXPECT_EQ(dialog.m_number, 5);

    ExchangeDialog outOfRange;
    outOfRange.m_typeNumber = L"101";
    outOfRange.m_presses = {IDOK, IDCANCEL};
    EXPECT_EQ(outOfRange.DoModal(), IDCANCEL);
    EXPECT_TRUE(boxes.Saw(L"Please enter an integer between 1 and 100."));
}

namespace {

// A button that takes its own clicks (reflected by the parent) and a parent
// that records the commands and sizes that reach it.
class SelfClickingButton : public CWnd {
public:
    int m_clicks = 0;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {MapReflectCommand<&SelfClickingButton::OnClicked>(BN_CLICKED)};
        static const MessageMap map{CWnd::GetMessageMap(), entries};
        return &map;
    }
    void OnClicked() { ++m_clicks; }
};

class RecordingParent : public CWnd {
public:
    CString m_seen;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            MapControl<&RecordingParent::OnOtherClicked>(BN_CLICKED, 11),
            MapControl<&RecordingParent::OnReflectedClicked>(BN_CLICKED, 10),
            MapMessage<&RecordingParent::OnSize>(WM_SIZE),
        };
        static const MessageMap map{CWnd::GetMessageMap(), entries};
        return &map;
    }
    void OnOtherClicked() { m_seen += L"other;"; }
    void OnReflectedClicked() { m_seen += L"parent;"; }
    void OnSize(UINT type, int cx, int cy) {
        CString text;
        text.Format(L"size %u %dx%d;", type, cx, cy);
        m_seen += text;
    }
};

// An owner-drawn list of variable height that gives its items the height it is told.
class MeasuringList : public CWnd {
public:
    explicit MeasuringList(UINT height) : m_height(height) {}
    UINT ItemHeightAfterAdding() {
        const LRESULT index = SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
        return static_cast<UINT>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
    }

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {MapMessage<&MeasuringList::OnReflectMeasureItem>(WM_REFLECT_BASE + WM_MEASUREITEM)};
        static const MessageMap map{CWnd::GetMessageMap(), entries};
        return &map;
    }
    LRESULT OnReflectMeasureItem(WPARAM, LPARAM lParam) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = m_height;
        return TRUE;
    }
    UINT m_height;
};

}  // namespace

TEST(Window, ControlNotificationsAreReflectedToTheControlBeforeTheParent) {
    FrameworkTestApp app;
    RecordingParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_OVERLAPPED, CRect(0, 0, 200, 100), nullptr, 0));
    SelfClickingButton own;
    ASSERT_TRUE(own.CreateEx(0, L"BUTTON", L"own", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 50, 20), &parent, 10));
    HWND other = CreateWindowExW(0, L"BUTTON", L"other", WS_CHILD | BS_PUSHBUTTON, 60, 0, 50, 20, parent.GetSafeHwnd(),
                                 reinterpret_cast<HMENU>(11), GetModuleHandleW(nullptr), nullptr);
    own.SendMessage(BM_CLICK);
    ::SendMessageW(other, BM_CLICK, 0, 0);
    EXPECT_EQ(own.m_clicks, 1);
    EXPECT_EQ(parent.m_seen, L"other;");

    parent.m_seen.Empty();
    parent.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 45));
    EXPECT_EQ(parent.m_seen, L"size 0 120x45;");

    // Items are measured by the control with the id asked about, whichever that is now:
    // one destroyed and made again under its id, another id between them, an id changed.
    const DWORD listStyle = WS_CHILD | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
    auto list = std::make_unique<MeasuringList>(23);
    ASSERT_TRUE(list->CreateEx(0, L"LISTBOX", L"", listStyle, CRect(0, 30, 80, 90), &parent, 12));
    EXPECT_EQ(list->ItemHeightAfterAdding(), 23u);
    list->DestroyWindow();
    list = std::make_unique<MeasuringList>(31);
    ASSERT_TRUE(list->CreateEx(0, L"LISTBOX", L"", listStyle, CRect(0, 30, 80, 90), &parent, 12));
    MeasuringList second(17);
    ASSERT_TRUE(second.CreateEx(0, L"LISTBOX", L"", listStyle, CRect(90, 30, 170, 90), &parent, 13));
    EXPECT_EQ(list->ItemHeightAfterAdding(), 31u);
    EXPECT_EQ(second.ItemHeightAfterAdding(), 17u);
    EXPECT_EQ(list->ItemHeightAfterAdding(), 31u);
    ::SetWindowLongPtrW(second.GetSafeHwnd(), GWLP_ID, 12);
    ::SetWindowLongPtrW(list->GetSafeHwnd(), GWLP_ID, 14);
    EXPECT_EQ(second.ItemHeightAfterAdding(), 17u);
}

namespace {

// A dialog box whose creation outlasts a timer's first tick, as a dialog with
// many controls does; it ends itself after five seconds at the latest.
INT_PTR CALLBACK SlowDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        Sleep(50);
        SetTimer(dialog, 1, 5000, nullptr);
        return TRUE;
    }
    if (message == WM_TIMER) EndDialog(dialog, -1);
    return FALSE;
}

}  // namespace

TEST(Window, WorkWaitingForAWindowRunsOnceTheDialogBoxIsShownAndPainted) {
    FrameworkTestApp app;
    struct {
        DLGTEMPLATE header{WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 10, 10, 120, 60};
        WORD menu = 0, windowClass = 0, title = 0;
    } dialogTemplate;
    int runs = 0;
    bool shownAndPainted = false;
    RunWhenThreadWindowIsUp([&] {
        ++runs;
        HWND dialog = GetActiveWindow();
        shownAndPainted = dialog && IsWindowVisible(dialog) && !GetUpdateRect(dialog, nullptr, FALSE);
        // Another tick may come meanwhile: the work must not run twice.
        MSG msg;
        Sleep(30);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (dialog) EndDialog(dialog, IDOK);
    });
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.header, nullptr,
                                             SlowDialogProc, 0);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(shownAndPainted);
}
