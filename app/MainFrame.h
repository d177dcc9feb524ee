// CMainFrame: the program's one top-level window, a multiple-document frame
// loaded from resource 128 (menu, accelerators, icon, title "Tarvelo 2.3").
// It holds the page windows, the status bar and the tree bar with the
// folder tree of the bookmark folder, and runs the page and folder commands.
// Start-up creates it hidden, then places and shows it; closing it asks to
// save modified pages, then saves its placement to the Init section.
#pragma once
#include "bars/BitmapMenuOrganizer.h"
#include "bars/CoolToolBar.h"
#include "bars/StatusBar.h"
#include "gdi/DC.h"
#include "page/FontComboBox.h"
#include "gdi/ImageList.h"
#include "skins/SkinnedComboBox.h"
#include "tree/SizeBar.h"
#include "tree/TreeFiller.h"
#include "tree/XTreeCtrl.h"
#include "search/SearchRun.h"
#include "wnd/MDIFrameWnd.h"

class CDocTemplate;
class CTarveloDoc;
class CTarveloView;

inline constexpr UINT kStatusBarId = 59393;

class CMainFrame : public CMDIFrameWnd {
public:
    CMainFrame() = default;

    CSizeBar m_wndTreeBar;
    CImageList m_imageList;
    CXTreeCtrl m_wndTree;
    TreeFiller m_treeFiller;
    // The application's printer device context (no handle without a
    // printer): the font-name box lists its fonts beside the screen's.
    CDC m_printerDC;
    // The format toolbar's font-name and font-size boxes (made by the toolbar).
    COXCustomTBComboBox<CFontComboBox> m_fontNameBox;
    COXCustomTBComboBox<COXSkinnedComboBox> m_fontSizeBox;
    COXCoolToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    // Draws the menus with the toolbar's images.
    COXBitmapMenuOrganizer m_menuOrganizer;
    // The template of source documents (view-source command); set by the application.
    CDocTemplate* m_pSourceTemplate = nullptr;
    // Where the window is created (empty: the system's default place).
    CRect m_rectCreate;

    COXCoolToolBar& GetFormatToolBar() { return m_wndToolBar; }

    // The page and folder commands without their name dialog: each returns
    // whether the page or folder was made; `nameRefused` tells a refusal of
    // the name itself (bad, too long, taken), which the command asks again for.
    bool NewPage(const CString& name, bool* nameRefused = nullptr);
    bool NewFolder(const CString& name, bool* nameRefused = nullptr);
    // The folder item a new page or folder goes into: the selection, its
    // folder when it is a page, the root without selection.
    HTREEITEM TargetFolderItem() const;
    // Opens a page's source view (the page's own window closes first).
    void ViewSource(const CString& path);
    // The colour strip of a colour button as the custom-draw answer paints it,
    // for a drop-down arrow of the given width.
    static CRect ColorStripRect(const RECT& button, int arrowWidth);

    // Command handlers (also reached from the tree's menu helpers).
    void OnNewPage();
    void OnNewFolder();
    void OnDelete();
    void OnRename();
    void OnRefreshTree();
    void OnCloseAllAndReload();
    void OnViewSource();
    void OnShowOpenCount();
    void OnExportSelected();

    // Import and export (exchange/), search (search/) and the desktop tools (tools/).
    void OnImport();
    void OnExport();
    void OnSearch();
    // One press of "Find Next" (search/SearchRun).
    void RunSearch(const CString& keywords, const CString& scope, int regularExpression, int matchCase);
    // A page view has finished loading: when it shows the page the search
    // found last, its hits are marked. 0 for no view.
    int MarkFoundPage(CTarveloView* view);
    // The first page view of the application's documents, in the order of
    // their templates, documents and views; null when no page is open.
    CTarveloView* FindFirstPageView() const;
    void OnRestoreBackup();
    void OnRenewBackup();
    void OnClearWordRecentFiles();
    void OnClearExcelRecentFiles();
    void OnRestoreFavorites();
    void OnRestoreTypedUrls();
    void OnEmptyFavorites();
    void OnHideDrive();
    void OnSampleFormRecord();
    // The index marker of a page file: 1 indexed ("tq1"), 2 not indexed
    // ("tq0"), 0 for none or a file that cannot be read. The store's reader
    // (GetPageIndexFlag) does the reading; the import asks it here whether a
    // file is a page already. It needs no window, so it is static.
    static int GetPageMarker(const CString& path);
    // Brings a folder into the Allpages folder below the base folder's name.
    void ImportFolder(const CString& folder, const CString& base);
    // Shows an imported page or folder below the tree's root and selects it.
    void ShowImportedPath(const CString& path);
    // The page of the active page window, or of the tree's selected page; empty for none.
    CString ActivePagePath() const;
    CString SelectedPagePath() const;
    // The state of the search dialog's runs.
    CSearchRun m_search{*this};

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnClose();
    // The first child takes the whole client area; the format toolbar is
    // shown and docked at the top again, the tree bar at the left.
    void OnSize(UINT type, int cx, int cy);
    void OnLeftBar();
    void OnDockTreeBar();
    void OnMaximize();
    void OnMinimize();
    void OnViewStatusBar();
    void OnUpdateLeftBar(CCmdUI* cmdUI);
    void OnUpdateStatusBar(CCmdUI* cmdUI);
    void OnUpdateToolbarControl(CCmdUI* cmdUI);
    void OnBarCheckRange(UINT id);
    void OnToolbarCustomDraw(NMHDR* header, LRESULT* result);
    // The colour buttons (MainFrameColors.cpp): the drop-down picks the
    // active page's colour; the button applies it again.
    void OnToolbarDropDown(NMHDR* header, LRESULT* result);
    void OnColor();
    void OnHighLight();

private:
    void RefillTree(bool setUpAgain);
    // Docks the bar at the dock bar unless it is docked there already.
    void DockAgain(CControlBar& bar, UINT dockBarId);
    bool CreateToolBar();
    bool CreateStatusBar();
    void ApplyPageColour(bool text);
    // The active frame's document when it is a page document.
    CTarveloDoc* ActivePageDocument();
};

// The colour the colour pickers show as their "Default".
COLORREF GetPickerDefaultColor();
// Tells the folder tree that a page's document has closed (its open mark goes).
void NotifyPageClosed(const CString& path);
// Whether the folder tree marks the page open, and the mark given back to a
// page closed and opened again (its Refresh).
bool PageHasOpenMark(const CString& path);
void NotifyPageReopened(const CString& path);
// Shows a page file that was written beside the tree's own operations.
void NotifyPageAdded(const CString& path);
// The Allpages folder read without any message (an empty path when the
// install path is not set).
CString QuietAllpagesPath();
