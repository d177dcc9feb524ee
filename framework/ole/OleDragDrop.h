// OLE drag and drop for windows: COleDropTarget registers a window as a
// drop target and turns the IDropTarget calls into virtual functions in the
// window's client coordinates (with drag-scrolling near the edges);
// COleDropSource answers IDropSource; COleDataObject holds the data object
// of the drag under way.
#pragma once
#include "wnd/Wnd.h"

#include <ole2.h>

#include <memory>

// The drop effect flags (DROPEFFECT_*) of a drag.
using DROPEFFECT = DWORD;

class COleDataObject {
public:
    COleDataObject() = default;
    ~COleDataObject() { Release(); }
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    void Attach(IDataObject* data, BOOL autoRelease = TRUE);
    void Release();
    IDataObject* GetIDataObject() const { return m_lpDataObject; }
    BOOL IsDataAvailable(CLIPFORMAT format) const;

private:
    IDataObject* m_lpDataObject = nullptr;
    BOOL m_bAutoRelease = TRUE;
};

inline constexpr int kDragScrollInset = 11;
inline constexpr UINT kDragScrollDelay = 50;
inline constexpr UINT kDragScrollInterval = 50;

class COleDropTarget {
public:
    COleDropTarget();
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    BOOL Register(CWnd* wnd);
    void Revoke();
    CWnd* GetWindow() const { return m_pWnd; }

    virtual DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    virtual void OnDragLeave(CWnd* wnd);
    virtual BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point);
    // (DROPEFFECT)-1: not handled here, the plain OnDrop is asked.
    virtual DROPEFFECT OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT defaultEffect, DROPEFFECT list, CPoint point);
    // Scrolls a view near its edges; other windows do not scroll.
    virtual DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point);

    // The drag under way, as the scroll handling keeps it.
    IDataObject* m_lpDataObject = nullptr;
    int m_nTimerID = 0xFFFF;  // the last scroll code; 0xFFFF: not scrolling
    DWORD m_dwLastTick = 0;
    UINT m_nScrollDelay = kDragScrollDelay;

private:
    class Interface;
    friend class Interface;
    std::unique_ptr<Interface> m_pInterface;
    CWnd* m_pWnd = nullptr;
};

class COleDropSource {
public:
    COleDropSource();
    virtual ~COleDropSource();
    COleDropSource(const COleDropSource&) = delete;
    COleDropSource& operator=(const COleDropSource&) = delete;

    virtual SCODE QueryContinueDrag(BOOL escapePressed, DWORD keyState);
    virtual SCODE GiveFeedback(DROPEFFECT effect);
    virtual BOOL OnBeginDrag(CWnd* wnd);

    // Runs a drag of `data` from `wnd` with this source; the effect the target chose.
    DROPEFFECT DoDragDrop(CWnd* wnd, IDataObject* data, DROPEFFECT allowed);
    IDropSource* GetInterface();

private:
    class Interface;
    std::unique_ptr<Interface> m_pInterface;
};
