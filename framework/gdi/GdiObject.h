// GDI objects owned by a C++ object: the handle is deleted with it.
#pragma once
#include "core/String.h"

#include <windows.h>

class CDC;

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object) {
        if (m_hObject || !object) return FALSE;
        m_hObject = object;
        return TRUE;
    }
    HGDIOBJ Detach() {
        HGDIOBJ object = m_hObject;
        m_hObject = nullptr;
        return object;
    }
    BOOL DeleteObject() {
        if (!m_hObject) return FALSE;
        ::DeleteObject(m_hObject);
        m_hObject = nullptr;
        return TRUE;
    }
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
    BOOL CreateSysColorBrush(int index) { return Attach(::CreateSolidBrush(::GetSysColor(index))); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTW* font) { return Attach(::CreateFontIndirectW(font)); }
    // Height in tenths of a point on the device (the screen when none); the
    // sign of the size does not matter.
    BOOL CreatePointFont(int tenthsOfPoint, const wchar_t* face, CDC* dc = nullptr);
    BOOL GetLogFont(LOGFONTW* font) const { return m_hObject && ::GetObjectW(m_hObject, sizeof(*font), font) != 0; }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT resourceId) {
        return Attach(::LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BITMAP GetBitmapInfo() const {
        BITMAP info{};
        if (m_hObject) ::GetObjectW(m_hObject, sizeof(info), &info);
        return info;
    }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};
