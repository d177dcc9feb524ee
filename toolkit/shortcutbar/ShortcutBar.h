// COXShortcutBar: a vertical bar of groups. Each group is a header button
// (image and text) over one child window, by default a COXSHBListCtrl the bar
// makes; one group is expanded at a time and its window fills the free room.
// The user expands groups by clicking or resting on a header, drags headers to
// reorder them, renames them in place and adds and deletes them from the
// context menu. Headers and background are drawn by the shortcut-bar skin;
// every decision is first offered to the owner (ShortcutBarNotify.h).
//
// Created with Create (the style flags given) or attached to an existing
// window with SubclassWindow (style flags SHBS_ATTACHDEFAULT).
#pragma once
#include "bars/DragRelay.h"
#include "gdi/GdiObject.h"
#include "shortcutbar/SHBEdit.h"
#include "shortcutbar/SHBInfoTip.h"
#include "shortcutbar/ShortcutBarNotify.h"
#include "skins/ShortcutBarSkin.h"

#include <map>
#include <memory>

class COXSHBListCtrl;
class CCmdUI;

// Style flags.
inline constexpr DWORD SHBS_DISABLEDRAGITEM = 0x0001;
inline constexpr DWORD SHBS_DISABLEDRAGDROP = 0x0002;
inline constexpr DWORD SHBS_EDITHEADERS = 0x0004;
inline constexpr DWORD SHBS_EDITITEMS = 0x0008;
inline constexpr DWORD SHBS_INFOTIP = 0x0010;
inline constexpr DWORD SHBS_NOSCROLL = 0x0020;
inline constexpr DWORD SHBS_BOLDEXPANDEDGROUP = 0x0040;  // the expanded group's header text is bold
inline constexpr DWORD SHBS_UNDERLINEHOTITEM = 0x0080;
inline constexpr DWORD SHBS_SHOWACTIVEALWAYS = 0x0100;
inline constexpr DWORD SHBS_DISABLEDRAGHEADER = 0x0200;
inline constexpr DWORD SHBS_DRAWHEADERDRAGIMAGE = 0x0400;
inline constexpr DWORD SHBS_DRAWITEMDRAGIMAGE = 0x0800;
inline constexpr DWORD SHBS_AUTOSCROLL = 0x1000;
inline constexpr DWORD SHBS_ANIMATEEXPAND = 0x2000;
inline constexpr DWORD SHBS_AUTOEXPAND = 0x4000;
inline constexpr DWORD SHBS_TRACKHEADERS = 0x8000;  // flat headers that follow the mouse
inline constexpr DWORD SHBS_ATTACHDEFAULT = 0x020F;

// Group-info mask bits.
inline constexpr UINT SHBIF_TEXT = 0x10000;
inline constexpr UINT SHBIF_IMAGE = 0x20000;
inline constexpr UINT SHBIF_IMAGEEXPANDED = 0x40000;
inline constexpr UINT SHBIF_PARAM = 0x80000;
inline constexpr UINT SHBIF_ORDER = 0x100000;
inline constexpr UINT SHBIF_VIEW = 0x200000;
inline constexpr UINT SHBIF_DESCRIPTOR = 0x400000;
inline constexpr UINT SHBIF_CHILDWND = 0x800000;
inline constexpr UINT SHBIF_ALL = 0xFF0000;

// Descriptor mask bits.
inline constexpr UINT SHBIF_CLRBACK = 0x01;
inline constexpr UINT SHBIF_CLRTEXT = 0x02;
inline constexpr UINT SHBIF_HDRCLRBACK = 0x04;
inline constexpr UINT SHBIF_HDRCLRTEXT = 0x08;
inline constexpr UINT SHBIF_HDRTEXTFMT = 0x10;
inline constexpr UINT SHBIF_FONT = 0x20;
inline constexpr UINT SHBIF_HDRFONT = 0x40;
inline constexpr UINT SHBIF_HDRHEIGHT = 0x80;

// Orders InsertGroup takes besides a position.
inline constexpr int SHBI_FIRST = -1;
inline constexpr int SHBI_LAST = -2;
inline constexpr int SHBI_SORT = -3;

inline constexpr int SHB_LARGEICON = 1;
inline constexpr int SHB_SMALLICON = 2;

// Hit codes.
inline constexpr int SHB_ONHEADER = 1;
inline constexpr int SHB_ONCHILD = 2;
inline constexpr int SHB_NOWHERE = 3;

// Commands of the context menu.
inline constexpr UINT SHB_IDMLARGEICON = 33014;
inline constexpr UINT SHB_IDMSMALLICON = 33015;
inline constexpr UINT SHB_IDMADDNEWGROUP = 33016;
inline constexpr UINT SHB_IDMREMOVEGROUP = 33017;
inline constexpr UINT SHB_IDMRENAMEGROUP = 33018;
inline constexpr UINT SHB_IDMREMOVEITEM = 33019;
inline constexpr UINT SHB_IDMRENAMEITEM = 33020;
// Their texts: string resources 26840-26846 of the program, else the built-in English ones.
CString ShortcutBarMenuText(UINT command);

typedef struct _tagSHB_DESCRIPTOR {
    COLORREF clrBackground = CLR_DEFAULT;
    COLORREF clrText = CLR_DEFAULT;
    COLORREF clrHeaderBackground = CLR_DEFAULT;
    COLORREF clrHeaderText = CLR_DEFAULT;
    UINT nHeaderTextFormat = 0;
    LOGFONTW lfText{};
    LOGFONTW lfHeader{};
    int nHeaderHeight = 0;
    UINT nMask = 0;
} SHB_DESCRIPTOR, *LPSHB_DESCRIPTOR;

typedef struct _tagSHB_GROUPINFO {
    _tagSHB_GROUPINFO() = default;
    _tagSHB_GROUPINFO(const _tagSHB_GROUPINFO& other) { *this = other; }
    _tagSHB_GROUPINFO& operator=(const _tagSHB_GROUPINFO& other);
    ~_tagSHB_GROUPINFO() { Reset(); }
    // Frees an owned text and clears every field.
    void Reset();
    // Copies `text` (its own length, at most `max` characters when max >= 0, reading nothing past
    // them) into storage the record owns.
    void SetText(const wchar_t* text, int max = -1);

    LPWSTR pszText = nullptr;
    int nTextMax = 0;
    int nImage = -1;
    int nImageExpanded = -1;
    LPARAM lParam = 0;
    int nOrder = 0;
    int nView = 0;
    LPSHB_DESCRIPTOR pDescriptor = nullptr;
    HWND hwndChild = nullptr;
    UINT nMask = 0;
    BOOL bOwnsText = FALSE;
} SHB_GROUPINFO, *LPSHB_GROUPINFO;

#if !defined(_WIN64)
static_assert(sizeof(SHB_DESCRIPTOR) == 212, "descriptor: four colours, format, two fonts, height, mask");
static_assert(sizeof(SHB_GROUPINFO) == 44, "group record: ten fields and the text-owned flag");
#endif

class COXShortcutBar : public CWnd {
public:
    COXShortcutBar();
    ~COXShortcutBar() override;

    BOOL Create(CWnd* parent, const RECT& rect, DWORD barStyle = SHBS_ATTACHDEFAULT, UINT id = 0xFFFF,
                DWORD windowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, DWORD exStyle = 0);

    // Overridables ----------------------------------------------------------------------------------
    virtual HIMAGELIST CreateGroupDragImage(HSHBGROUP group);
    virtual void DrawHeader(LPDRAWITEMSTRUCT dis);
    virtual void FillBackground(CDC* dc);
    virtual BOOL CreateEditControl();
    virtual BOOL CreateGroupList(HSHBGROUP group);
    virtual std::unique_ptr<COXSHBListCtrl> NewGroupListCtrl();
    virtual void CalculateLayout();
    virtual HSHBGROUP NewGroupHandle() { return reinterpret_cast<HSHBGROUP>(++m_nLastHandle); }
    virtual BOOL CompareGroupInfo(const SHB_GROUPINFO* a, const SHB_GROUPINFO* b) const;
    virtual COleDropTarget* GetDropTarget();
    virtual LRESULT OnDragOver(WPARAM, LPARAM relay);
    virtual LRESULT OnDragLeave(WPARAM, LPARAM relay);

    // Groups ---------------------------------------------------------------------------------------------
    HSHBGROUP InsertGroup(const SHB_GROUPINFO* info);
    BOOL DeleteGroup(HSHBGROUP group);
    BOOL DeleteAllGroups();
    BOOL SetGroupInfo(HSHBGROUP group, const SHB_GROUPINFO* info, BOOL reset = FALSE);
    BOOL GetGroupInfo(HSHBGROUP group, SHB_GROUPINFO* out) const;
    BOOL SetGroupText(HSHBGROUP group, const wchar_t* text);
    BOOL SetGroupImage(HSHBGROUP group, int image);
    BOOL SetGroupImageExpanded(HSHBGROUP group, int image);
    BOOL SetGroupOrder(HSHBGROUP group, int order);
    BOOL SetGroupView(HSHBGROUP group, int view);
    BOOL SetGroupDescriptor(HSHBGROUP group, const SHB_DESCRIPTOR* descriptor);
    BOOL SetGroupBkColor(HSHBGROUP group, COLORREF color);
    BOOL SetGroupTextColor(HSHBGROUP group, COLORREF color);
    BOOL SetGroupHeaderBkColor(HSHBGROUP group, COLORREF color);
    BOOL SetGroupHeaderHeight(HSHBGROUP group, int height);
    BOOL SetGroupChildWnd(HSHBGROUP group, HWND child);

    int GetGroupCount() const { return static_cast<int>(m_groups.size()); }
    CString GetGroupText(HSHBGROUP group) const;
    int GetGroupImage(HSHBGROUP group) const;
    int GetGroupImageExpanded(HSHBGROUP group) const;
    int GetGroupOrder(HSHBGROUP group) const;
    int GetGroupView(HSHBGROUP group) const;
    LPARAM GetGroupData(HSHBGROUP group) const;
    HWND GetGroupChildWnd(HSHBGROUP group) const;
    COXSHBListCtrl* GetGroupListCtrl(HSHBGROUP group) const;
    COLORREF GetGroupBkColor(HSHBGROUP group) const;
    COLORREF GetGroupTextColor(HSHBGROUP group) const;
    COLORREF GetGroupHeaderBkColor(HSHBGROUP group) const;
    COLORREF GetGroupHeaderTextColor(HSHBGROUP group) const;
    UINT GetGroupHeaderTextFormat(HSHBGROUP group) const;
    int GetGroupHeaderHeight(HSHBGROUP group) const;
    BOOL GetGroupTextFont(HSHBGROUP group, LOGFONTW* out) const;
    BOOL GetGroupHeaderTextFont(HSHBGROUP group, LOGFONTW* out) const;
    // Whether the group's descriptor sets its own list background.
    BOOL HasGroupBkColor(HSHBGROUP group) const;
    CRect GetGroupHeaderRect(HSHBGROUP group) const;

    HSHBGROUP FindGroup(const SHB_GROUPINFO* info) const;
    HSHBGROUP FindGroupByOrder(int order) const;
    HSHBGROUP FindGroupByHandle(HWND child) const;
    BOOL IsGroup(HSHBGROUP group) const { return m_groups.count(group) != 0; }

    HSHBGROUP ExpandGroup(HSHBGROUP group);
    HSHBGROUP GetExpandedGroup() const { return m_hExpandedGroup; }
    using CompareProc = int (*)(HSHBGROUP a, HSHBGROUP b, LPARAM context, const COXShortcutBar* bar);
    BOOL SortGroups(CompareProc compare, LPARAM context, int direction);
    BOOL SortGroupsByText(int direction);
    BOOL EditGroupHeader(HSHBGROUP group);
    BOOL EditItemLabel(HSHBGROUP group, int item);
    HSHBGROUP HitTest(CPoint point, int* kind) const;

    // Settings -------------------------------------------------------------------------------------------
    DWORD GetBarStyle() const { return m_dwBarStyle; }
    void SetBarStyle(DWORD style) { m_dwBarStyle = style; }
    HIMAGELIST GetImageList() const { return m_hImageList; }
    void SetImageList(HIMAGELIST images);
    int GetGroupMargin() const { return m_nGroupMargin; }
    void SetGroupMargin(int margin);
    CRect GetChildMargins() const { return m_rectChildMargins; }
    void SetChildMargins(const CRect& margins);
    int GetTextMargin() const { return m_nTextMargin; }
    void SetTextMargin(int margin);
    CSize GetScrollButtonSize() const { return m_sizeScrollButton; }
    void SetScrollButtonSize(CSize size);
    UINT GetScrollingDelay() const { return m_nScrollingDelay; }
    UINT GetAutoScrollingDelay() const { return m_nAutoScrollingDelay; }
    UINT GetAutoExpandDelay() const { return m_nAutoExpandDelay; }
    void SetScrollingDelay(UINT ms) { m_nScrollingDelay = ms; }
    void SetAutoScrollingDelay(UINT ms) { m_nAutoScrollingDelay = ms; }
    void SetAutoExpandDelay(UINT ms) { m_nAutoExpandDelay = ms; }
    HFONT GetDefaultFont() const { return m_font; }
    COXSHBEdit& GetEditControl() { return m_edit; }
    CRect GetChildWndRect() const { return m_rectChild; }

    // What the skins read ----------------------------------------------------------------------------
    COXShortcutBarSkin* GetShortcutBarSkin();
    HSHBGROUP GetHotGroup() const { return m_hHotGroup; }
    HSHBGROUP GetPressedGroup() const { return m_hPressedGroup; }
    HSHBGROUP GetDraggedGroup() const { return m_hDragGroup; }
    HSHBGROUP GetEditedGroup() const { return m_hEditGroup; }
    // The header a dragged header or OLE object would land on (drop marker), 0 when none.
    HSHBGROUP GetDropTargetGroup() const { return m_hDropHeader ? m_hDropHeader : (m_bOleDragOver ? m_hHoverGroup : nullptr); }
    // Set while the bar draws a header drag image: headers then draw plain, without tracking.
    BOOL IsFlatHeaders() const { return m_bDrawingDragImage; }

    static constexpr int kStepPixels = 20;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnCmdMsg(CommandCall& call) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // A window attached with SubclassWindow takes the style flags SHBS_ATTACHDEFAULT and is
    // initialised as a created one.
    void PreSubclassWindow() override;
    // The attach initialisation: the edit, tooltips, the hot-header timer, the drop target.
    BOOL Initialise();

    void OnPaint();
    LRESULT OnEraseBkgnd(HDC) { return TRUE; }
    LRESULT OnNcHitTest(WPARAM, LPARAM) { return HTCLIENT; }
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    LRESULT OnContextMenu(WPARAM, LPARAM);
    void OnDestroy();
    LRESULT OnCtlColorEdit(WPARAM, LPARAM);
    LRESULT OnEditEnded(SHBNotifyInfo* info);
    void OnLargeIcon();
    void OnSmallIcon();
    void OnAddNewGroup();
    void OnRemoveGroup();
    void OnRenameGroup();
    void OnRemoveItem();
    void OnRenameItem();
    void OnUpdateLargeIcon(CCmdUI* ui);
    void OnUpdateSmallIcon(CCmdUI* ui);

private:
    struct Group {
        SHB_GROUPINFO info;
        std::unique_ptr<COXSHBListCtrl> list;  // when the bar made the group's window
        std::shared_ptr<SHB_DESCRIPTOR> descriptor;  // info.pDescriptor points here
        CRect header;
    };
    Group* Find(HSHBGROUP group) const;
    LRESULT Notify(UINT code, HSHBGROUP group, LPARAM lParam = 0, int item = -1) { return SendShortcutBarNotify(this, code, group, item, lParam); }
    BOOL ValidateGroupInfo(const SHB_GROUPINFO* info, BOOL inserting) const;
    BOOL MergeGroupInfo(Group& group, const SHB_GROUPINFO* info);
    BOOL GiveGroupWindow(HSHBGROUP handle, Group& group);
    void PlaceByOrder(Group& group, int order);
    void RepositionExpanded(BOOL repaint);
    void Animate(HSHBGROUP from, HSHBGROUP to);
    void RedrawHeader(HSHBGROUP group);
    void ReleasePressedHeader();
    void SetHotGroup(HSHBGROUP group);
    void StopHoverTimer();
    void BeginHeaderDrag();
    void TrackHeaderDrag(CPoint point);
    void EndHeaderDrag();
    void PaintHeader(CDC* target, HSHBGROUP group);
    // The draw record of a header painted at (0, 0) of `dc`.
    DRAWITEMSTRUCT HeaderDrawRecord(HSHBGROUP group, HDC dc, CSize size) const;
    const SHB_DESCRIPTOR* Descriptor(HSHBGROUP group, UINT bit) const;

    HIMAGELIST m_hImageList = nullptr;
    HSHBGROUP m_hDropHeader = nullptr;
    HSHBGROUP m_hExpandedGroup = nullptr;
    HSHBGROUP m_hEditGroup = nullptr;
    HSHBGROUP m_hContextGroup = nullptr;
    HSHBGROUP m_hDragGroup = nullptr;
    HSHBGROUP m_hPressedGroup = nullptr;
    int m_nSortOrder = 0;
    DWORD m_dwBarStyle = 0;
    COXSHBEdit m_edit;
    std::map<HSHBGROUP, std::unique_ptr<Group>> m_groups;
    CRect m_rectChild;
    int m_nGroupMargin = 0;
    CRect m_rectChildMargins{5, 5, 5, 5};
    int m_nTextMargin = 2;
    CSize m_sizeScrollButton{16, 16};
    UINT m_nScrollingDelay = 200;
    UINT m_nAutoScrollingDelay = 400;
    UINT m_nAutoExpandDelay = 800;
    COXSHBDropTarget m_dropTarget;
    COleDropTarget* m_pRegisteredTarget = nullptr;
    UINT_PTR m_nLastHandle = 0;
    BOOL m_bDrawingDragImage = FALSE;
    CFont m_font;
    HIMAGELIST m_hDragImage = nullptr;
    CPoint m_ptDragOffset;
    HSHBGROUP m_hPressGroup = nullptr;   // the header pressed for a possible drag
    BOOL m_bPressTimerRunning = FALSE;
    HSHBGROUP m_hHoverGroup = nullptr;  // pending hover-expand
    DWORD m_dwHoverStart = 0;
    HSHBGROUP m_hHotGroup = nullptr;
    BOOL m_bOleDragOver = FALSE;
    std::unique_ptr<COXShortcutBarSkin> m_pFallbackSkin;
    SHBInfoTip m_infoTip;

    static constexpr UINT_PTR kPressTimer = 2;
    static constexpr UINT_PTR kHoverTimer = 3;
    static constexpr UINT_PTR kHotTimer = 4;
};
