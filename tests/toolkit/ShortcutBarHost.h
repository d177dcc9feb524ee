// The shortcut-bar host: a top-level window filled by a shortcut bar of four
// groups ("Notes" in large icons, "Clips" with a long list in small icons,
// "Web" in large icons, "Calendar" holding a child window of the host's), the
// bar's owner logging every notification it receives and answering those a
// test asks it to refuse.
#pragma once
#include "ToolkitFixture.h"
#include "shortcutbar/SHBListCtrl.h"
#include "shortcutbar/ShortcutBar.h"

#include <map>
#include <vector>

struct LoggedNotify {
    UINT code;
    HSHBGROUP group;
    int item;
    CString text;  // for the codes that carry a text
};

class ShortcutHostWnd : public CWnd {
public:
    COXShortcutBar bar;
    std::vector<LoggedNotify> log;
    std::map<UINT, LRESULT> answers;  // what the owner answers per code (0 when not listed)
    int clipItems = 40;
    std::vector<UINT> commands;  // menu commands the window received

    BOOL Build(DWORD barStyle, CRect where = CRect(40, 40, 300, 620));
    // The codes logged since the last call, in order; empties the log.
    std::vector<UINT> TakeCodes();
    HSHBGROUP notes = nullptr, clips = nullptr, web = nullptr, calendar = nullptr;
    HWND calendarChild = nullptr;
    HIMAGELIST headerImages = nullptr, largeImages = nullptr, smallImages = nullptr;
    ShortcutHostWnd() { m_bOle = SUCCEEDED(OleInitialize(nullptr)); }  // drops need OLE, as in the program
    ~ShortcutHostWnd() override;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int cx, int cy);

private:
    bool m_bOle = false;
};

// Image lists of plain coloured squares with a dark frame, one colour per image.
HIMAGELIST MakeSquareImages(int size, int count);
// The colour of image `index` of MakeSquareImages.
COLORREF SquareColor(int index);
