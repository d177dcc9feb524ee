#include "gdi/GdiObject.h"

#include "gdi/DC.h"

#include <cstdlib>

BOOL CFont::CreatePointFont(int tenthsOfPoint, const wchar_t* face, CDC* dc) {
    HDC screen = dc ? dc->m_hDC : ::GetDC(nullptr);
    // Points to device pixels the way the framework always did: through the DC's mapping.
    POINT height{0, ::MulDiv(std::abs(tenthsOfPoint), ::GetDeviceCaps(screen, LOGPIXELSY), 720)};
    if (dc) ::DPtoLP(screen, &height, 1);
    if (!dc) ::ReleaseDC(nullptr, screen);
    LOGFONTW font{};
    font.lfHeight = -std::abs(height.y);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, face ? face : L"", LF_FACESIZE);
    return CreateFontIndirect(&font);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}
