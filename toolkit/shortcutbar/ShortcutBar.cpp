// The shortcut bar's groups: records, lookup and comparison, validation and
// merging, order, the group windows, the getters and setters of each field and
// the bar's settings. Layout, expanding and painting live in
// ShortcutBarLayout.cpp, the mouse, menu and rename in ShortcutBarInput.cpp.
#include "shortcutbar/ShortcutBar.h"

#include "shortcutbar/SHBListCtrl.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

#include <algorithm>
#include <string_view>
#include <vector>

// Group records ------------------------------------------------------------------------------------------

_tagSHB_GROUPINFO& _tagSHB_GROUPINFO::operator=(const _tagSHB_GROUPINFO& other) {
    if (this == &other) return *this;
    Reset();
    nImage = other.nImage;
    nImageExpanded = other.nImageExpanded;
    lParam = other.lParam;
    nOrder = other.nOrder;
    nView = other.nView;
    pDescriptor = other.pDescriptor;
    hwndChild = other.hwndChild;
    nMask = other.nMask;
    if (other.pszText) SetText(other.pszText, other.nTextMax > 0 ? other.nTextMax : -1);
    return *this;
}

void _tagSHB_GROUPINFO::Reset() {
    if (bOwnsText) delete[] pszText;
    pszText = nullptr;
    bOwnsText = FALSE;
    nTextMax = 0;
    nImage = nImageExpanded = -1;
    lParam = 0;
    nOrder = nView = 0;
    pDescriptor = nullptr;
    hwndChild = nullptr;
    nMask = 0;
}

void _tagSHB_GROUPINFO::SetText(const wchar_t* text, int max) {
    if (bOwnsText) delete[] pszText;
    pszText = nullptr;
    bOwnsText = FALSE;
    nTextMax = 0;
    if (!text || max == 0) return;
    // The string's own length, never more than the caller said its buffer holds: a buffer
    // of `max` characters need not hold a terminator, so nothing past it is read.
    const size_t length = max > 0 ? wcsnlen(text, static_cast<size_t>(max)) : wcslen(text);
    if (!length) return;
    pszText = new wchar_t[length + 1];
    std::copy(text, text + length, pszText);
    pszText[length] = 0;
    nTextMax = static_cast<int>(length);
    bOwnsText = TRUE;
}

CString ShortcutBarMenuText(UINT command) {
    static const wchar_t* const texts[] = {L"&Large Icons", L"&Small Icons", L"&Add New Group", L"&Remove Group",
                                           L"Re&name Group", L"Remo&ve Item", L"Rena&me Item"};
    if (command < SHB_IDMLARGEICON || command > SHB_IDMRENAMEITEM) return CString();
    wchar_t buffer[128];
    const int length = LoadStringW(GetModuleHandleW(nullptr), 26840 + (command - SHB_IDMLARGEICON), buffer, 128);
    return length > 0 ? CString(buffer) : CString(texts[command - SHB_IDMLARGEICON]);
}

// Construction --------------------------------------------------------------------------------------------

COXShortcutBar::COXShortcutBar() {
    LOGFONTW lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcscpy(lf.lfFaceName, L"MS Sans Serif");
    if (!m_font.CreateFontIndirect(&lf)) throw std::runtime_error("the shortcut bar's font cannot be made");
}

COXShortcutBar::~COXShortcutBar() {
    if (m_hWnd) {
        DeleteAllGroups();
        DestroyWindow();
    }
    m_groups.clear();
    if (m_hDragImage) ImageList_Destroy(m_hDragImage);
}

BOOL COXShortcutBar::Create(CWnd* parent, const RECT& rect, DWORD barStyle, UINT id, DWORD windowStyle, DWORD exStyle) {
    const wchar_t* cls = RegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!CreateEx(exStyle, cls, L"", windowStyle | WS_CHILD, rect, parent, id)) return FALSE;
    m_dwBarStyle = barStyle;
    return Initialise();
}

void COXShortcutBar::PreSubclassWindow() {
    CWnd::PreSubclassWindow();
    m_dwBarStyle = SHBS_ATTACHDEFAULT;
    Initialise();
}

BOOL COXShortcutBar::Initialise() {
    if (!CreateEditControl()) return FALSE;
    SetTimer(kHotTimer, 500);
    if (COleDropTarget* target = GetDropTarget(); target && target->Register(this)) m_pRegisteredTarget = target;
    return TRUE;
}

BOOL COXShortcutBar::CreateEditControl() {
    if (m_edit.m_hWnd) return TRUE;
    return m_edit.CreateEx(0, L"EDIT", L"", WS_CHILD | WS_BORDER, 0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(0xFFFF));
}

COXShortcutBarSkin* COXShortcutBar::GetShortcutBarSkin() {
    return LookupElementSkin<COXShortcutBarSkin, COXShortcutBarSkinClassic>(m_pFallbackSkin, &COXSkin::GetShortcutBarSkin);
}

COleDropTarget* COXShortcutBar::GetDropTarget() {
    COleDropTarget* target = nullptr;
    if (Notify(SHBN_GETDROPTARGET, nullptr, reinterpret_cast<LPARAM>(&target)) && target) return target;
    return &m_dropTarget;
}

std::unique_ptr<COXSHBListCtrl> COXShortcutBar::NewGroupListCtrl() { return std::make_unique<COXSHBListCtrl>(); }

BOOL COXShortcutBar::CreateGroupList(HSHBGROUP handle) {
    Group* group = Find(handle);
    if (!group) return FALSE;
    if (group->list && group->list->m_hWnd) group->list->DestroyWindow();
    if (!group->list) group->list = NewGroupListCtrl();
    if (!group->list) return FALSE;
    const CRect empty;
    if (!group->list->CListCtrl::Create(WS_CHILD | 0x2044, empty, this, static_cast<UINT>(reinterpret_cast<UINT_PTR>(handle))))
        return FALSE;
    if (!group->list->Initialise()) return FALSE;
    group->list->SetFont(m_font, FALSE);
    group->list->SendMessage(WM_SHB_ATTACHLIST, 0, reinterpret_cast<LPARAM>(handle));
    return TRUE;
}

// Lookup ----------------------------------------------------------------------------------------------------

COXShortcutBar::Group* COXShortcutBar::Find(HSHBGROUP group) const {
    auto found = m_groups.find(group);
    return found == m_groups.end() ? nullptr : found->second.get();
}

HSHBGROUP COXShortcutBar::FindGroupByOrder(int order) const {
    for (const auto& [handle, group] : m_groups) {
        if (group->info.nOrder == order) return handle;
    }
    return nullptr;
}

HSHBGROUP COXShortcutBar::FindGroup(const SHB_GROUPINFO* info) const {
    for (int order = 0; order < GetGroupCount(); ++order) {
        HSHBGROUP handle = FindGroupByOrder(order);
        if (handle && CompareGroupInfo(info, &Find(handle)->info)) return handle;
    }
    return nullptr;
}

HSHBGROUP COXShortcutBar::FindGroupByHandle(HWND child) const {
    for (const auto& [handle, group] : m_groups) {
        if (GetGroupChildWnd(handle) == child) return handle;
    }
    return nullptr;
}

namespace {
// A record's text as the bar would store it: at most `nTextMax` characters when that is set (the
// buffer need not hold a terminator), else up to its terminator.
std::wstring_view TextOf(const SHB_GROUPINFO& info) {
    if (!info.pszText) return {};
    return {info.pszText, info.nTextMax > 0 ? wcsnlen(info.pszText, static_cast<size_t>(info.nTextMax)) : wcslen(info.pszText)};
}
}  // namespace

// Texts match whole: a capped text names a header of exactly that text, not one that starts with it.
BOOL COXShortcutBar::CompareGroupInfo(const SHB_GROUPINFO* a, const SHB_GROUPINFO* b) const {
    if (!a || !b || (a->nMask & ~b->nMask)) return FALSE;
    const UINT m = a->nMask;
    if ((m & SHBIF_TEXT) && TextOf(*a) != TextOf(*b)) return FALSE;
    if ((m & SHBIF_IMAGE) && a->nImage != b->nImage) return FALSE;
    if ((m & SHBIF_IMAGEEXPANDED) && a->nImageExpanded != b->nImageExpanded) return FALSE;
    if ((m & SHBIF_PARAM) && a->lParam != b->lParam) return FALSE;
    if ((m & SHBIF_ORDER) && a->nOrder != b->nOrder) return FALSE;
    if ((m & SHBIF_VIEW) && a->nView != b->nView) return FALSE;
    if ((m & SHBIF_DESCRIPTOR) && a->pDescriptor != b->pDescriptor) return FALSE;
    if ((m & SHBIF_CHILDWND) && a->hwndChild != b->hwndChild) return FALSE;
    return TRUE;
}

// Inserting, changing, deleting ------------------------------------------------------------------------

BOOL COXShortcutBar::ValidateGroupInfo(const SHB_GROUPINFO* info, BOOL inserting) const {
    if (!info || (info->nMask & ~SHBIF_ALL)) return FALSE;
    const int images = m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0;
    if ((info->nMask & SHBIF_IMAGE) && info->nImage >= images) return FALSE;
    if ((info->nMask & SHBIF_IMAGEEXPANDED) && info->nImageExpanded >= images) return FALSE;
    if (info->nMask & SHBIF_ORDER) {
        const int count = GetGroupCount();
        const bool special = info->nOrder == SHBI_FIRST || info->nOrder == SHBI_LAST || info->nOrder == SHBI_SORT;
        if (!(info->nOrder >= 0 && info->nOrder < count) && !(inserting && special)) return FALSE;
    }
    if ((info->nMask & SHBIF_VIEW) && (info->nView & ~0x3)) return FALSE;
    if ((info->nMask & SHBIF_CHILDWND) && info->hwndChild &&
        (!::IsWindow(info->hwndChild) || !(::GetWindowLongPtrW(info->hwndChild, GWL_STYLE) & WS_CHILD) || ::GetParent(info->hwndChild) != m_hWnd))
        return FALSE;
    return TRUE;
}

BOOL COXShortcutBar::MergeGroupInfo(Group& group, const SHB_GROUPINFO* info) {
    SHB_GROUPINFO& stored = group.info;
    const UINT m = info->nMask;
    if (m & SHBIF_TEXT) {
        stored.SetText(info->pszText, info->nTextMax > 0 ? info->nTextMax : -1);
        stored.nMask |= SHBIF_TEXT;
    }
    auto image = [&](UINT bit, int value, int& slot) {
        if (!(m & bit)) return;
        slot = value < 0 ? -1 : value;
        if (value < 0) stored.nMask &= ~bit;
        else stored.nMask |= bit;
    };
    image(SHBIF_IMAGE, info->nImage, stored.nImage);
    image(SHBIF_IMAGEEXPANDED, info->nImageExpanded, stored.nImageExpanded);
    if (m & SHBIF_PARAM) stored.lParam = info->lParam, stored.nMask |= SHBIF_PARAM;
    if (m & SHBIF_VIEW) stored.nView = info->nView, stored.nMask |= SHBIF_VIEW;
    if (m & SHBIF_DESCRIPTOR) {
        if (!info->pDescriptor) {
            group.descriptor.reset();
            stored.pDescriptor = nullptr;
            stored.nMask &= ~SHBIF_DESCRIPTOR;
        } else {
            if (!group.descriptor) group.descriptor = std::make_shared<SHB_DESCRIPTOR>();
            SHB_DESCRIPTOR& d = *group.descriptor;
            const SHB_DESCRIPTOR& s = *info->pDescriptor;
            if (s.nMask & SHBIF_CLRBACK) d.clrBackground = s.clrBackground;
            if (s.nMask & SHBIF_CLRTEXT) d.clrText = s.clrText;
            if (s.nMask & SHBIF_HDRCLRBACK) d.clrHeaderBackground = s.clrHeaderBackground;
            if (s.nMask & SHBIF_HDRCLRTEXT) d.clrHeaderText = s.clrHeaderText;
            if (s.nMask & SHBIF_HDRTEXTFMT) d.nHeaderTextFormat = s.nHeaderTextFormat;
            if (s.nMask & SHBIF_FONT) d.lfText = s.lfText;
            if (s.nMask & SHBIF_HDRFONT) d.lfHeader = s.lfHeader;
            if (s.nMask & SHBIF_HDRHEIGHT) d.nHeaderHeight = s.nHeaderHeight;
            d.nMask |= s.nMask;
            stored.pDescriptor = group.descriptor.get();
            stored.nMask |= SHBIF_DESCRIPTOR;
        }
    }
    if (m & SHBIF_CHILDWND) {
        stored.hwndChild = info->hwndChild;
        if (info->hwndChild) stored.nMask |= SHBIF_CHILDWND;
        else stored.nMask &= ~SHBIF_CHILDWND;
    }
    return TRUE;
}

void COXShortcutBar::PlaceByOrder(Group& group, int order) {
    const int others = GetGroupCount() - 1;  // the group itself is already in the map
    if (order == SHBI_FIRST) order = 0;
    if (order < 0 || order > others) order = others;
    for (auto& [handle, g] : m_groups) {
        if (g.get() != &group && g->info.nOrder >= order) ++g->info.nOrder;
    }
    group.info.nOrder = order;
    group.info.nMask |= SHBIF_ORDER;
}

BOOL COXShortcutBar::GiveGroupWindow(HSHBGROUP handle, Group& group) {
    if (group.info.hwndChild) {
        group.list.reset();
        ::SendMessageW(group.info.hwndChild, WM_SHB_ATTACHLIST, 0, reinterpret_cast<LPARAM>(handle));
        return TRUE;
    }
    try {
        group.list = NewGroupListCtrl();
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return group.list && CreateGroupList(handle);
}

HSHBGROUP COXShortcutBar::InsertGroup(const SHB_GROUPINFO* info) {
    if (!m_hWnd || !info) return nullptr;
    if (Notify(SHBN_INSERTGROUP, nullptr, reinterpret_cast<LPARAM>(info))) return nullptr;
    if (!ValidateGroupInfo(info, TRUE)) return nullptr;
    const HSHBGROUP handle = NewGroupHandle();
    std::unique_ptr<Group> group;
    try {
        group = std::make_unique<Group>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    Group& g = *group;
    m_groups[handle] = std::move(group);
    MergeGroupInfo(g, info);
    const int order = (info->nMask & SHBIF_ORDER) ? info->nOrder : SHBI_LAST;
    PlaceByOrder(g, order);
    if (!GiveGroupWindow(handle, g)) {
        const int removed = g.info.nOrder;
        m_groups.erase(handle);
        for (auto& [h, other] : m_groups) {
            if (other->info.nOrder > removed) --other->info.nOrder;
        }
        return nullptr;
    }
    if (order == SHBI_SORT) SortGroupsByText(1);
    CalculateLayout();
    Invalidate(FALSE);
    return handle;
}

BOOL COXShortcutBar::DeleteGroup(HSHBGROUP handle) {
    Group* group = Find(handle);
    if (!group || Notify(SHBN_DELETEGROUP, handle)) return FALSE;
    if (m_hEditGroup == handle) {
        m_hEditGroup = nullptr;
        m_edit.EndEdit(FALSE);
    }
    const int order = group->info.nOrder;
    for (auto& [h, other] : m_groups) {
        if (other->info.nOrder > order) --other->info.nOrder;
    }
    if (HWND child = GetGroupChildWnd(handle)) {
        ::ShowWindow(child, SW_HIDE);
        ::SendMessageW(child, WM_SHB_GROUPDELETING, 0, 0);
    }
    for (HSHBGROUP* slot : {&m_hDropHeader, &m_hContextGroup, &m_hDragGroup, &m_hPressedGroup, &m_hPressGroup, &m_hHoverGroup, &m_hHotGroup}) {
        if (*slot == handle) *slot = nullptr;
    }
    const bool wasExpanded = m_hExpandedGroup == handle;
    m_groups.erase(handle);
    if (wasExpanded) {
        m_hExpandedGroup = nullptr;
        HSHBGROUP next = FindGroupByOrder(order);
        if (!next) next = FindGroupByOrder(0);
        if (next) {
            ExpandGroup(next);
            return TRUE;
        }
    }
    CalculateLayout();
    RepositionExpanded(TRUE);
    Invalidate(FALSE);
    return TRUE;
}

BOOL COXShortcutBar::DeleteAllGroups() {
    BOOL all = TRUE;
    std::vector<HSHBGROUP> handles;
    for (const auto& entry : m_groups) handles.push_back(entry.first);
    for (HSHBGROUP handle : handles) all = DeleteGroup(handle) && all;
    return all;
}

BOOL COXShortcutBar::SetGroupInfo(HSHBGROUP handle, const SHB_GROUPINFO* info, BOOL reset) {
    Group* group = Find(handle);
    if (!group || !info || !ValidateGroupInfo(info, FALSE)) return FALSE;
    const HWND oldChild = group->info.hwndChild;
    const int oldOrder = group->info.nOrder;
    if (reset) {
        const int order = group->info.nOrder;
        group->info.Reset();
        group->descriptor.reset();
        group->info.nOrder = order;
        group->info.nMask = SHBIF_ORDER;
    }
    MergeGroupInfo(*group, info);
    if (info->nMask & SHBIF_ORDER) {
        // The group that held the position takes the old one.
        for (auto& [h, other] : m_groups) {
            if (other.get() != group && other->info.nOrder == info->nOrder) other->info.nOrder = oldOrder;
        }
        group->info.nOrder = info->nOrder;
    } else {
        group->info.nOrder = oldOrder;
    }
    if (group->info.hwndChild != oldChild) {
        if (oldChild && m_hExpandedGroup == handle) ::ShowWindow(oldChild, SW_HIDE);
        if (group->info.hwndChild) {
            if (group->list && group->list->m_hWnd) group->list->ShowWindow(SW_HIDE);
            ::SendMessageW(group->info.hwndChild, WM_SHB_ATTACHLIST, 0, reinterpret_cast<LPARAM>(handle));
        } else if (!GiveGroupWindow(handle, *group)) {
            return FALSE;
        }
    }
    if (info->nMask & (SHBIF_ORDER | SHBIF_DESCRIPTOR | SHBIF_CHILDWND | SHBIF_TEXT | SHBIF_IMAGE)) {
        CalculateLayout();
        // A change of order can move the open group's window: it is painted again where it lands.
        RepositionExpanded(m_hExpandedGroup == handle || (info->nMask & SHBIF_ORDER));
        Invalidate(FALSE);
    }
    if (HWND child = GetGroupChildWnd(handle)) ::SendMessageW(child, WM_SHB_GROUPCHANGED, 0, static_cast<LPARAM>(info->nMask));
    return TRUE;
}

BOOL COXShortcutBar::GetGroupInfo(HSHBGROUP handle, SHB_GROUPINFO* out) const {
    const Group* group = Find(handle);
    if (!group || !out) return FALSE;
    *out = group->info;
    return TRUE;
}

namespace {
SHB_GROUPINFO OneField(UINT mask) {
    SHB_GROUPINFO info;
    info.nMask = mask;
    return info;
}
}  // namespace

BOOL COXShortcutBar::SetGroupText(HSHBGROUP group, const wchar_t* text) {
    SHB_GROUPINFO info = OneField(SHBIF_TEXT);
    info.SetText(text);
    return SetGroupInfo(group, &info);
}
BOOL COXShortcutBar::SetGroupImage(HSHBGROUP group, int image) {
    SHB_GROUPINFO info = OneField(SHBIF_IMAGE);
    info.nImage = image;
    return SetGroupInfo(group, &info);
}
BOOL COXShortcutBar::SetGroupImageExpanded(HSHBGROUP group, int image) {
    SHB_GROUPINFO info = OneField(SHBIF_IMAGEEXPANDED);
    info.nImageExpanded = image;
    return SetGroupInfo(group, &info);
}
BOOL COXShortcutBar::SetGroupOrder(HSHBGROUP group, int order) {
    SHB_GROUPINFO info = OneField(SHBIF_ORDER);
    info.nOrder = order;
    return SetGroupInfo(group, &info);
}
BOOL COXShortcutBar::SetGroupView(HSHBGROUP group, int view) {
    SHB_GROUPINFO info = OneField(SHBIF_VIEW);
    info.nView = view;
    if (group) return SetGroupInfo(group, &info);
    if (!ValidateGroupInfo(&info, FALSE)) return FALSE;
    for (int order = 0; order < GetGroupCount(); ++order) {
        if (!SetGroupInfo(FindGroupByOrder(order), &info)) return FALSE;
    }
    return TRUE;
}
BOOL COXShortcutBar::SetGroupDescriptor(HSHBGROUP group, const SHB_DESCRIPTOR* descriptor) {
    SHB_GROUPINFO info = OneField(SHBIF_DESCRIPTOR);
    info.pDescriptor = const_cast<SHB_DESCRIPTOR*>(descriptor);
    if (group) return SetGroupInfo(group, &info);
    for (int order = 0; order < GetGroupCount(); ++order) {
        if (!SetGroupInfo(FindGroupByOrder(order), &info)) return FALSE;
    }
    return TRUE;
}
namespace {
SHB_DESCRIPTOR DescriptorWith(UINT mask) {
    SHB_DESCRIPTOR d;
    d.nMask = mask;
    return d;
}
}  // namespace
BOOL COXShortcutBar::SetGroupBkColor(HSHBGROUP group, COLORREF color) {
    SHB_DESCRIPTOR d = DescriptorWith(SHBIF_CLRBACK);
    d.clrBackground = color;
    return SetGroupDescriptor(group, &d);
}
BOOL COXShortcutBar::SetGroupTextColor(HSHBGROUP group, COLORREF color) {
    SHB_DESCRIPTOR d = DescriptorWith(SHBIF_CLRTEXT);
    d.clrText = color;
    return SetGroupDescriptor(group, &d);
}
BOOL COXShortcutBar::SetGroupHeaderBkColor(HSHBGROUP group, COLORREF color) {
    SHB_DESCRIPTOR d = DescriptorWith(SHBIF_HDRCLRBACK);
    d.clrHeaderBackground = color;
    return SetGroupDescriptor(group, &d);
}
BOOL COXShortcutBar::SetGroupHeaderHeight(HSHBGROUP group, int height) {
    SHB_DESCRIPTOR d = DescriptorWith(SHBIF_HDRHEIGHT);
    d.nHeaderHeight = height;
    return SetGroupDescriptor(group, &d);
}
BOOL COXShortcutBar::SetGroupChildWnd(HSHBGROUP group, HWND child) {
    SHB_GROUPINFO info = OneField(SHBIF_CHILDWND);
    info.hwndChild = child;
    return SetGroupInfo(group, &info);
}

// Getters -----------------------------------------------------------------------------------------------

CString COXShortcutBar::GetGroupText(HSHBGROUP group) const {
    const Group* g = Find(group);
    return g && g->info.pszText ? CString(g->info.pszText) : CString();
}
int COXShortcutBar::GetGroupImage(HSHBGROUP group) const {
    const Group* g = Find(group);
    return g && (g->info.nMask & SHBIF_IMAGE) ? g->info.nImage : -1;
}
int COXShortcutBar::GetGroupImageExpanded(HSHBGROUP group) const {
    const Group* g = Find(group);
    if (!g) return -1;
    return (g->info.nMask & SHBIF_IMAGEEXPANDED) ? g->info.nImageExpanded : GetGroupImage(group);
}
int COXShortcutBar::GetGroupOrder(HSHBGROUP group) const {
    const Group* g = Find(group);
    return g ? g->info.nOrder : -1;
}
int COXShortcutBar::GetGroupView(HSHBGROUP group) const {
    const Group* g = Find(group);
    if (!g) return -1;
    return (g->info.nMask & SHBIF_VIEW) && g->info.nView ? g->info.nView : SHB_LARGEICON;
}
LPARAM COXShortcutBar::GetGroupData(HSHBGROUP group) const {
    const Group* g = Find(group);
    return g ? g->info.lParam : 0;
}
HWND COXShortcutBar::GetGroupChildWnd(HSHBGROUP group) const {
    const Group* g = Find(group);
    if (!g) return nullptr;
    if (g->info.hwndChild) return g->info.hwndChild;
    return g->list ? g->list->m_hWnd : nullptr;
}
COXSHBListCtrl* COXShortcutBar::GetGroupListCtrl(HSHBGROUP group) const {
    const Group* g = Find(group);
    return g && !g->info.hwndChild ? g->list.get() : nullptr;
}
const SHB_DESCRIPTOR* COXShortcutBar::Descriptor(HSHBGROUP group, UINT bit) const {
    const Group* g = Find(group);
    return g && g->descriptor && (g->descriptor->nMask & bit) ? g->descriptor.get() : nullptr;
}
BOOL COXShortcutBar::HasGroupBkColor(HSHBGROUP group) const { return Descriptor(group, SHBIF_CLRBACK) != nullptr; }
COLORREF COXShortcutBar::GetGroupBkColor(HSHBGROUP group) const {
    if (!IsGroup(group)) return static_cast<COLORREF>(-1);
    if (const auto* d = Descriptor(group, SHBIF_CLRBACK)) return d->clrBackground;
    return const_cast<COXShortcutBar*>(this)->GetShortcutBarSkin()->GetBackgroundColor(const_cast<COXShortcutBar*>(this));
}
COLORREF COXShortcutBar::GetGroupTextColor(HSHBGROUP group) const {
    if (!IsGroup(group)) return static_cast<COLORREF>(-1);
    if (const auto* d = Descriptor(group, SHBIF_CLRTEXT)) return d->clrText;
    return const_cast<COXShortcutBar*>(this)->GetShortcutBarSkin()->GetTextColor(const_cast<COXShortcutBar*>(this));
}
COLORREF COXShortcutBar::GetGroupHeaderBkColor(HSHBGROUP group) const {
    if (!IsGroup(group)) return static_cast<COLORREF>(-1);
    if (const auto* d = Descriptor(group, SHBIF_HDRCLRBACK)) return d->clrHeaderBackground;
    return ::GetSysColor(COLOR_BTNFACE);
}
COLORREF COXShortcutBar::GetGroupHeaderTextColor(HSHBGROUP group) const {
    if (!IsGroup(group)) return static_cast<COLORREF>(-1);
    if (const auto* d = Descriptor(group, SHBIF_HDRCLRTEXT)) return d->clrHeaderText;
    return ::GetSysColor(COLOR_BTNTEXT);
}
UINT COXShortcutBar::GetGroupHeaderTextFormat(HSHBGROUP group) const {
    if (!IsGroup(group)) return static_cast<UINT>(-1);
    if (const auto* d = Descriptor(group, SHBIF_HDRTEXTFMT)) return d->nHeaderTextFormat;
    return DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
}
int COXShortcutBar::GetGroupHeaderHeight(HSHBGROUP group) const {
    if (!IsGroup(group)) return -1;
    if (const auto* d = Descriptor(group, SHBIF_HDRHEIGHT)) return d->nHeaderHeight;
    return const_cast<COXShortcutBar*>(this)->GetShortcutBarSkin()->GetType() == 2 ? 32 : 18;
}
BOOL COXShortcutBar::GetGroupTextFont(HSHBGROUP group, LOGFONTW* out) const {
    if (!IsGroup(group) || !out) return FALSE;
    if (const auto* d = Descriptor(group, SHBIF_FONT)) return (*out = d->lfText), TRUE;
    HWND child = GetGroupChildWnd(group);
    HFONT font = child ? reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)) : nullptr;
    return ::GetObjectW(font ? static_cast<HGDIOBJ>(font) : static_cast<HGDIOBJ>(m_font.GetSafeHandle()), sizeof(*out), out) != 0;
}
BOOL COXShortcutBar::GetGroupHeaderTextFont(HSHBGROUP group, LOGFONTW* out) const {
    if (!IsGroup(group) || !out) return FALSE;
    if (const auto* d = Descriptor(group, SHBIF_HDRFONT)) return (*out = d->lfHeader), TRUE;
    return m_font.GetLogFont(out);
}
CRect COXShortcutBar::GetGroupHeaderRect(HSHBGROUP group) const {
    const Group* g = Find(group);
    return g ? g->header : CRect();
}

// Settings -------------------------------------------------------------------------------------------------

void COXShortcutBar::SetImageList(HIMAGELIST images) {
    m_hImageList = images;
    if (m_hWnd) Invalidate(FALSE);
}
void COXShortcutBar::SetGroupMargin(int margin) {
    m_nGroupMargin = std::max(0, margin);
    if (m_hWnd) CalculateLayout(), RepositionExpanded(TRUE), Invalidate(FALSE);
}
void COXShortcutBar::SetChildMargins(const CRect& margins) {
    m_rectChildMargins = margins;
    if (m_hWnd) CalculateLayout(), RepositionExpanded(TRUE), Invalidate(FALSE);
}
void COXShortcutBar::SetTextMargin(int margin) {
    m_nTextMargin = std::max(0, margin);
    if (m_hWnd) Invalidate(FALSE);
}
void COXShortcutBar::SetScrollButtonSize(CSize size) {
    m_sizeScrollButton = size;
    for (auto& [handle, group] : m_groups) {
        if (group->list && group->list->m_hWnd) group->list->SendMessage(WM_SHB_BARCHANGED, 0, 0x20);
    }
}
