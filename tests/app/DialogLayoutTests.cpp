// Every dialog of the program, opened as the program opens it (its templates
// and the editor's own Find, Hyperlink and Picture dialogs): in the font its
// template names (as the system realises it), every text of a button, check
// box, radio button, group box and static shows whole, no group box's frame
// runs through another control, and a dialog that gives no position of its
// own opens centred on its owner.
#include "AppTestSupport.h"

#include "dialog/Dialog.h"
#include "dialogs/EditDialogs.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

BOOL CALLBACK CollectTemplateId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<UINT>*>(found)->push_back(LOWORD(name));
    return TRUE;
}

std::vector<UINT> DialogTemplateIds() {
    std::vector<UINT> ids;
    EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(5), CollectTemplateId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

CString WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

CString ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The face the template asks for, and the family the system draws it in.
std::pair<CString, CString> RequestedAndRealisedFace(HWND dialog) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW requested{};
    GetObjectW(font, sizeof(requested), &requested);
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, font);
    CString family;
    if (UINT size = GetOutlineTextMetricsW(dc, 0, nullptr)) {
        std::vector<BYTE> buffer(size);
        auto* metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
        if (GetOutlineTextMetricsW(dc, size, metrics))
            family = reinterpret_cast<const wchar_t*>(buffer.data() + reinterpret_cast<UINT_PTR>(metrics->otmpFamilyName));
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return {requested.lfFaceName, family};
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool IsInstalled(const CString& face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

// What a control's text needs beside and below it, in pixels, measured in
// the control's font: "" when it fits, else a description of the shortfall.
CString TextShortfall(HWND control) {
    const CString text = WindowText(control);
    if (text.IsEmpty()) return L"";
    const CString kind = ClassOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT client{};
    GetClientRect(control, &client);
    int width = client.right, height = client.bottom;
    UINT format = DT_CALCRECT | DT_SINGLELINE;
    if (kind.CompareNoCase(L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
        case BS_3STATE: case BS_AUTO3STATE:
            width -= GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and the gap before the text
            break;
        case BS_GROUPBOX:
            width -= 16;
            break;
        default:
            width -= 6;  // the push button's edges
            if (style & BS_MULTILINE) format = DT_CALCRECT | DT_WORDBREAK;
        }
    } else if (kind.CompareNoCase(L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP) return L"";
        if (type != SS_LEFTNOWORDWRAP) format = DT_CALCRECT | DT_WORDBREAK;
    } else {
        return L"";
    }
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, width, 0};
    DrawTextW(dc, text, text.GetLength(), &needed, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (needed.right <= width && needed.bottom <= height) return L"";
    CString shortfall;
    shortfall.Format(L"\"%ls\" needs %dx%d, has %dx%d", text.GetString(), static_cast<int>(needed.right),
                     static_cast<int>(needed.bottom), width, height);
    return shortfall;
}

bool IsGroupBox(HWND control) {
    return ClassOf(control).CompareNoCase(L"Button") == 0 &&
           (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// What is wrong with the layout of an open dialog: texts that do not show
// whole, and controls that a group box's frame runs through (a control is
// inside the box or clear of it).
std::vector<CString> LayoutFaults(HWND window) {
    std::vector<CString> faults;
    std::vector<HWND> controls;
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        controls.push_back(control);
        CString shortfall = TextShortfall(control);
        if (!shortfall.IsEmpty()) faults.push_back(shortfall);
    }
    auto rectOf = [](HWND control) {
        RECT rect{};
        GetWindowRect(control, &rect);
        return rect;
    };
    for (HWND group : controls) {
        if (!IsGroupBox(group)) continue;
        const RECT box = rectOf(group);
        for (HWND other : controls) {
            if (other == group || !(GetWindowLongW(other, GWL_STYLE) & WS_VISIBLE)) continue;
            const RECT rect = rectOf(other);
            RECT common{}, joined{};
            if (!IntersectRect(&common, &box, &rect)) continue;
            UnionRect(&joined, &box, &rect);
            if (EqualRect(&joined, &box)) continue;  // inside
            CString fault;
            fault.Format(L"group box \"%ls\" runs through control %d (\"%ls\")", WindowText(group).GetString(),
                         GetDlgCtrlID(other), WindowText(other).GetString());
            faults.push_back(fault);
        }
    }
    return faults;
}

}  // namespace

TEST(DialogTemplates, TextsShowWholeInTheRealisedFontAndPlainDialogsOpenCentredOnTheirOwner) {
    AppTestApp app;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    LoadLibraryW(L"riched20.dll");
    // An owner away from the screen's corner.
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, L"Static", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(260, 140, 1060, 740),
                               nullptr, 0));
    std::vector<UINT> ids = DialogTemplateIds();
    ASSERT_GE(ids.size(), 12u);
    for (UINT id : ids) {
        CDialog dialog(id, &owner);
        ASSERT_TRUE(dialog.Create(id, &owner)) << id;
        HWND window = dialog.m_hWnd;
        const bool child = GetWindowLongW(window, GWL_STYLE) & WS_CHILD;
        // The system draws the face the template names when it has it (the
        // shell's dialog font is Tahoma); a face it lacks is drawn in its
        // stand-in, in which the texts must fit all the same.
        const auto [requested, family] = RequestedAndRealisedFace(window);
        if (requested == L"MS Shell Dlg") {
            EXPECT_EQ(family, L"Tahoma") << "dialog " << id;
        } else if (IsInstalled(requested)) {
            EXPECT_EQ(family, requested) << "dialog " << id;
        }
        if (!child) {
            RECT box{}, around{};
            GetWindowRect(window, &box);
            GetWindowRect(owner.m_hWnd, &around);
            EXPECT_NEAR((box.left + box.right) / 2, (around.left + around.right) / 2, 1) << "dialog " << id;
            EXPECT_NEAR((box.top + box.bottom) / 2, (around.top + around.bottom) / 2, 1) << "dialog " << id;
        }
        EXPECT_EQ(LayoutFaults(window), std::vector<CString>{}) << "dialog " << id;
        dialog.DestroyWindow();
    }
    owner.DestroyWindow();
}

TEST(DialogTemplates, TheEditorsOwnDialogsShowEveryTextWholeAndKeepTheirGroupsClear) {
    AppTestApp app;
    static std::vector<std::pair<CString, std::vector<CString>>>* s_seen;
    std::vector<std::pair<CString, std::vector<CString>>> seen;
    s_seen = &seen;
    auto checkWhenShown = [] {
        SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) CALLBACK {
            HWND dialog = GetActiveWindow();
            if (!dialog || !IsWindowVisible(dialog)) return;
            KillTimer(nullptr, timer);
            s_seen->emplace_back(WindowText(dialog), LayoutFaults(dialog));
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    };
    checkWhenShown();
    CString address;
    dialogs::ShowHyperlinkDialog(nullptr, address);
    checkWhenShown();
    dialogs::PictureChoice picture;
    dialogs::ShowPictureDialog(nullptr, picture);
    checkWhenShown();
    dialogs::ShowFindDialog(nullptr, [](const dialogs::FindRequest&, bool) { return false; });
    using Faults = std::vector<CString>;
    EXPECT_EQ(seen, (std::vector<std::pair<CString, Faults>>{{L"Hyperlink", {}}, {L"Picture", {}}, {L"Find", {}}}));
}
