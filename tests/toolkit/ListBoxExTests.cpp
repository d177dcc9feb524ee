// The extended list box: the MRU block (limits, forced moves, deletions,
// the profile, and a profile that lies), item layout and the separator in
// pixels, tooltips, the wheel; the font list box over a font source of the
// test's own and over the system's fonts; the font combo box's MRU.
#include "ToolkitFixture.h"

#include "lists/FontComboBox.h"

namespace {

struct ListHost {
    template <typename List> void Make(List& list, DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS) {
        frame = new CFrameWnd;
        frame->CreateEx(0, CWnd::RegisterWndClass(0), L"Lists", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 400), nullptr, 0);
        ASSERT_TRUE(list.CreateEx(0, L"LISTBOX", L"", style, CRect(0, 0, 200, 200), frame, 100));
    }
    ~ListHost() {
        if (frame) frame->DestroyWindow();
        PumpMessages();
    }
    CFrameWnd* frame = nullptr;
};

// An image list of one blank 10x8 picture.
void MakeOneImage(CImageList& images) {
    images.Create(10, 8, ILC_COLOR24, 1, 0);
    HDC screen = GetDC(nullptr);
    HBITMAP bits = CreateCompatibleBitmap(screen, 10, 8);
    ReleaseDC(nullptr, screen);
    images.Add(bits, CLR_NONE);
    DeleteObject(bits);
}

CString Texts(CListBox& list) {
    CString out, text;
    for (int i = 0; i < list.GetCount(); ++i) {
        list.GetText(i, text);
        out += (i ? L"," : L"") + text;
    }
    return out;
}

// The request to draw a whole item of the list on `dc`.
DRAWITEMSTRUCT WholeItem(COXListBoxEx& list, int index, HDC dc, const CRect& rect) {
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_LISTBOX;
    draw.itemID = static_cast<UINT>(index);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hwndItem = list.m_hWnd;
    draw.hDC = dc;
    draw.rcItem = rect;
    return draw;
}

void Fill(COXListBoxEx& list, std::initializer_list<const wchar_t*> texts) {
    for (const wchar_t* text : texts) {
        OXLISTBOXITEM item;
        item.sTooltipText = CString(L"tip ") + text;
        list.AddListItem(text, OXLBI_TOOLTIP, &item);
    }
}

TEST(ListBoxEx, TheMRUBlockMovesItemsWithinItsLimitAndForcedMovesGiveUpTheLastMember) {
    TestApp<CWinApp> app{L"ListBoxExMRU"};
    COXListBoxEx list;
    ListHost host;
    host.Make(list);
    Fill(list, {L"a", L"b", L"c", L"d", L"e", L"f"});
    list.SetItemData(4, 44);
    list.SetMaxMRU(3);
    EXPECT_EQ(list.AddItemToMRU(4), 0);  // "e" to the top, its data with it
    EXPECT_EQ(list.GetItemData(0), 44u);
    EXPECT_EQ(list.GetItemInfo(0)->sTooltipText, L"tip e");
    EXPECT_EQ(list.AddItemToMRU(3), 1);  // "c" (now at 3) below it
    EXPECT_EQ(Texts(list), L"e,c,a,b,d,f");
    // The item right below the block joins it where it stands.
    EXPECT_EQ(list.MoveItemToMRU(2, 2, FALSE), 2);
    EXPECT_EQ(list.GetLastMRUIndex(), 2);
    EXPECT_EQ(list.GetItemInfo(2)->nMRUIndex, 2);
    // Full: a target at the maximum is no place of the block, forced or not.
    EXPECT_EQ(list.MoveItemToMRU(5, 3, TRUE), -1);
    EXPECT_EQ(list.MoveItemToMRU(5, 0, FALSE), -1);
    EXPECT_EQ(Texts(list), L"e,c,a,b,d,f");
    // Forced: the last member goes back out, the new one comes in at the top.
    list.SetCurSel(5);
    EXPECT_EQ(list.MoveItemToMRU(5, 0, TRUE), 0);
    EXPECT_EQ(Texts(list), L"f,e,c,b,d,a");
    EXPECT_EQ(list.GetCurSel(), 0);
    EXPECT_EQ(list.GetLastMRUIndex(), 2);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list.GetItemInfo(i)->nMRUIndex, i);
    EXPECT_EQ(list.GetItemInfo(5)->nMRUIndex, -1);
    EXPECT_EQ(list.GetItemInfo(5)->sTooltipText, L"tip a");
    // A member moved within the block; one asked to go past its end goes to its end.
    EXPECT_EQ(list.MoveItemToMRU(2, 0), 0);
    EXPECT_EQ(list.AddItemToMRU(0), 2);
    EXPECT_EQ(Texts(list), L"f,e,c,b,d,a");
    // Deleting a member shrinks the block and moves the records after it.
    list.DeleteString(1);
    EXPECT_EQ(list.GetLastMRUIndex(), 1);
    EXPECT_EQ(list.GetItemInfo(1)->sTooltipText, L"tip c");
    EXPECT_EQ(list.GetItemInfo(1)->nMRUIndex, 1);
    // Strings added from outside never land inside the block.
    EXPECT_EQ(list.InsertString(0, L"z"), 2);
    EXPECT_EQ(list.GetItemInfo(3)->sTooltipText, L"tip b");
    // A smaller maximum sends the surplus out; 0 means no block, -1 no limit.
    list.SetMaxMRU(1);
    EXPECT_EQ(list.GetLastMRUIndex(), 0);
    list.SetMaxMRU(0);
    EXPECT_EQ(list.GetLastMRUIndex(), -1);
    EXPECT_EQ(list.AddItemToMRU(3), -1);
    list.SetMaxMRU(-1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.AddItemToMRU(list.GetCount() - 1), i);
    EXPECT_EQ(list.RemoveItemFromMRU(7), -1);
    EXPECT_EQ(list.MoveItemToMRU(99, 0), -1);
    list.ResetContent();
    EXPECT_EQ(list.GetLastMRUIndex(), -1);
    EXPECT_EQ(list.GetItemInfo(0), nullptr);
}

TEST(ListBoxEx, TheBlockGoesToTheProfileAndComesBackAndAProfileThatLiesLoadsWhatFits) {
    TestApp<CWinApp> app{L"ListBoxExProfile"};
    {
        COXListBoxEx list;
        ListHost host;
        host.Make(list);
        Fill(list, {L"one", L"two", L"three", L"four"});
        list.SetMaxMRU(3);
        list.AddItemToMRU(2);
        list.AddItemToMRU(3);
        list.AddItemToMRU(3);
        EXPECT_TRUE(list.SaveMRU(L"Lists"));
        EXPECT_EQ(app.GetProfileInt(L"Lists", L"MRU_Count", 0), 3u);
        EXPECT_EQ(app.GetProfileString(L"Lists", L"MRU_Entry_0"), L"three");
        EXPECT_EQ(app.GetProfileString(L"Lists", L"MRU_Entry_2"), L"two");
        // A list kept in the profile saves itself when it goes.
        list.SetSaveRestoreMRU(TRUE);
    }
    EXPECT_EQ(app.GetProfileString(OXLB_MRU_SECTION, L"MRU_Entry_1"), L"four");
    COXListBoxEx list;
    ListHost host;
    host.Make(list);
    Fill(list, {L"one", L"two", L"three", L"four", L"five"});
    EXPECT_TRUE(list.LoadMRU(L"Lists"));
    EXPECT_EQ(Texts(list), L"three,four,two,one,five");
    EXPECT_EQ(list.GetMaxMRU(), 3);

    // Counts far past the list, an impossible maximum, an unknown face, a repeated one,
    // texts of any length: the known ones load, the rest is dropped.
    app.WriteProfileInt(L"Lie", L"MRU_MaxNumber", -7);
    app.WriteProfileInt(L"Lie", L"MRU_Count", 0x7FFFFFFF);
    app.WriteProfileString(L"Lie", L"MRU_Entry_0", L"gone");
    app.WriteProfileString(L"Lie", L"MRU_Entry_1", L"FIVE");
    app.WriteProfileString(L"Lie", L"MRU_Entry_2", L"five");
    app.WriteProfileString(L"Lie", L"MRU_Entry_3", CString(L'x', 5000));
    app.WriteProfileString(L"Lie", L"MRU_Entry_4", L"one");
    EXPECT_TRUE(list.LoadMRU(L"Lie"));
    EXPECT_EQ(list.GetMaxMRU(), 3);
    EXPECT_EQ(Texts(list), L"five,one,two,four,three");
    EXPECT_EQ(list.GetLastMRUIndex(), 1);
    app.WriteProfileInt(L"Lie2", L"MRU_Count", -40);
    EXPECT_TRUE(list.LoadMRU(L"Lie2"));
    EXPECT_EQ(list.GetLastMRUIndex(), -1);
}

TEST(ListBoxEx, ItemsAreLaidOutWithImageRoomAndTheBlockEndsInASeparatorLineWithTipsPerRow) {
    TestApp<CWinApp> app{L"ListBoxExLayout"};
    COXListBoxEx list;
    ListHost host;
    host.Make(list);
    CImageList images;
    MakeOneImage(images);
    list.SetImageList(&images);
    Fill(list, {L"alpha", L"beta", L"gamma"});
    list.SetItemInfo(1, OXLBI_INDENT | OXLBI_BKCOLOR | OXLBI_TOOLTIP, nullptr, 0, RGB(200, 0, 0), L"", -1, 7, 0, 0);
    const OXLISTBOXITEM* beta = list.GetItemInfo(1);
    // Image -1, yet the image's room and the 2-pixel gap are kept before the text.
    EXPECT_EQ(beta->rectText.left, 7 + 2 + 10 + 2);
    EXPECT_EQ(beta->rectItem.Width(), 7 + 2 + 10 + beta->rectText.Width() + 4);
    const int plain = static_cast<int>(list.SendMessage(LB_GETITEMHEIGHT, 0));
    list.AddItemToMRU(0);
    EXPECT_EQ(list.SendMessage(LB_GETITEMHEIGHT, 0), plain + 4);
    EXPECT_FALSE(list.SetItemInfo(9, OXLBI_INDENT, nullptr, 0, 0, nullptr, 0, 0, 0, 0));

    // The separator: a 2-pixel button-shadow line one pixel below the strip's top.
    MemoryCanvas canvas(200, 40);
    DRAWITEMSTRUCT draw = WholeItem(list, 0, canvas.dc, CRect(0, 0, 200, plain + 4));
    list.DrawItem(&draw);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(canvas.Pixel(50, plain), window);
    EXPECT_EQ(canvas.Pixel(50, plain + 1), shadow);
    EXPECT_EQ(canvas.Pixel(50, plain + 2), shadow);
    EXPECT_EQ(canvas.Pixel(50, plain + 3), window);
    // Selected in highlight-only-text mode: the fill covers only the text.
    list.SetHighlightOnlyText(TRUE);
    draw.itemID = 2;
    draw.itemState = ODS_SELECTED;
    draw.rcItem = CRect(0, 0, 200, plain);
    MemoryCanvas selected(200, 40);
    draw.hDC = selected.dc;
    list.DrawItem(&draw);
    const OXLISTBOXITEM* gamma = list.GetItemInfo(2);
    EXPECT_EQ(selected.Pixel(gamma->rectText.left + 1, gamma->rectText.top), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(selected.Pixel(1, 1), RGB(1, 2, 3));

    // Tools: one per row with a tip (beta has none), the list's own stays.
    list.SetHighlightOnlyText(FALSE);
    EXPECT_EQ(list.GetItemToolCount(), 2);
    EXPECT_EQ(SendMessageW(list.GetToolTipCtrl(), TTM_GETTOOLCOUNT, 0, 0), 3);
    // An empty list answers its colour request with its own brush; with items the parent decides.
    list.SetBackgroundColor(RGB(0, 90, 0));
    HDC dc = GetDC(list.m_hWnd);
    EXPECT_EQ(list.SendMessage(WM_REFLECT_BASE + WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list.m_hWnd)), 0);
    COXListBoxEx empty;
    ListHost other;
    other.Make(empty);
    empty.SetBackgroundColor(RGB(0, 90, 0));
    EXPECT_NE(host.frame->SendMessage(WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list.m_hWnd)), 1);
    EXPECT_NE(empty.SendMessage(WM_REFLECT_BASE + WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), 0), 0);
    ReleaseDC(list.m_hWnd, dc);
}

TEST(ListBoxEx, TheWidestItemGivesTheExtentAtOnceWhereverItStandsAndNewFontsAreMeasuredAnew) {
    TestApp<CWinApp> app{L"ListBoxExExtent"};
    CFont large, small;  // outlive the list that uses them
    COXListBoxEx list;
    ListHost host;
    host.Make(list, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS);
    for (int i = 0; i < 60; ++i) {
        CString text;
        text.Format(i == 50 ? L"item %d, far wider than any other and far out of view" : L"item %d", i);
        list.AddListItem(text);
    }
    ASSERT_LT(list.SendMessage(LB_GETTOPINDEX), 1);
    auto extent = [&] { return static_cast<int>(list.SendMessage(LB_GETHORIZONTALEXTENT)); };
    auto measuredWidth = [&](int index) {
        int width = 0, height = 0;
        list.GetItemTextSize(index, width, height);
        return width;
    };
    const int wide = list.GetItemInfo(50)->rectItem.Width();
    EXPECT_EQ(extent(), wide);
    // Every item makes room for the images: the extent follows the widest at once, out of view too.
    CImageList images;
    MakeOneImage(images);
    list.SetImageList(&images);
    EXPECT_EQ(list.GetItemInfo(50)->rectItem.Width(), wide + 2 + 10);
    EXPECT_EQ(extent(), wide + 2 + 10);
    // A new font of the list's or of one item's own is measured again, not taken from before.
    LOGFONTW lf{};
    lf.lfHeight = -30;
    wcscpy(lf.lfFaceName, L"Tahoma");
    ASSERT_TRUE(large.CreateFontIndirect(&lf));
    list.SetFont(large, FALSE);
    list.RecalcItemSize(-1);
    EXPECT_GT(list.GetItemInfo(50)->rectText.Width(), wide);
    EXPECT_EQ(list.GetItemInfo(50)->rectText.Width(), measuredWidth(50));
    EXPECT_EQ(extent(), list.GetItemInfo(50)->rectItem.Width());
    lf.lfHeight = -8;
    ASSERT_TRUE(small.CreateFontIndirect(&lf));
    list.SetItemInfo(50, OXLBI_FONT, &small, 0, 0, nullptr, 0, 0, 0, 0);
    list.RecalcItemSize(-1);
    EXPECT_EQ(list.GetItemInfo(50)->rectText.Width(), measuredWidth(50));
    EXPECT_LT(list.GetItemInfo(50)->rectText.Width(), wide);
}

TEST(ListBoxEx, TheWheelScrollsByOneItemWhateverItsDelta) {
    TestApp<CWinApp> app{L"ListBoxExWheel"};
    COXListBoxEx list;
    ListHost host;
    host.Make(list);
    for (int i = 0; i < 60; ++i) {
        CString text;
        text.Format(L"item %d", i);
        list.AddListItem(text);
    }
    list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA * 3)), 0);
    EXPECT_EQ(list.SendMessage(LB_GETTOPINDEX), 1);
    list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA * 5)), 0);
    EXPECT_EQ(list.SendMessage(LB_GETTOPINDEX), 0);
}

// Fonts ------------------------------------------------------------------------------------

class MadeFontList : public COXFontListBox {
public:
    std::vector<std::pair<LOGFONTW, DWORD>> faces;
    void Add(const wchar_t* face, DWORD type, BYTE charset = ANSI_CHARSET) {
        LOGFONTW lf{};
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        lf.lfCharSet = charset;
        lf.lfHeight = 40;
        lf.lfWidth = 9;
        faces.emplace_back(lf, type);
    }
    CString unmakeable;  // a face whose font cannot be made

protected:
    void EnumerateFonts(HDC, const FontSink& sink) override {
        for (const auto& [lf, type] : faces) sink(lf, type);
    }
    BOOL MakeItemFont(CFont& font, const LOGFONTW& lf) override {
        return unmakeable.CompareNoCase(lf.lfFaceName) != 0 && COXFontListBox::MakeItemFont(font, lf);
    }
};

TEST(FontListBox, FacesAreSortedOnceEachTrueTypeFirstSymbolsBracketedAndPutBackInOrder) {
    TestApp<CWinApp> app{L"FontListMade"};
    MadeFontList list;
    list.Add(L"Tahoma", RASTER_FONTTYPE);
    list.Add(L"Wingdings", TRUETYPE_FONTTYPE, SYMBOL_CHARSET);
    list.Add(L"tahoma", TRUETYPE_FONTTYPE);
    list.Add(L"Zapf Dingbats", TRUETYPE_FONTTYPE);
    list.Add(L"Line Printer", RASTER_FONTTYPE);
    list.Add(L"MS LineDraw", TRUETYPE_FONTTYPE);
    list.Add(L"Arial", TRUETYPE_FONTTYPE);
    ListHost host;
    host.Make(list);
    EXPECT_EQ(Texts(list), L"Arial,Line Printer,MS LineDraw,tahoma,Wingdings,Zapf Dingbats");
    const auto& fonts = list.GetFonts();
    ASSERT_EQ(fonts.size(), 6u);
    EXPECT_EQ(fonts[3].dwType, static_cast<DWORD>(TRUETYPE_FONTTYPE));  // the TrueType Tahoma stayed
    EXPECT_EQ(fonts[3].lf.lfHeight, list.GetPreviewFontHeight());
    EXPECT_EQ(fonts[3].lf.lfWidth, 0);
    EXPECT_FALSE(fonts[1].bSymbol);  // "LINE" without "DRAW"
    EXPECT_TRUE(fonts[2].bSymbol);
    EXPECT_TRUE(fonts[4].bSymbol);
    EXPECT_TRUE(fonts[5].bSymbol);  // "DINGBATS"
    EXPECT_EQ(list.GetItemInfo(0)->nImageIndex, 1);
    EXPECT_EQ(list.GetItemInfo(1)->nImageIndex, 0);
    EXPECT_EQ(list.GetItemInfo(4)->sTooltipText, L"Wingdings");
    // A symbol face is measured as "[name]" in the list's own font.
    int width = 0, height = 0;
    list.GetItemTextSize(4, width, height);
    HDC dc = GetDC(list.m_hWnd);
    HGDIOBJ old = SelectObject(dc, list.GetFont() ? static_cast<HGDIOBJ>(list.GetFont()) : GetStockObject(SYSTEM_FONT));
    RECT r{};
    DrawTextW(dc, L"[Wingdings]", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(list.m_hWnd, dc);
    EXPECT_EQ(width, r.right);

    // Into the block and out again: back to its alphabetical place below the block.
    list.SetMaxMRU(2);
    EXPECT_EQ(list.AddItemToMRU(4), 0);
    EXPECT_EQ(list.AddItemToMRU(3), 1);
    EXPECT_EQ(Texts(list), L"Wingdings,MS LineDraw,Arial,Line Printer,tahoma,Zapf Dingbats");
    EXPECT_EQ(list.MoveItemToMRU(5, 0, TRUE), 0);
    EXPECT_EQ(Texts(list), L"Zapf Dingbats,Wingdings,Arial,Line Printer,MS LineDraw,tahoma");
    // A refill keeps none of the fonts before it.
    list.faces.resize(2);
    list.FillFontList();
    EXPECT_EQ(Texts(list), L"Tahoma,Wingdings");
    for (int i = 0; i < list.GetCount(); ++i) EXPECT_NE(list.FontInfoOf(list.GetItemInfo(i)->pFont), nullptr);
    // A face whose font cannot be made is not listed, and leaves no record behind.
    list.unmakeable = L"Tahoma";
    list.FillFontList();
    EXPECT_EQ(Texts(list), L"Wingdings");
    ASSERT_EQ(list.GetFonts().size(), 1u);
    EXPECT_STREQ(list.GetFonts()[0].lf.lfFaceName, L"Wingdings");
}

TEST(FontListBox, FacesInViewAreMeasuredAtOnceAndTheOthersWhenTheyComeIntoView) {
    TestApp<CWinApp> app{L"FontListLazy"};
    MadeFontList list;
    for (int i = 0; i < 80; ++i) {
        CString face;
        face.Format(i % 2 ? L"Tahoma %02d" : L"Made Face %02d", i);
        list.Add(face, TRUETYPE_FONTTYPE);
    }
    ListHost host;
    host.Make(list);
    host.frame->ShowWindow(SW_SHOW);
    PumpMessages();
    ASSERT_EQ(list.GetCount(), 80);
    // Every item shown has its measured height; the items out of view wait.
    auto measured = [&](int i) {
        const OXLISTBOXITEM* record = list.GetItemInfo(i);
        return record->bLaidOut && list.SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(i)) == std::min(255, record->rectItem.Height());
    };
    CRect client, row;
    list.GetClientRect(&client);
    int shown = 0;
    while (list.SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(shown), reinterpret_cast<LPARAM>(&row)) != LB_ERR &&
           row.top < client.bottom) EXPECT_TRUE(measured(shown++)) << shown;
    EXPECT_GT(shown, 3);
    EXPECT_FALSE(list.GetItemInfo(60)->bLaidOut);
    int width = 0, height = 0;
    list.GetItemTextSize(1, width, height);
    EXPECT_EQ(list.GetItemInfo(1)->rectText.Width(), width);
    // Scrolled into view and painted, drawn on its own, or its font changed: measured.
    list.SendMessage(LB_SETTOPINDEX, 60);
    list.UpdateWindow();
    EXPECT_TRUE(measured(60));
    EXPECT_TRUE(measured(61));
    EXPECT_FALSE(list.GetItemInfo(40)->bLaidOut);
    MemoryCanvas canvas(200, 40);
    DRAWITEMSTRUCT draw = WholeItem(list, 45, canvas.dc, CRect(0, 0, 200, 30));
    list.DrawItem(&draw);
    EXPECT_TRUE(measured(45));
    list.SetItemInfo(30, OXLBI_FONT, list.GetItemInfo(31)->pFont, 0, 0, nullptr, 0, 0, 0, 0);
    EXPECT_TRUE(measured(30));
    // A face moved into the block: the separator's height goes to the block's last item once it shows.
    list.SetMaxMRU(2);
    EXPECT_EQ(list.AddItemToMRU(75), 0);
    list.SendMessage(LB_SETTOPINDEX, 0);
    list.UpdateWindow();
    ASSERT_TRUE(measured(0));
    const OXLISTBOXITEM* top = list.GetItemInfo(0);
    EXPECT_EQ(top->rectItem.Height(), std::max(12 + 4, top->rectText.Height() + 4) + 4);
    EXPECT_EQ(list.GetItemToolCount(), shown);
}

TEST(FontListBox, TheSystemsFontsAreListedInTheirOwnFaces) {
    TestApp<CWinApp> app{L"FontListSystem"};
    COXFontListBox list;
    ListHost host;
    host.Make(list);
    ASSERT_GT(list.GetCount(), 3);
    EXPECT_GE(list.FindStringExact(-1, L"Tahoma"), 0);
    LOGFONTW lf{};
    const int tahoma = list.FindStringExact(-1, L"Tahoma");
    ASSERT_TRUE(list.GetItemInfo(tahoma)->pFont->GetLogFont(&lf));
    EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
    const int marlett = list.FindStringExact(-1, L"Marlett");
    if (marlett >= 0) {
        EXPECT_TRUE(list.FontInfoOf(list.GetItemInfo(marlett)->pFont)->bSymbol);
    }
}

class NotifiedFrame : public CFrameWnd {
public:
    int selChanges = 0;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {MapControl<&NotifiedFrame::OnSelChange>(CBN_SELCHANGE, 200)};
        static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
        return &map;
    }
    void OnSelChange() { ++selChanges; }
};

class FewFontsCombo : public COXFontComboBox {
public:
    BOOL AcceptFont(const OXLBFONTINFO& font) override { return font.lf.lfFaceName[0] != L'@'; }
};

TEST(FontComboBox, AChoiceAfterTheListClosesGoesOnTopOfTheBlockAndTheParentHearsOfItToo) {
    TestApp<CWinApp> app{L"FontCombo"};
    auto* frame = new NotifiedFrame;
    frame->CreateEx(0, CWnd::RegisterWndClass(0), L"Combo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 400, 400), nullptr, 0);
    FewFontsCombo combo;
    ASSERT_TRUE(combo.CreateEx(0, L"COMBOBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS,
                               CRect(10, 10, 210, 300), frame, 200));
    const int count = combo.GetCount();
    ASSERT_GT(count, 3);
    EXPECT_EQ(count, combo.GetListBoxCtrl().GetCount());
    combo.ShowDropDown(TRUE);
    PumpMessages();
    ASSERT_TRUE(combo.IsListBoxCtrlSubclassed());
    COXFontListBoxHelper& list = combo.GetListBoxCtrl();
    EXPECT_EQ(list.GetFontComboBox(), &combo);
    EXPECT_EQ(list.GetCount(), count);
    auto notify = [&](UINT code) { frame->SendMessage(WM_COMMAND, MAKEWPARAM(200, code), reinterpret_cast<LPARAM>(combo.m_hWnd)); };
    CString chosen;
    combo.GetLBText(3, chosen);
    combo.SetCurSel(3);
    notify(CBN_SELCHANGE);  // no close-up before it: the block stays as it is
    EXPECT_EQ(list.GetLastMRUIndex(), -1);
    combo.ShowDropDown(FALSE);
    notify(CBN_CLOSEUP);
    notify(CBN_SELCHANGE);
    EXPECT_EQ(list.GetLastMRUIndex(), 0);
    CString top;
    combo.GetLBText(0, top);
    EXPECT_EQ(top, chosen);
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(frame->selChanges, 2);
    EXPECT_FALSE(combo.IsClosedUp());
    // No block: choices change no order.
    list.SetMaxMRU(0);
    combo.SetCurSel(5);
    notify(CBN_CLOSEUP);
    notify(CBN_SELCHANGE);
    EXPECT_EQ(list.GetLastMRUIndex(), -1);
    frame->DestroyWindow();
    PumpMessages();
}

}  // namespace
