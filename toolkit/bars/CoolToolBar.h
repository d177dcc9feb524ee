// COXCoolToolBar: the toolkit's toolbar. Over the framework's CToolBar it
// hosts real controls in button slots (custom buttons, registered once per
// process by command id), shows button texts from string resources or the
// main menu, carries twelve state colours for its skin, draws everything
// through the toolbar element skin, keeps its look and its button set in
// the profile, and answers the toolkit's OLE drag relay.
#pragma once
#include "bars/BarArchive.h"
#include "bars/CustomButton.h"
#include "bars/DragRelay.h"
#include "bars/ToolBar.h"
#include "skins/ToolbarSkin.h"

#include <map>
#include <memory>

class CMFCToolBar : public CToolBar {
public:
    // A bar made for docking starts at the top: CBRS_ALIGN_ANY becomes CBRS_TOP's alignment.
    BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  CRect borders = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR) override;
};

// The state colours, in the order of their profile keys.
enum OXTBColor {
    OXTB_DEFAULT_TEXT, OXTB_HOT_TEXT, OXTB_SELECTED_TEXT, OXTB_CHECKED_TEXT,
    OXTB_DEFAULT_BK, OXTB_HOT_BK, OXTB_SELECTED_BK, OXTB_CHECKED_BK,
    OXTB_DEFAULT_BORDER, OXTB_HOT_BORDER, OXTB_SELECTED_BORDER, OXTB_CHECKED_BORDER,
    OXTB_COLOR_COUNT
};
inline constexpr COLORREF kColorNotSet = 0xFF000000;  // CLR_DEFAULT: the look's own colour

// Notification of the bar to its owner: a command id and a value follow the header.
inline constexpr UINT OXTBN_COMMAND = 32899;
struct OXTBNOTIFY {
    NMHDR hdr;
    UINT nCommand;
    int nValue;
};

// The commands of a button's context menu in customise mode (each offered to the owner first).
inline constexpr UINT OXTB_CMD_DELETE = 32893;
inline constexpr UINT OXTB_CMD_PROPERTIES = 32894;
inline constexpr UINT OXTB_CMD_HIDETEXT = 32895;
inline constexpr UINT OXTB_CMD_SHOWTEXT = 32896;
inline constexpr UINT OXTB_CMD_SEPBEFORE = 32897;
inline constexpr UINT OXTB_CMD_SEPAFTER = 32898;

inline constexpr DWORD kComCtl471 = 0x40047;
inline constexpr DWORD kComCtl600 = 0x60000;

class COXCoolToolBar : public CMFCToolBar {
public:
    COXCoolToolBar();
    ~COXCoolToolBar() override;

    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR) override;
    BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  CRect borders = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR) override;
    // Stores the sides, gives the bar a dock context, remembers its owner.
    void EnableDocking(DWORD sides, BOOL second);
    void SetDragOffset(int x, int y) { m_ptDragOffset = CPoint(x, y); }
    // The bar's own drag, while the main window asks for the toolkit's docking (WM_QUERYSIZEDOCK):
    // pressed where it has no button, it follows the mouse onto size dock bars or floats.
    BOOL m_bOwnDragEnabled = TRUE;
    BOOL m_bOwnDragging = FALSE;
    // Starts the own drag with the mouse captured (also from a floating frame's caption).
    void BeginOwnDrag();
    CPoint GetDragOffset() const { return m_ptDragOffset; }

    // Styles and settings ------------------------------------------------------------
    void SetFlat(BOOL on = TRUE);
    BOOL IsFlat() const { return (GetStyle() & TBSTYLE_FLAT) != 0; }
    void SetList(BOOL on = TRUE);
    BOOL IsList() const { return (GetStyle() & TBSTYLE_LIST) != 0; }
    void SetGripper(BOOL on = TRUE);
    BOOL IsGripper() const { return (m_dwStyle & CBRS_GRIPPER) != 0; }
    void SetCool(BOOL on = TRUE) { m_bCool = on; }
    BOOL IsCool() const { return m_bCool; }
    void SetSeparator(BOOL on = TRUE) { m_bSeparator = on; }
    BOOL GetSeparator() const { return m_bSeparator; }
    void SetDropDownArrow(BOOL on = TRUE);
    BOOL IsDropDownArrow() const;
    void SetIndent(int indent);
    int GetIndent() const { return m_nIndent; }
    void SetButtonsMinMaxWidth(int minWidth, int maxWidth);
    void GetButtonsMinMaxWidth(int& minWidth, int& maxWidth) const { minWidth = m_nMinWidth; maxWidth = m_nMaxWidth; }
    void SetMaxTextRows(int rows) { SendMessage(TB_SETMAXTEXTROWS, static_cast<WPARAM>(rows)); }
    int GetTextRows() const { return static_cast<int>(SendMessage(TB_GETTEXTROWS)); }
    CSize GetButtonsSize() const { return GetButtonSize(); }
    void UpdateSizes();
    void SetButtonsSize(CSize image);
    void SetColor(OXTBColor which, COLORREF color) { m_colors[which] = color; }
    COLORREF GetColor(OXTBColor which) const { return m_colors[which]; }
    void SetDefaultTextColor(COLORREF c) { SetColor(OXTB_DEFAULT_TEXT, c); }
    void SetHotTextColor(COLORREF c) { SetColor(OXTB_HOT_TEXT, c); }
    void SetSelectedTextColor(COLORREF c) { SetColor(OXTB_SELECTED_TEXT, c); }
    void SetCheckedTextColor(COLORREF c) { SetColor(OXTB_CHECKED_TEXT, c); }
    void SetDefaultBkColor(COLORREF c) { SetColor(OXTB_DEFAULT_BK, c); }
    void SetHotBkColor(COLORREF c) { SetColor(OXTB_HOT_BK, c); }
    void SetSelectedBkColor(COLORREF c) { SetColor(OXTB_SELECTED_BK, c); }
    void SetCheckedBkColor(COLORREF c) { SetColor(OXTB_CHECKED_BK, c); }
    void SetDefaultBorderColor(COLORREF c) { SetColor(OXTB_DEFAULT_BORDER, c); }
    void SetHotBorderColor(COLORREF c) { SetColor(OXTB_HOT_BORDER, c); }
    void SetSelectedBorderColor(COLORREF c) { SetColor(OXTB_SELECTED_BORDER, c); }
    void SetCheckedBorderColor(COLORREF c) { SetColor(OXTB_CHECKED_BORDER, c); }
    COLORREF GetDefaultTextColor() const { return GetColor(OXTB_DEFAULT_TEXT); }
    COLORREF GetHotTextColor() const { return GetColor(OXTB_HOT_TEXT); }
    COLORREF GetSelectedTextColor() const { return GetColor(OXTB_SELECTED_TEXT); }
    COLORREF GetCheckedTextColor() const { return GetColor(OXTB_CHECKED_TEXT); }
    COLORREF GetDefaultBkColor() const { return GetColor(OXTB_DEFAULT_BK); }
    COLORREF GetHotBkColor() const { return GetColor(OXTB_HOT_BK); }
    COLORREF GetSelectedBkColor() const { return GetColor(OXTB_SELECTED_BK); }
    COLORREF GetCheckedBkColor() const { return GetColor(OXTB_CHECKED_BK); }
    COLORREF GetDefaultBorderColor() const { return GetColor(OXTB_DEFAULT_BORDER); }
    COLORREF GetHotBorderColor() const { return GetColor(OXTB_HOT_BORDER); }
    COLORREF GetSelectedBorderColor() const { return GetColor(OXTB_SELECTED_BORDER); }
    COLORREF GetCheckedBorderColor() const { return GetColor(OXTB_CHECKED_BORDER); }
    // Platform id 2 (NT) with major version 4 or more, read at construction.
    BOOL IsWindowsNT() const { return m_bWindowsNT; }
    // A small icon drawn in the non-client area, before the buttons (none: 0).
    void SetIcon(HICON icon);
    HICON GetIcon() const { return m_hIcon; }
    // Pictures of single commands, owned by the bar (deleted with it).
    void SetCommandBitmap(UINT id, HBITMAP bitmap);
    HBITMAP GetCommandBitmap(UINT id) const;
    void SetCommandImageList(UINT id, HIMAGELIST images);
    HIMAGELIST GetCommandImageList(UINT id) const;
    // Button texts: 0 the command's string up to its line feed, 1 after it, 2 the
    // main menu's item text up to its tab, 3 left as they are, 4 none.
    void SetTextType(int type) { SetTextType(0, 65535, type); }
    void SetTextType(UINT first, UINT last, int type);
    int GetTextType() const { return m_nTextType; }

    // Customisation ---------------------------------------------------------------------------
    void SetCustomizable(BOOL enable, BOOL advanced = FALSE);
    virtual BOOL IsCustomizable(BOOL advanced = FALSE) const;
    int GetCustomizedButton() const { return m_nCustomizedButton; }
    // The customise mode: buttons are selected and dragged instead of pressed.
    void SetCustomizeMode(BOOL on) { m_bCustomizeMode = on; }
    BOOL IsInCustomizeMode() const { return m_bCustomizeMode; }
    void SetCustomizedButton(int index);
    // A button's context menu of customisation commands at a screen point; FALSE when none was shown.
    virtual BOOL ShowCustomizeMenu(int index, int x, int y);
    // Runs one of OXTB_CMD_DELETE ... OXTB_CMD_SEPAFTER on the customised button unless the owner takes it.
    void OnCustomizeCommand(UINT command);
    // The commands the system customise dialog offers.
    void SetCustomizationList(const std::vector<UINT>& ids) { m_customizationList = ids; }
    void SetNotifyWnd(HWND wnd) { m_hNotifyWnd = wnd; }

    // Custom buttons (hosted controls) ------------------------------------------------------------
    static int MakeCustomButtonDescriptor(COXCustomTBButtonTemplate* control, UINT id, int width, int height,
                                          int flags = OXCBS_ALWAYS, int image = -1);
    static int AddCustomButton(const OXCUSTOMBUTTONDESCRIPTOR& descriptor);
    static BOOL UpdateCustomButton(int descriptorIndex, const OXCUSTOMBUTTONDESCRIPTOR& descriptor);
    static int FindCustomButtonIndex(UINT id);
    static BOOL GetRegisteredDescriptor(UINT id, OXCUSTOMBUTTONDESCRIPTOR& descriptor);
    static int GetRegisteredCount();
    static std::vector<UINT> RegisteredIds();
    BOOL SetCustomButton(int index, int descriptorIndex, DWORD style, DWORD exStyle, const wchar_t* className,
                         const wchar_t* text);
    BOOL InsertComboBox(int index, int descriptorIndex, DWORD style, DWORD exStyle = 0) {
        return SetCustomButton(index, descriptorIndex, style, exStyle, L"ComboBox", L"");
    }
    BOOL IsCustomButton(int index) const { return m_customButtons.count(index) != 0; }
    BOOL GetCustomButton(int index, OXCUSTOMBUTTONDESCRIPTOR& descriptor) const;
    // Gives the control hosted at the button index a new width and height (a
    // combo box's height is that of its dropped list) and places it again.
    BOOL ResizeCustomButton(int index, int width, int height);
    CWnd* GetCustomButtonWindow(int index) const;
    BOOL FindCustomControl(UINT controlId) const { return GetCustomControlIndex(controlId) != -1; }
    int GetCustomControlIndex(UINT controlId) const;
    CString GetHiddenButtonText(UINT id) const;
    BOOL PlaceCustomButton(int index);
    void PlaceCustomButtons(int first = 0, int last = -1);
    void UpdateCustomButtons(BOOL recalc = TRUE, BOOL frame = TRUE);

    // Buttons and notifications ------------------------------------------------------------------
    virtual BOOL DeleteButton(int index) { return SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index)) != 0; }
    // Redraws one button (and its hosted control); only 0 <= index < count.
    BOOL RedrawButton(int index);
    LRESULT NotifyOwner(UINT command, int value);
    int GetDropDownArrowWidth() const { return m_nDropDownArrowWidth; }
    static int MeasureDropDownArrowWidth();
    // The comctl32 version of the process, major << 16 | minor (0x40000 when unknown), probed on first use.
    static DWORD GetComCtlVersion();
    static HRESULT ProbeComCtlVersion(DWORD* major, DWORD* minor);
    virtual BOOL IsMenuBar() const { return FALSE; }
    int GetLastDropDownIndex() const { return m_nLastDropDown; }
    // The button whose drop-down menu is open, until the skin has drawn it so once (-1: none).
    int GetOpenDropDownIndex() const { return m_nOpenDropDown; }
    void ClearOpenDropDown() { m_nOpenDropDown = -1; }

    // Profile --------------------------------------------------------------------------------------
    virtual BOOL SaveBarState(const wchar_t* section, const wchar_t* name, BOOL properties = TRUE);
    virtual BOOL LoadBarState(const wchar_t* section, const wchar_t* name, BOOL properties = TRUE);
    // Applies a stored "Toolbars_CustomButtonsSettings" blob to the registered
    // controls; returns how many records it applied before the first it refused.
    static int ApplyCustomButtonSettings(const std::vector<BYTE>& bytes);

    // Drawing ---------------------------------------------------------------------------------------
    COXToolbarSkin* GetToolbarSkin();
    void DrawBorders(CDC* dc, CRect& rect) override;
    void DrawGripper(CDC* dc, const CRect& rect) override;
    virtual void DrawSeparator(CDC* dc, const CRect& rect);
    virtual void DrawFrame(CDC* dc, const CRect& rect);
    // The bar's icon in the non-client rectangle `window`; the rectangle then starts past it.
    virtual void DrawIcon(CDC* dc, CRect& window);
    void CalcInsideRect(CRect& rect, BOOL horz) const override;

    // Layout -----------------------------------------------------------------------------------------
    CSize CalcLayout(DWORD mode, int length = -1) override;
    CSize CalcSize(std::vector<TBBUTTON>& buttons) override;
    int WrappedSeparatorHeight(const TBBUTTON& separator) const override;
    // Breaks rows only at plain separators (command id 0), else before a button, never at a control's slot.
    int WrapToolBar(std::vector<TBBUTTON>& buttons, int width) override;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

    // Drag relay answers (advanced customisation only) ---------------------------------------------------
    COXSHBDropSource* GetDropSource() { return &m_dropSource; }
    COXSHBDropTarget* GetDropTarget() { return &m_dropTarget; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnNcPaint();
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    // Erases the non-client area (borders unless cool) through WM_ERASEBKGND in a window DC.
    virtual void EraseNonClient();
    // The room the icon takes: at the left of a horizontal bar, at the top of another.
    CRect IconMargins(BOOL horz) const;
    LRESULT OnEraseBkgnd(HDC dc);
    LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragEnter(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragOver(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrop(WPARAM wParam, LPARAM lParam);
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    // The bar's own answer to the toolbar-control messages that change its buttons.
    LRESULT TrackButtonMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyTextType();
    // Re-keys the hosted controls by their slots after the control moved buttons by itself.
    void FollowMovedCustomButtons();
    void PrepareLayoutButtons(std::vector<TBBUTTON>& buttons, DWORD mode) override;
    int ButtonWidth(const TBBUTTON& button) const override;
    bool PlacesHostedWindowItself(int index) const override { return IsCustomButton(index); }
    // Hosted controls are updated like buttons.
    bool IsUpdatedButton(int index, const TBBUTTON& button) const override {
        return !(button.fsStyle & TBSTYLE_SEP) || IsCustomButton(index);
    }
    void FinishCreate();
    bool IsPlainSeparator(int index) const;
    // Selecting and the context menu in customise mode; true when the message was handled.
    bool OnCustomizeMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Room a derived bar keeps in its non-client area (left, top, right, bottom), for the
    // orientation of `horz`; and its own drawing there, after the skin's.
    virtual CRect GetNonClientMargins(BOOL /*horz*/) const { return CRect(0, 0, 0, 0); }
    virtual void OnNcPaintDone(CDC*) {}
    virtual void OnFloatingChanged(BOOL) {}
    virtual void OnDockSideChanged(DWORD) {}
    BOOL CreateCustomControl(int descriptorIndex, OXCUSTOMBUTTONDESCRIPTOR& descriptor, DWORD style, DWORD exStyle,
                             const wchar_t* className);

    // Settings.
    BOOL m_bWindowsNT = TRUE;
    int m_nDropDownArrowWidth = 0;
    int m_nTextType = 3;
    // Set for a bar that a rebar hosts (no window of this program has one):
    // the non-client area, gripper and borders are then left to the rebar.
    BOOL m_bCool = FALSE;
    BOOL m_bSeparator = TRUE;
    BOOL m_bDropDownArrow = FALSE;
    int m_nIndent = 0;
    int m_nMinWidth = -1;
    int m_nMaxWidth = -1;
    COLORREF m_colors[OXTB_COLOR_COUNT];
    int m_nLastFloatState = 3;
    DWORD m_dwLastDockSide = static_cast<DWORD>(-1);
    int m_nCustomizedButton = -1;
    BOOL m_bAdvancedCustomizable = FALSE;
    BOOL m_bCustomizeMode = FALSE;
    HWND m_hNotifyWnd = nullptr;
    COXSHBDropSource m_dropSource;
    COXSHBDropTarget m_dropTarget;
    BOOL m_bDragOver = FALSE;      // an OLE drag is over the bar
    BOOL m_bDragOverKept = FALSE;  // raised by a bar that keeps the drag-over state when the drag leaves
    // The own drag's share of the mouse messages; true when it took the message.
    bool OnOwnDragMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void EndOwnDrag();
    int m_nInsertPosition = -1;
    BOOL m_bSecondDocking = FALSE;
    CPoint m_ptDragOffset;
    std::vector<UINT> m_customizationList;
    std::map<UINT, CString> m_hiddenTexts;                   // command id -> text it had before hiding
    std::map<int, OXCUSTOMBUTTONDESCRIPTOR> m_customButtons;  // button index -> hosted control
    // The controls this bar made as copies of controls of other bars (auto-deleting with their windows).
    BOOL m_bLoading = FALSE;      // while raised, UpdateCustomButtons does nothing
    BOOL m_bKeepEnds = FALSE;     // while raised, a deletion leaves the separators at the ends
    BOOL m_bInRecalc = FALSE;
    UINT m_nPending = 0;          // bit 0: re-place with relayout; bit 1: re-place
    int m_nLastDropDown = -1;
    int m_nOpenDropDown = -1;
    HICON m_hIcon = nullptr;
    HDC m_hNonClientEraseDC = nullptr;  // the window DC EraseNonClient hands to WM_ERASEBKGND
    CRect m_rectIcon;
    std::map<UINT, HBITMAP> m_bitmaps;         // command id -> bitmap, deleted with the bar
    std::map<UINT, HIMAGELIST> m_imageLists;   // command id -> image list, destroyed with the bar
    std::unique_ptr<COXToolbarSkin> m_pFallbackSkin;
};

// The update object the bar hands to its owner for each button.
class COXCoolToolBarCmdUI : public CCmdUI {
public:
    void Enable(BOOL on = TRUE) override;
    void SetCheck(int check = 1) override;
    void SetText(const wchar_t*) override {}

private:
    void SetState(BYTE clear, BYTE set);
};
