// COXFontListBox: the extended list box filled with the display's fonts, each
// face name drawn in its own typeface (symbol faces in brackets, in the
// list's own font), TrueType faces marked by an image, the names in
// alphabetical order below the most-recently-used block.
// COXFontListBoxHelper is the one that serves as a font combo box's drop-down
// list and lets that combo box choose which fonts are listed.
#pragma once
#include "lists/ListBoxEx.h"

#include <functional>
#include <vector>

// One listed font: as enumerated, with the list's preview height and width 0.
struct _tagOXLBFONTINFO {
    LOGFONTW lf{};
    DWORD dwType = 0;  // RASTER_FONTTYPE, DEVICE_FONTTYPE, TRUETYPE_FONTTYPE
    BOOL bSymbol = FALSE;
};
using OXLBFONTINFO = _tagOXLBFONTINFO;

class COXFontComboBox;

class COXFontListBox : public COXListBoxEx {
public:
    COXFontListBox();
    ~COXFontListBox() override;

    // Refills the list from the fonts of the display.
    BOOL FillFontList();
    // Deletes every font the list made for its items.
    void FreeFonts();
    virtual CDC* GetFontDC() const { return m_pFontDC; }
    virtual int GetPreviewFontHeight() const { return m_nPreviewFontHeight; }
    void SetPreviewFontHeight(int height) { m_nPreviewFontHeight = height; }
    // Whether a font is listed (all of them here).
    virtual BOOL AcceptFont(const OXLBFONTINFO& font);
    // Whether a face is shown as a symbol face: the symbol character set, or a name that says so.
    static BOOL IsSymbolFace(const LOGFONTW& font);
    const std::vector<OXLBFONTINFO>& GetFonts() const { return m_fonts; }
    // The font record behind an item font the list made, or null.
    const OXLBFONTINFO* FontInfoOf(CFont* font) const;

    void GetItemTextSize(int index, int& width, int& height) override;
    int AddItemInOrder(const wchar_t* text, UINT mask, const OXLISTBOXITEM* item) override;
    BOOL InitializeListBox() override;
    void DrawItemText(CDC* dc, const CString& text, const CRect& rect, COLORREF color, CFont* font) override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

    using FontSink = std::function<void(const LOGFONTW&, DWORD type)>;

protected:
    // Hands every face of the device context to `sink` (EnumFontsW).
    virtual void EnumerateFonts(HDC dc, const FontSink& sink);
    // Makes the font a face's item is drawn in; FALSE leaves the face out of the list.
    virtual BOOL MakeItemFont(CFont& font, const LOGFONTW& lf) { return font.CreateFontIndirect(&lf); }
    // The device context fonts are enumerated on: the screen's, else a display DC of the list's own.
    HDC AcquireFontDC(bool& release);
    // The text an item shows and the font it is measured and drawn in.
    CString ShownText(const CString& text, CFont*& font) const;

    std::vector<OXLBFONTINFO> m_fonts;
    std::vector<std::unique_ptr<CFont>> m_ownedFonts;
    std::map<CFont*, int> m_fontMap;
    int m_nPreviewFontHeight = -16;
    CDC* m_pFontDC = nullptr;
    CDC m_displayDC;
    CImageList m_images;
};

class COXFontListBoxHelper : public COXFontListBox {
public:
    COXFontListBoxHelper();
    void SetFontComboBox(COXFontComboBox* combo) { m_pFontCombo = combo; }
    COXFontComboBox* GetFontComboBox() const { return m_pFontCombo; }
    BOOL InitializeListBox() override;
    BOOL AcceptFont(const OXLBFONTINFO& font) override;

private:
    COXFontComboBox* m_pFontCombo = nullptr;
};
