// Owner-drawn bitmap-menu items measured and painted into memory bitmaps in
// the Classic, Office XP and Office 2003 looks; the popup shadow's recorded
// colours; the popup window procedure's print path; packed item lists.
#include "ToolkitFixture.h"

#include "Random.h"
#include "bars/BitmapMenu.h"
#include "bars/BitmapMenuOrganizer.h"
#include "bars/MenuBar.h"
#include "bars/PackedMenuItems.h"
#include "gdi/ImageList.h"
#include "skins/ToolbarSkin.h"
#include "wnd/FrameWnd.h"

#include <cstring>

namespace {

constexpr COLORREF kImageColor = RGB(255, 0, 0);
constexpr COLORREF kFill = RGB(1, 2, 3);

// A popup of owner-drawn items: an item with an image and a shortcut, a plain
// one, a separator, a disabled one and a submenu.
class ItemMenu {
public:
    ItemMenu() {
        images.Create(16, 15, ILC_COLOR24 | ILC_MASK, 1, 0);
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 15);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT r{0, 0, 16, 15};
        HBRUSH red = CreateSolidBrush(kImageColor);
        FillRect(dc, &r, red);
        DeleteObject(red);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        images.Add(bitmap, RGB(255, 255, 255));
        DeleteObject(bitmap);
        image = std::make_unique<COXImageInfo>(images.m_hImageList, 0, FALSE, -1);
        noImage = std::make_unique<COXImageInfo>(images.m_hImageList, 0, TRUE, -1);

        HMENU handle = CreatePopupMenu();
        submenu = CreatePopupMenu();
        AppendMenuW(submenu, MF_STRING, 40009, L"Inner");
        Add(handle, 40001, L"&Open\tCtrl+O", image.get());
        Add(handle, 40002, L"Plain", noImage.get());
        AppendMenuW(handle, MF_SEPARATOR, 0, nullptr);
        Add(handle, 40003, L"Disabled", image.get());
        AppendMenuW(handle, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), L"More");
        menu.Attach(handle);
        auto* more = menu.AddItemInfo(std::make_unique<COXItemInfo>(noImage.get(), L"More"));
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        info.fType = MFT_OWNERDRAW;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(more);
        SetMenuItemInfoW(handle, 4, TRUE, &info);
        menu.CalcExtents();
    }
    ~ItemMenu() { DestroyMenu(menu.Detach()); }

    void Add(HMENU handle, UINT id, const wchar_t* text, COXImageInfo* info) {
        pending.push_back(std::make_unique<COXItemInfo>(info, text));
        AppendMenuW(handle, MF_OWNERDRAW, id, reinterpret_cast<const wchar_t*>(pending.back().get()));
    }
    ULONG_PTR Data(int position) const {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        GetMenuItemInfoW(menu.m_hMenu, static_cast<UINT>(position), TRUE, &info);
        return info.dwItemData;
    }
    UINT Id(int position) const { return GetMenuItemID(menu.m_hMenu, position); }
    // The rectangle of an item as the system stacks them, with the menu's widest width.
    CRect ItemRect(int position) {
        int top = 0, width = 0;
        CRect result;
        for (int i = 0; i < GetMenuItemCount(menu.m_hMenu); ++i) {
            MEASUREITEMSTRUCT m{};
            m.CtlType = ODT_MENU;
            m.itemID = GetMenuState(menu.m_hMenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR ? 0 : Id(i);
            m.itemData = Data(i);
            menu.MeasureItem(&m);
            width = std::max(width, static_cast<int>(m.itemWidth));
            if (i == position) result = CRect(0, top, 0, top + static_cast<int>(m.itemHeight));
            top += static_cast<int>(m.itemHeight);
        }
        result.right = width;
        return result;
    }
    CRect Draw(MemoryCanvas& canvas, int position, UINT state) {
        const CRect r = ItemRect(position);
        DRAWITEMSTRUCT d{};
        d.CtlType = ODT_MENU;
        d.itemID = GetMenuState(menu.m_hMenu, static_cast<UINT>(position), MF_BYPOSITION) & MF_SEPARATOR ? 0 : Id(position);
        d.itemData = Data(position);
        d.itemState = state;
        d.hDC = canvas.dc;
        d.rcItem = r;
        menu.DrawItem(&d);
        return r;
    }

    CImageList images;
    std::unique_ptr<COXImageInfo> image, noImage;
    std::vector<std::unique_ptr<COXItemInfo>> pending;
    HMENU submenu = nullptr;
    COXBitmapMenu menu;
};

int CountIn(const MemoryCanvas& canvas, const CRect& r, COLORREF color) { return canvas.Count(r, color); }

class MenuSkins : public ::testing::Test {
protected:
    TestApp<COXSkinnedApp> app{L"MenuSkinTests"};
    ItemMenu items;
    MemoryCanvas canvas{400, 200, kFill};
};

TEST_F(MenuSkins, ClassicItemsShowImageTextShortcutAndTheirStates) {
    ASSERT_TRUE(app.SetCurrentSkin(L"Classic"));
    const int* m = COXBitmapMenu::GetMenuSkin()->GetMetrics();
    EXPECT_EQ(m[1], 0);  // the glyph flag is set: the system draws submenu arrows itself
    EXPECT_EQ(items.menu.GetImageColumnWidth(), std::max(16, m[8]));

    // Selected item with its own image: highlighted text area, the image in the column.
    const CRect open = items.Draw(canvas, 0, ODS_SELECTED);
    const int centreY = (open.top + open.bottom) / 2;
    EXPECT_EQ(canvas.Pixel(open.right - 2, open.top + 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas.Pixel(8, centreY), kImageColor);
    // Text and shortcut are drawn in the highlight text colour, the shortcut at the right end.
    const int textLeft = m[0] + items.menu.GetImageColumnWidth() + m[2];
    EXPECT_GT(CountIn(canvas, CRect(textLeft, open.top, textLeft + items.menu.GetTextWidth(), open.bottom), GetSysColor(COLOR_HIGHLIGHTTEXT)), 0);
    const int shortcutRight = open.right - m[4];
    EXPECT_GT(CountIn(canvas, CRect(shortcutRight - items.menu.GetShortcutWidth(), open.top, shortcutRight, open.bottom),
                      GetSysColor(COLOR_HIGHLIGHTTEXT)), 0);

    // A disabled item unselected is embossed; selected it is grey text only.
    const CRect disabled = items.Draw(canvas, 3, ODS_DISABLED);
    const CRect textArea(textLeft, disabled.top, textLeft + items.menu.GetTextWidth() + 2, disabled.bottom);
    EXPECT_GT(CountIn(canvas, textArea, GetSysColor(COLOR_3DHILIGHT)), 0);
    EXPECT_GT(CountIn(canvas, textArea, GetSysColor(COLOR_3DSHADOW)), 0);
    items.Draw(canvas, 3, ODS_DISABLED | ODS_SELECTED);
    EXPECT_GT(CountIn(canvas, textArea, GetSysColor(COLOR_GRAYTEXT)), 0);
    EXPECT_EQ(CountIn(canvas, CRect(textArea.left, textArea.top, textArea.right, textArea.bottom - 1), GetSysColor(COLOR_3DHILIGHT)), 0);

    // A checked, unselected item's image column is dithered from two colours.
    const CRect plain = items.Draw(canvas, 1, ODS_CHECKED);
    const int frameTop = plain.top + (plain.Height() - 15) / 2;  // inside the sunken frame, beside the image
    const COLORREF a = canvas.Pixel(1, frameTop + 1), b = canvas.Pixel(1, frameTop + 2);
    EXPECT_TRUE(a == GetSysColor(COLOR_MENU) || a == GetSysColor(COLOR_3DHILIGHT));
    if (GetSysColor(COLOR_MENU) != GetSysColor(COLOR_3DHILIGHT)) {
        EXPECT_NE(a, b);
    }

    // The separator: a groove at the item's middle.
    const CRect separator = items.Draw(canvas, 2, 0);
    const int y = separator.top + separator.Height() / 2 - 1;
    EXPECT_EQ(canvas.Pixel(10, y), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(canvas.Pixel(10, y + 1), GetSysColor(COLOR_3DHILIGHT));
}

TEST_F(MenuSkins, MeasuringReservesTheShortcutColumnOnlyWhenNeeded) {
    ASSERT_TRUE(app.SetCurrentSkin(L"Classic"));
    const int* m = COXBitmapMenu::GetMenuSkin()->GetMetrics();
    MEASUREITEMSTRUCT withShortcut{};
    withShortcut.CtlType = ODT_MENU;
    withShortcut.itemID = 40001;
    withShortcut.itemData = items.Data(0);
    items.menu.MeasureItem(&withShortcut);
    EXPECT_EQ(static_cast<int>(withShortcut.itemWidth), m[0] + items.menu.GetImageColumnWidth() + m[2] + items.menu.GetTextWidth() + m[3] +
                                                             items.menu.GetShortcutWidth() + m[4]);
    EXPECT_EQ(static_cast<int>(withShortcut.itemHeight), std::max(15 + 2 + m[6], items.menu.GetTextHeight() + m[5]));

    // The same items without the shortcut and without the submenu: no shortcut column.
    ItemMenu plain;
    DeleteMenu(plain.menu.m_hMenu, 4, MF_BYPOSITION);
    auto* info = reinterpret_cast<COXItemInfo*>(plain.Data(0));
    info->text = L"&Open";
    plain.menu.CalcExtents();
    EXPECT_EQ(plain.menu.GetShortcutWidth(), 0);
    MEASUREITEMSTRUCT without{};
    without.CtlType = ODT_MENU;
    without.itemID = 40001;
    without.itemData = plain.Data(0);
    plain.menu.MeasureItem(&without);
    EXPECT_EQ(static_cast<int>(without.itemWidth), m[0] + plain.menu.GetImageColumnWidth() + m[2] + plain.menu.GetTextWidth() + m[4]);

    // A submenu alone reserves the width of "W" for its arrow.
    auto* open = reinterpret_cast<COXItemInfo*>(items.Data(0));
    open->text = L"&Open";
    items.menu.CalcExtents();
    EXPECT_GT(items.menu.GetShortcutWidth(), 0);

    // Separators take the separator height; the expand item is halved by the XP looks.
    MEASUREITEMSTRUCT separator{};
    separator.CtlType = ODT_MENU;
    separator.itemData = items.Data(0);
    items.menu.MeasureItem(&separator);
    EXPECT_EQ(static_cast<int>(separator.itemHeight), m[7]);
    ASSERT_TRUE(app.SetCurrentSkin(L"Office XP"));
    MEASUREITEMSTRUCT expand{};
    expand.CtlType = ODT_MENU;
    expand.itemID = ID_BITMAPMENU_EXPAND;
    expand.itemData = items.Data(1);
    items.menu.MeasureItem(&expand);
    const int* x = COXBitmapMenu::GetMenuSkin()->GetMetrics();
    const int full = std::max(15 + 2 + x[6], items.menu.GetTextHeight() + x[5]);
    EXPECT_EQ(static_cast<int>(expand.itemHeight), full / 2 + 1);
}

TEST_F(MenuSkins, OfficeLooksFillFlatAndGradientColumns) {
    ASSERT_TRUE(app.SetCurrentSkin(L"Office XP"));
    auto* xp = dynamic_cast<COXSkinXP*>(app.GetCurrentSkin());
    const CRect selected = items.Draw(canvas, 0, ODS_SELECTED);
    EXPECT_EQ(canvas.Pixel(selected.left, selected.top), xp->GetColor(3));
    EXPECT_EQ(canvas.Pixel(selected.right - 3, selected.top + 2), xp->GetColor(0));
    // Raised look: the image moved up and left by one.
    const int imageTop = selected.top + (selected.Height() - 15) / 2 + 2;
    EXPECT_EQ(canvas.Pixel(1, imageTop - 1), kImageColor);

    const CRect plain = items.Draw(canvas, 1, 0);
    EXPECT_EQ(canvas.Pixel(1, (plain.top + plain.bottom) / 2), xp->GetColor(6));
    EXPECT_EQ(canvas.Pixel(plain.right - 2, plain.top + 1), xp->GetColor(4));
    const CRect separator = items.Draw(canvas, 2, 0);
    EXPECT_EQ(canvas.Pixel(separator.right - 5, separator.top + separator.Height() / 2), xp->GetColor(9));

    ASSERT_TRUE(app.SetCurrentSkin(L"Office 2003"));
    auto* skin2003 = dynamic_cast<COXSkin2003*>(app.GetCurrentSkin());
    MemoryCanvas gradient(400, 200, kFill);
    const CRect item = items.Draw(gradient, 1, 0);
    EXPECT_EQ(gradient.Pixel(item.right - 2, item.top + 1), skin2003->GetColor(4));
    EXPECT_EQ(CountIn(gradient, CRect(0, item.top, 8, item.bottom), kFill), 0);
    // In place, without the raised look, when selected.
    MemoryCanvas hot(400, 200, kFill);
    const CRect open = items.Draw(hot, 0, ODS_SELECTED);
    const int top = open.top + (open.Height() - 15) / 2 + 2;
    EXPECT_EQ(hot.Pixel(2, top), kImageColor);
    EXPECT_EQ(hot.Pixel(17, top + 14), kImageColor);
    EXPECT_NE(hot.Pixel(1, top - 1), kImageColor);
}

// The Office menu skins keep their colours from paint to paint, but a change of the system's
// colours or visual style that the frame or a menu bar hears of shows at the next paint.
TEST_F(MenuSkins, OfficeMenuColoursFollowAColourOrThemeChangeAtTheNextPaint) {
    struct Tinted : COXSkinXP {
        COLORREF menu = RGB(10, 20, 30);
        COLORREF GetMenuColor() const override { return menu; }
    } look;
    COXMenuSkinXP skin(&look);
    auto* frame = new CFrameWnd;  // deletes itself when destroyed
    ASSERT_TRUE(frame->CreateEx(0, nullptr, L"menus", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    COXBitmapMenuOrganizer organizer;
    ASSERT_TRUE(organizer.AttachFrameWnd(frame));
    COXMenuBar bar;
    ASSERT_TRUE(bar.Create(frame, WS_CHILD | CBRS_TOP, 32960));
    const CRect item(0, 0, 120, 20);
    for (const auto& [tell, message] : {std::pair<HWND, UINT>{frame->m_hWnd, WM_SYSCOLORCHANGE},
                                        std::pair<HWND, UINT>{frame->m_hWnd, WM_THEMECHANGED},
                                        std::pair<HWND, UINT>{bar.m_hWnd, WM_THEMECHANGED}}) {
        skin.DrawBackground(&canvas.dc, 0, nullptr, item, CRect(), &items.menu);
        ASSERT_EQ(canvas.Pixel(item.right - 2, item.top + 1), look.menu);
        look.menu = RGB(GetRValue(look.menu) + 40, 20, 30);
        ::SendMessageW(tell, message, 0, 0);
        skin.DrawBackground(&canvas.dc, 0, nullptr, item, CRect(), &items.menu);
        EXPECT_EQ(canvas.Pixel(item.right - 2, item.top + 1), look.menu) << message;
    }
    bar.DestroyWindow();
    organizer.DetachFrameWnd();
    frame->DestroyWindow();
}

TEST_F(MenuSkins, PopupShadowRepaintsItsFirstColoursUntilThePopupChangesSize) {
    ASSERT_TRUE(app.SetCurrentSkin(L"Office XP"));
    auto* skin = dynamic_cast<COXMenuSkinXP*>(COXBitmapMenu::GetMenuSkin());
    ASSERT_NE(skin, nullptr);
    MemoryCanvas screenA(60, 40, RGB(200, 100, 50)), screenB(60, 40, RGB(10, 250, 10));
    const CRect window(0, 0, 40, 30);
    COXPopupShadowRecord record;
    MemoryCanvas first(60, 40, kFill), second(60, 40, kFill);
    skin->DrawPopupShadow(&first.dc, window, CRect(), &record, &screenA.dc);
    EXPECT_FALSE(record.colors.empty());
    EXPECT_EQ(first.Pixel(39, 20), COXMenuSkinXP::DarkenColor(RGB(200, 100, 50), 15));
    EXPECT_EQ(first.Pixel(39, 1), RGB(200, 100, 50));  // copied unchanged at the top
    // Later paints show exactly the first shadow, whatever the screen shows now.
    skin->DrawPopupShadow(&second.dc, window, CRect(), &record, &screenB.dc);
    for (int y = 0; y < 30; ++y) EXPECT_EQ(second.Pixel(38, y), first.Pixel(38, y)) << y;

    // A popup of another size takes its colours again.
    MemoryCanvas bigger(60, 40, kFill);
    skin->DrawPopupShadow(&bigger.dc, CRect(0, 0, 50, 36), CRect(), &record, &screenB.dc);
    EXPECT_EQ(record.size.cx, 50);
    EXPECT_EQ(bigger.Pixel(49, 20), COXMenuSkinXP::DarkenColor(RGB(10, 250, 10), 15));

    // A record cut short paints what it holds and nothing past it.
    record.colors.resize(3);
    MemoryCanvas cut(60, 40, kFill);
    skin->DrawPopupShadow(&cut.dc, CRect(0, 0, 50, 36), CRect(), &record, &screenA.dc);
    EXPECT_EQ(cut.Pixel(49, 3), kFill);

    // An item window whose menu opens below has no bottom shadow; to the right, no right shadow.
    MemoryCanvas below(60, 40, kFill), right(60, 40, kFill);
    skin->DrawItemShadow(&below.dc, CRect(0, 0, 30, 20), 1, &screenA.dc);
    EXPECT_EQ(below.Pixel(15, 19), kFill);
    EXPECT_NE(below.Pixel(29, 10), kFill);
    skin->DrawItemShadow(&right.dc, CRect(0, 0, 30, 20), 2, &screenA.dc);
    EXPECT_EQ(right.Pixel(29, 10), kFill);
    EXPECT_NE(right.Pixel(15, 19), kFill);
}

TEST_F(MenuSkins, PrintingAPopupLeavesAQuitRequestForTheApplication) {
    ASSERT_TRUE(app.SetCurrentSkin(L"Office XP"));
    COXMenuSkin* skin = COXBitmapMenu::GetMenuSkin();
    HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 10, 80, 60, nullptr, nullptr, nullptr, nullptr);
    COXBitmapMenu::SetTracked(&items.menu);
    MemoryCanvas target(100, 80, kFill);
    PostQuitMessage(7);
    skin->MenuWindowProc(DefWindowProcW, popup, WM_PRINT, reinterpret_cast<WPARAM>(target.dc.m_hDC), PRF_NONCLIENT);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    // The frame went into the given DC.
    EXPECT_EQ(target.Pixel(0, 10), GetSysColor(COLOR_3DSHADOW));
    COXBitmapMenu::SetTracked(nullptr);
    DestroyWindow(popup);
}

TEST(MenuSkinFallback, TheClassicFallbackOutlivesEveryBitmapMenu) {
    TestApp<CWinApp> app{L"MenuSkinFallback"};
    COXMenuSkin* before = COXBitmapMenu::GetMenuSkin();
    ASSERT_NE(dynamic_cast<COXMenuSkinClassic*>(before), nullptr);
    {
        COXBitmapMenu first(CreatePopupMenu()), second(CreatePopupMenu());
        DestroyMenu(first.Detach());
        DestroyMenu(second.Detach());
    }
    EXPECT_EQ(COXBitmapMenu::GetMenuSkin(), before);
    MemoryCanvas canvas(50, 20);
    before->DrawSubmenuArrow(&canvas.dc, CRect(0, 0, 20, 20), 0);  // still a live object
}

// Packed item lists ------------------------------------------------------------------------------

void PutInt(std::vector<BYTE>& out, int32_t v) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&v);
    out.insert(out.end(), p, p + 4);
}
void PutItem(std::vector<BYTE>& out, int32_t id, const wchar_t* text, int32_t code) {
    PutInt(out, id);
    const BYTE* p = reinterpret_cast<const BYTE*>(text);
    out.insert(out.end(), p, p + (wcslen(text) + 1) * 2);
    PutInt(out, 0x12345678);
    out.push_back(0xAB);
    PutInt(out, code);
}

CString ItemText(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return text;
}

TEST(PackedMenuItems, ItemsAndSubmenusAreReadByTheirWholeTextsAndBounded) {
    TestApp<CWinApp> app{L"PackedMenuItems"};
    std::vector<BYTE> data;
    PutItem(data, 40002, L"Second", 1);
    PutItem(data, -1, L"Sub", 1);
    PutItem(data, 40005, L"Inner one", 1);
    PutItem(data, 0, L"", 2);
    PutItem(data, 40001, L"", 0);  // text from the command's string resource

    COXBitmapMenu menu(CreatePopupMenu());
    AppendMenuW(menu.m_hMenu, MF_STRING, 1, L"Before");
    EXPECT_EQ(menu.InsertItems(data.data(), data.size(), 0), 5);
    ASSERT_EQ(GetMenuItemCount(menu.m_hMenu), 4);
    EXPECT_EQ(ItemText(menu.m_hMenu, 0), L"Second");
    EXPECT_EQ(ItemText(menu.m_hMenu, 1), L"Sub");
    EXPECT_EQ(ItemText(menu.m_hMenu, 2), L"First");
    EXPECT_EQ(ItemText(menu.m_hMenu, 3), L"Before");
    HMENU sub = GetSubMenu(menu.m_hMenu, 1);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(GetMenuItemCount(sub), 2);
    EXPECT_EQ(ItemText(sub, 0), L"Inner one");

    // Every cut of the list is refused where it runs out; what came before stays.
    for (size_t cut = 0; cut < data.size(); ++cut) {
        std::vector<BYTE> part(data.begin(), data.begin() + static_cast<long>(cut));
        std::vector<HMENU> created;
        HMENU target = CreatePopupMenu();
        const PackedMenuResult result = InsertPackedMenuItems(part.data(), part.size(), target, -1, created);
        EXPECT_FALSE(result.complete) << cut;
        EXPECT_LE(result.consumed, cut);
        DestroyMenu(target);
    }
    // Seeded garbage never reads past its end.
    Random random(1313);
    for (int run = 0; run < 300; ++run) {
        const std::string bytes = random.AnyBytes(0, 200);
        std::vector<BYTE> garbage(bytes.begin(), bytes.end());
        std::vector<HMENU> created;
        HMENU target = CreatePopupMenu();
        const PackedMenuResult result = InsertPackedMenuItems(garbage.data(), garbage.size(), target, -1, created);
        EXPECT_LE(result.consumed, garbage.size()) << "seed 1313 run " << run;
        DestroyMenu(target);
    }
    DestroyMenu(menu.Detach());
}

}  // namespace

namespace {

// Disabled images look as the system draws a disabled icon of the image (embossed in the
// Classic look, a shadow-coloured silhouette in the Office looks), without an icon made for them.
TEST_F(MenuSkins, DisabledImagesMatchTheSystemsDisabledIcon) {
    CImageList shaped;
    shaped.Create(16, 15, ILC_COLOR24 | ILC_MASK, 1, 0);
    MemoryCanvas source(16, 15, RGB(255, 255, 255));
    source.dc.FillSolidRect(CRect(3, 2, 13, 12), RGB(0, 0, 160));
    source.dc.FillSolidRect(CRect(6, 5, 9, 8), RGB(250, 250, 0));
    HBITMAP bitmap = CreateCompatibleBitmap(source.dc, 16, 15);
    {
        CDC copy;
        copy.CreateCompatibleDC(&source.dc);
        HGDIOBJ old = copy.SelectObject(bitmap);
        BitBlt(copy, 0, 0, 16, 15, source.dc, 0, 0, SRCCOPY);
        copy.SelectObject(old);
    }
    shaped.Add(bitmap, RGB(255, 255, 255));
    DeleteObject(bitmap);
    COXImageInfo info(shaped.m_hImageList, 0, FALSE, -1);
    struct Look {
        const wchar_t* skin;
        UINT flags;
        bool shadowBrush;
    };
    for (const Look& look : {Look{L"Classic", DSS_DISABLED, false}, Look{L"Office XP", DSS_MONO, true}}) {
        ASSERT_TRUE(app.SetCurrentSkin(look.skin));
        MemoryCanvas drawn(40, 15, kFill);
        COXBitmapMenu::GetMenuSkin()->DrawImage(&drawn.dc, ODS_DISABLED, &info, CRect(0, 0, 16, 15));
        HICON icon = ImageList_GetIcon(shaped.m_hImageList, 0, ILD_NORMAL);
        HBRUSH brush = look.shadowBrush ? CreateSolidBrush(GetSysColor(COLOR_3DSHADOW)) : nullptr;
        DrawStateW(drawn.dc, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, 20, 0, 16, 15, DST_ICON | look.flags);
        if (brush) DeleteObject(brush);
        DestroyIcon(icon);
        int differing = 0, changed = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 16; ++x) {
                differing += drawn.Pixel(x, y) != drawn.Pixel(20 + x, y);
                changed += drawn.Pixel(x, y) != kFill;
            }
        EXPECT_EQ(differing, 0) << look.skin;
        EXPECT_GT(changed, 0) << look.skin;
        EXPECT_EQ(drawn.Pixel(0, 0), kFill) << look.skin;  // the transparent border stays
    }
}

}  // namespace
