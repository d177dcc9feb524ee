// CStatusBar: the system's status bar control as a control bar. Its panes
// are given by indicator ids: 0 is the stretching message pane, any other
// id takes its text from the string resource of that id and is sized to it.
// The caps, num and scroll lock panes show their text while the key is on.
#pragma once
#include "bars/ControlBar.h"

#include <vector>

inline constexpr UINT ID_INDICATOR_CAPS = 0xE701;
inline constexpr UINT ID_INDICATOR_NUM = 0xE702;
inline constexpr UINT ID_INDICATOR_SCRL = 0xE703;
inline constexpr UINT SBPS_NORMAL = 0x0000;
inline constexpr UINT SBPS_NOBORDERS = SBT_NOBORDERS;
inline constexpr UINT SBPS_POPOUT = SBT_POPOUT;
inline constexpr UINT SBPS_DISABLED = 0x04000000;
inline constexpr UINT SBPS_STRETCH = 0x08000000;
inline constexpr UINT SBPF_UPDATE = 0x0001;  // pane flag: its text was set without updating the control

class CStatusBar : public CControlBar {
public:
    virtual BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
    virtual BOOL SetIndicators(const UINT* ids, int count);
    int CommandToIndex(UINT id) const;
    UINT GetItemID(int index) const;
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    BOOL SetPaneText(int index, const wchar_t* text, BOOL update = TRUE);
    CString GetPaneText(int index) const;
    void GetPaneInfo(int index, UINT& id, UINT& style, int& width) const;
    void SetPaneInfo(int index, UINT id, UINT style, int width);
    void GetItemRect(int index, LPRECT rect) const;

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    void DoPaint(CDC*) override {}

protected:
    const MessageMap* GetMessageMap() const override;
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    // The control paints itself.
    void OnControlPaint() { Default(); }
    void OnNcPaint() {}
    // Hands the pane widths and texts to the control.
    virtual void UpdatePanes();

    struct Pane {
        UINT id = 0;
        UINT style = 0;
        int width = 0;
        UINT flags = 0;  // SBPF_UPDATE
        CString text;
    };
    std::vector<Pane> m_panes;
};
