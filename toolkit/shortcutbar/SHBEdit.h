// COXSHBEdit: the edit the shortcut bar opens over a group header and a group
// list over an item label. The caller describes one edit in an SHBEditInfo;
// the window is made again for every edit (so any edit style applies), grows
// with its text within given bounds, keeps the mouse while open (a click
// elsewhere accepts the edit and goes on to where it was aimed) and tells its
// parent how it ended with SHBN_ENDEDIT (accepted or cancelled).
#pragma once
#include "controls/Edit.h"
#include "gdi/GdiObject.h"
#include "shortcutbar/ShortcutBarNotify.h"

#include <memory>

inline constexpr UINT SHBEIF_TEXT = 0x001;
inline constexpr UINT SHBEIF_RECTDISPLAY = 0x002;
inline constexpr UINT SHBEIF_RECTMAX = 0x004;
inline constexpr UINT SHBEIF_STYLE = 0x008;
inline constexpr UINT SHBEIF_ENLARGE = 0x010;
inline constexpr UINT SHBEIF_SELRANGE = 0x020;
inline constexpr UINT SHBEIF_FONT = 0x040;
inline constexpr UINT SHBEIF_RECTMIN = 0x080;
inline constexpr UINT SHBEIF_CLRTEXT = 0x100;
inline constexpr UINT SHBEIF_CLRBACK = 0x200;

struct SHBEditInfo {
    LPCWSTR pszText;
    RECT rectDisplay;
    RECT rectMax;
    DWORD dwStyle;
    BOOL bEnlargeAsTyping;
    int nTextSelStart;
    int nTextSelEnd;
    HFONT hFont;
    RECT rectMin;
    COLORREF clrText;
    COLORREF clrBackground;
    UINT nMask;
};
#if !defined(_WIN64)
static_assert(sizeof(SHBEditInfo) == 21 * 4, "edit record: 21 32-bit words");
#endif

class COXSHBEdit : public CEdit {
public:
    COXSHBEdit();
    ~COXSHBEdit() override;

    // Opens an edit as the record says (null: as the window stands); FALSE for a record
    // that does not hold together or a window that cannot be made.
    virtual BOOL StartEdit(const SHBEditInfo* info);
    virtual void EndEdit(BOOL accept);
    BOOL IsEditing() const { return m_bEditing; }
    // Whether the record holds together for this window.
    BOOL ValidateEditInfo(const SHBEditInfo* info) const;
    // The parent's WM_CTLCOLOREDIT for this edit: colours set, the background brush.
    HBRUSH OnCtlColor(HDC dc);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // Routes a mouse message outside the client area to the window under it.
    BOOL RouteMouseOutside(UINT message, LPARAM lParam);
    void Grow();

    std::unique_ptr<SHBEditInfo> m_pInfo;
    CString m_strText;  // the record's text, kept while the edit is open
    CFont m_font;
    CBrush m_brush;
    BOOL m_bEditing = FALSE;
};
