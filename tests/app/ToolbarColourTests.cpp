// The format toolbar's colour buttons on an open page: the drop-down's
// picker (it holds the mouse while it is open, so these run alone) and the
// button that applies the colour again.
#include "TreeFixture.h"
#include "bars/ColorPickerCtrl.h"
#include "html/HtmlDocument.h"
#include "page/TarveloDoc.h"
#include "page/TarveloView.h"
#include "resource.h"

#include <commctrl.h>
#include <mshtml.h>

#include <vector>

namespace {

std::vector<UINT> g_keys;

// Runs inside the picker's own loop: types the keys into the open picker.
void CALLBACK TypeIntoPicker(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND picker = FindWindowW(L"PopupBarControl", nullptr);
    if (!picker || !IsWindowVisible(picker)) return;
    KillTimer(nullptr, timer);
    for (UINT key : g_keys) PostMessageW(picker, key == VK_ESCAPE ? WM_KEYUP : WM_KEYDOWN, key, 1);
}

BOOL AnswerCustom(CHOOSECOLORW& choose) {
    choose.rgbResult = RGB(12, 34, 56);
    return TRUE;
}

class ToolbarColours : public TreeWindow {
protected:
    void DropDown(UINT id, std::vector<UINT> keys) {
        g_keys = std::move(keys);
        UINT_PTR timer = SetTimer(nullptr, 0, 10, TypeIntoPicker);
        NMTOOLBARW notify{};
        notify.hdr.hwndFrom = m_frame->m_wndToolBar.m_hWnd;
        notify.hdr.idFrom = ID_FORMAT_TOOLBAR;
        notify.hdr.code = TBN_DROPDOWN;
        notify.iItem = static_cast<int>(id);
        // As the toolbar sends it: to its dock bar, which hands it to the frame.
        ::SendMessageW(::GetParent(m_frame->m_wndToolBar.m_hWnd), WM_NOTIFY, ID_FORMAT_TOOLBAR,
                       reinterpret_cast<LPARAM>(&notify));
        KillTimer(nullptr, timer);
        PumpMessages();
    }
    CString PageText(CTarveloView* view) {
        CString text;
        view->GetEngineText(text);
        text.MakeLower();
        return text;
    }
};

}  // namespace

TEST_F(ToolbarColours, DropDownsPickForTheActivePageAndTheButtonsApplyTheColourAgain) {
    Page(L"Colours.htm", L"<DIV>first words</DIV><DIV>second words</DIV>");
    OpenWindow();
    // Without a page the drop-down opens nothing.
    DropDown(ID_FORMAT_COLOR, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(FindWindowW(L"PopupBarControl", nullptr), nullptr);

    Tree().OpenPage(Item(L"Colours.htm"));
    PumpMessages();
    auto* page = dynamic_cast<CTarveloDoc*>(OpenDocument(L"Colours.htm"));
    ASSERT_NE(page, nullptr);
    auto* view = dynamic_cast<CTarveloView*>(page->GetViews().front());
    ASSERT_NE(view, nullptr);
    auto selectDiv = [&](long index) {
        const bcHtmlDocument& document = view->GetPageDocument();
        ComPtr<IHTMLTxtRange> range;
        QueryAs<IHTMLBodyElement>(GetCollectionItem(document.GetElementsByTagName(L"BODY").Get(), 0).GetElement().Get())
            ->createTextRange(range.Receive());
        range->moveToElementText(GetCollectionItem(document.GetElementsByTagName(L"DIV").Get(), index).GetElement().Get());
        range->select();
    };

    // "Custom..." through the colour dialog: the page, the document and the settings take it.
    COXColorPickerCtrl::SetColorDialogRunner(&AnswerCustom);
    selectDiv(0);
    DropDown(ID_FORMAT_COLOR, {VK_UP, VK_RETURN});
    COXColorPickerCtrl::SetColorDialogRunner(nullptr);
    EXPECT_EQ(page->m_textColor, RGB(12, 34, 56));
    EXPECT_EQ(m_app.GetProfileInt(L"Settings", L"ColorText", 0), static_cast<int>(RGB(12, 34, 56)));
    EXPECT_NE(PageText(view).Find(L"#0c2238"), -1);
    EXPECT_TRUE(page->IsModified());
    // The button's strip shows the page's colour.
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(1200, 60, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    NMTBCUSTOMDRAW draw{};
    draw.nmcd.hdc = memory;
    draw.nmcd.dwItemSpec = ID_FORMAT_COLOR;
    draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
    OXTBCUSTOMDRAWRELAY relay{{nullptr, ID_FORMAT_TOOLBAR, OXTBN_CUSTOMDRAWRELAY}, &draw, 0, TRUE};
    m_frame->SendMessage(WM_NOTIFY, ID_FORMAT_TOOLBAR, reinterpret_cast<LPARAM>(&relay));
    CRect button;
    m_frame->m_wndToolBar.GetItemRect(m_frame->m_wndToolBar.CommandToIndex(ID_FORMAT_COLOR), &button);
    CRect strip = CMainFrame::ColorStripRect(button, m_frame->m_wndToolBar.GetDropDownArrowWidth());
    EXPECT_EQ(GetPixel(memory, strip.left + 1, strip.top + 1), RGB(12, 34, 56));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);

    // "Default" for the highlight; Escape changes nothing.
    DropDown(ID_FORMAT_HIGHLIGHT, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(page->m_highlightColor, GetPickerDefaultColor());
    EXPECT_NE(PageText(view).Find(L"#000080"), -1);
    DropDown(ID_FORMAT_COLOR, {VK_ESCAPE});
    EXPECT_EQ(page->m_textColor, RGB(12, 34, 56));

    // The button itself gives the next selection the colour last picked.
    auto uses = [&](const wchar_t* colour) {
        int count = 0;
        CString text = PageText(view);
        for (int at = text.Find(colour); at != -1; at = text.Find(colour, at + 1)) ++count;
        return count;
    };
    const int before = uses(L"#0c2238");
    selectDiv(1);
    m_frame->SendMessage(WM_COMMAND, ID_FORMAT_COLOR);
    EXPECT_EQ(uses(L"#0c2238"), before + 1);
}
