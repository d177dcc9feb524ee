// CFontComboBox: the font-name box of the format toolbar. It lists the face
// names that the user picked last (the FontHot setting, newest first) and
// then the installed faces in order. The toolbar hosts it through
// COXCustomTBComboBox<CFontComboBox>, which creates its window as a plain
// drop-down box (neither owner-drawn nor sorted), so the system draws and
// orders the items: the box has no owner-draw operations and no glyph
// bitmap. The main window fills it once with FillFonts.
#pragma once
#include "controls/ComboBox.h"

#include <vector>

// One enumerated font.
struct FontRecord {
    CString faceName;
    CString script;            // the enumeration's script name, empty when it gives none
    BYTE charSet = 0;
    BYTE pitchAndFamily = 0;
    DWORD fontKind = 0;        // kPrinterFont, kTrueTypeFont, kDeviceFont bits; 0: screen font
};

inline constexpr DWORD kPrinterFont = 0x100;
inline constexpr DWORD kTrueTypeFont = 0x200;
inline constexpr DWORD kDeviceFont = 0x400;

// The box's items: the FontHot names in their order (empty parts left out),
// then the records' face names sorted by their units, without names that
// begin with '@' or have 18 characters or more, and, of a face enumerated
// more than once, only its records whose script is "Western" or empty.
std::vector<CString> BuildFontItems(const std::vector<FontRecord>& records, const CString& fontHot);

class CFontComboBox : public CComboBox {
public:
    // The screen's device context and the stock font that the application
    // made at start for its font boxes (CTarveloApp hands them over while it
    // lives; a null context takes them back). Without them, as in a program
    // of tests, each fill lists the screen's fonts on a device context of its
    // own and a new box takes DEFAULT_GUI_FONT.
    static void UseApplicationDefaults(HDC screen, int stockFont);

    // Enumerates the fonts of the printer's device context (none without a
    // handle) and the screen's for the character set and fills the list afresh.
    void FillFonts(HDC dc, BYTE charSet);
    // The selected item's text, or the box's text when none is selected.
    void GetCurrentText(CString& text) const;
    const std::vector<FontRecord>& Fonts() const { return m_fonts; }

    BOOL PreTranslateMessage(MSG* msg) override;

    // Used by the enumeration: keeps a font unless its character set is
    // MAC_CHARSET or, where double-byte character sets are on, its face is a
    // vertical one ('@').
    void AddFont(const LOGFONTW& font, DWORD fontKind, const CString& script);

protected:
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();

private:
    // The box alone owns its records; list items carry none.
    std::vector<FontRecord> m_fonts;
};
