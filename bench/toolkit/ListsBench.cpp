// Lists benchmark: median and 99th percentile of
//  - filling the font list box with every font of the display (enumerating,
//    sorting, one font per face, the faces in view measured);
//  - filling it with 500 faces from a font source of the benchmark's own
//    (names the font mapper does not know, so each maps to a stand-in), and
//    with 500 real faces (Tahoma's data added to the process under 500 names);
//  - one step of the status bar's progress pane that changes its percentage,
//    painted, and a step that changes nothing.
// Beside them, baselines that do the same window work without any of our code:
// a bare owner-drawn list box in a bare window, the platform's own cost of
// selecting and measuring every made face, and a bare status bar with a bare
// progress control.
// Goals: a fill under 100 ms, a progress step under 2 ms. Run under Wine on a display.
#include "BenchTiming.h"
#include "BenchWindows.h"
#include "bars/SkinnedStatusBar.h"
#include "lists/FontListBox.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "wnd/FrameWnd.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using bench::Measure;
using bench::Pump;

constexpr int kMadeFaces = 500;

void MadeFaceName(int i, wchar_t* face) { swprintf(face, LF_FACESIZE, L"Made Face %03d", (i * 7919) % kMadeFaces); }

class MadeFonts : public COXFontListBox {
protected:
    void EnumerateFonts(HDC, const FontSink& sink) override {
        for (int i = 0; i < kMadeFaces; ++i) {
            LOGFONTW lf{};
            MadeFaceName(i, lf.lfFaceName);
            lf.lfCharSet = ANSI_CHARSET;
            sink(lf, i % 3 ? TRUETYPE_FONTTYPE : RASTER_FONTTYPE);
        }
    }
};

// 500 real faces, as a user with 500 installed fonts has: the display's Tahoma, copied under
// 500 names of its own (a name table of our own in each copy) and added to the process with
// AddFontMemResourceEx. Empty when Tahoma's data cannot be had.
class RealFaces {
public:
    RealFaces() {
        const std::vector<BYTE> tahoma = FontFile(L"Tahoma");
        if (tahoma.size() < 12) return;
        for (int i = 0; i < kMadeFaces; ++i) {
            wchar_t face[LF_FACESIZE];
            Name(i, face);
            std::vector<BYTE> copy = Renamed(tahoma, face);
            DWORD added = 0;
            if (copy.empty()) return;
            if (HANDLE handle = ::AddFontMemResourceEx(copy.data(), static_cast<DWORD>(copy.size()), nullptr, &added))
                m_handles.push_back(handle);
        }
    }
    ~RealFaces() {
        for (HANDLE handle : m_handles) ::RemoveFontMemResourceEx(handle);
    }
    int Count() const { return static_cast<int>(m_handles.size()); }
    static void Name(int i, wchar_t* face) { swprintf(face, LF_FACESIZE, L"Real Face %03d", (i * 7919) % kMadeFaces); }

private:
    static std::vector<BYTE> FontFile(const wchar_t* face) {
        std::vector<BYTE> data;
        LOGFONTW lf{};
        lf.lfHeight = -16;
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        HFONT font = ::CreateFontIndirectW(&lf);
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, font);
        const DWORD size = ::GetFontData(dc, 0, 0, nullptr, 0);
        if (size != GDI_ERROR && size > 0) {
            data.resize(size);
            if (::GetFontData(dc, 0, 0, data.data(), size) != size) data.clear();
        }
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        ::DeleteObject(font);
        return data;
    }
    static DWORD Read32(const std::vector<BYTE>& d, size_t at) {
        return static_cast<DWORD>(d[at]) << 24 | static_cast<DWORD>(d[at + 1]) << 16 | static_cast<DWORD>(d[at + 2]) << 8 | d[at + 3];
    }
    static void Put16(std::vector<BYTE>& d, unsigned value) {
        d.push_back(static_cast<BYTE>(value >> 8));
        d.push_back(static_cast<BYTE>(value));
    }
    static void Write32(std::vector<BYTE>& d, size_t at, DWORD value) {
        for (int i = 0; i < 4; ++i) d[at + i] = static_cast<BYTE>(value >> (24 - 8 * i));
    }
    // A Windows-platform name table: family, style, full name and PostScript name.
    static std::vector<BYTE> NameTable(const wchar_t* face) {
        std::wstring postscript;
        for (const wchar_t* c = face; *c; ++c)
            if (*c != L' ') postscript += *c;
        const std::wstring strings[] = {face, L"Regular", face, postscript};
        const unsigned ids[] = {1, 2, 4, 6};
        std::vector<BYTE> table;
        Put16(table, 0);
        Put16(table, 4);
        Put16(table, 6 + 12 * 4);
        unsigned offset = 0;
        for (int i = 0; i < 4; ++i) {
            for (unsigned field : {3u, 1u, 0x409u, ids[i], static_cast<unsigned>(strings[i].size() * 2), offset}) Put16(table, field);
            offset += static_cast<unsigned>(strings[i].size() * 2);
        }
        for (const std::wstring& text : strings)
            for (wchar_t c : text) Put16(table, c);
        return table;
    }
    // The font with its name table replaced; the tables keep their order, each 4-byte aligned.
    static std::vector<BYTE> Renamed(const std::vector<BYTE>& font, const wchar_t* face) {
        const size_t tables = static_cast<size_t>(font[4]) << 8 | font[5];
        const size_t directoryEnd = 12 + 16 * tables;
        if (font.size() < directoryEnd) return {};
        std::vector<BYTE> out(font.begin(), font.begin() + static_cast<std::ptrdiff_t>(directoryEnd));
        const std::vector<BYTE> names = NameTable(face);
        for (size_t t = 0; t < tables; ++t) {
            const size_t entry = 12 + 16 * t;
            const DWORD offset = Read32(font, entry + 8), length = Read32(font, entry + 12);
            if (offset + static_cast<size_t>(length) > font.size()) return {};
            const bool isName = Read32(font, entry) == 0x6E616D65;  // 'name'
            const size_t at = out.size();
            if (isName) {
                out.insert(out.end(), names.begin(), names.end());
            } else {
                out.insert(out.end(), font.begin() + offset, font.begin() + offset + length);
            }
            const size_t written = out.size() - at;
            out.resize((out.size() + 3) & ~size_t(3), 0);
            DWORD sum = 0;
            for (size_t i = at; i < out.size(); i += 4) sum += Read32(out, i);
            Write32(out, entry + 4, sum);
            Write32(out, entry + 8, static_cast<DWORD>(at));
            Write32(out, entry + 12, static_cast<DWORD>(written));
        }
        return out;
    }

    std::vector<HANDLE> m_handles;
};

class RealFonts : public COXFontListBox {
protected:
    void EnumerateFonts(HDC, const FontSink& sink) override {
        for (int i = 0; i < kMadeFaces; ++i) {
            LOGFONTW lf{};
            RealFaces::Name(i, lf.lfFaceName);
            lf.lfCharSet = ANSI_CHARSET;
            sink(lf, TRUETYPE_FONTTYPE);
        }
    }
};

// A top-level window of the system's default procedure.
HWND BareWindow(const wchar_t* title, int x, int y, int width, int height) {
    return ::CreateWindowExW(0, bench::BareWindowClass(), title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// Creates a font of the preview height for a face, selects it and measures the name in it.
int MeasureFace(HDC dc, const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfHeight = -16;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    HFONT font = ::CreateFontIndirectW(&lf);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT r{};
    ::DrawTextW(dc, face, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    return r.bottom - r.top;
}

void FontBaselines(int runs, int shownLikeOurs, bool real) {
    auto name = [real](int i, wchar_t* face) { real ? RealFaces::Name(i, face) : MadeFaceName(i, face); };
    const wchar_t* kind = real ? L"real" : L"made";
    HWND parent = BareWindow(L"bare list", 60, 60, 300, 460);
    HWND list = ::CreateWindowExW(0, L"LISTBOX", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS |
                                      LBS_NOINTEGRALHEIGHT,
                                  10, 10, 240, 390, parent, nullptr, nullptr, nullptr);
    Pump();
    const auto fill = Measure(runs, [&](int) {
        ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
        ::SendMessageW(list, LB_INITSTORAGE, kMadeFaces, kMadeFaces * LF_FACESIZE * sizeof(wchar_t));
        wchar_t face[LF_FACESIZE];
        for (int i = 0; i < kMadeFaces; ++i) {
            name(i, face);
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face));
        }
        HDC dc = ::GetDC(list);
        for (int i = 0; i < shownLikeOurs; ++i) {
            name(i, face);
            ::SendMessageW(list, LB_SETITEMHEIGHT, static_cast<WPARAM>(i), MeasureFace(dc, face) + 4);
        }
        ::ReleaseDC(list, dc);
        ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    });
    std::printf("  baseline: bare owner-drawn list, the 500 %ls names, %2d in view measured  median %7.3f ms  p99 %7.3f ms\n",
                kind, shownLikeOurs, fill.median, fill.p99);
    const auto every = Measure(runs, [&](int) {
        HDC dc = ::GetDC(list);
        wchar_t face[LF_FACESIZE];
        for (int i = 0; i < kMadeFaces; ++i) {
            name(i, face);
            MeasureFace(dc, face);
        }
        ::ReleaseDC(list, dc);
    });
    std::printf("  baseline: selecting and measuring all 500 %ls faces (no list)        median %7.3f ms  p99 %7.3f ms\n",
                kind, every.median, every.p99);
    ::DestroyWindow(parent);
}

// A bare status bar of three parts with a bare progress control in the second; a step sets
// the control's position and the part's text "N%".
void ProgressBaseline(int runs) {
    HWND parent = BareWindow(L"bare status", 60, 60, 700, 200);
    HWND bar = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent, nullptr,
                                 nullptr, nullptr);
    int parts[] = {400, 560, -1};
    ::SendMessageW(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    RECT part{};
    ::SendMessageW(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    HWND progress = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, part.left + 34, part.top + 2,
                                      part.right - part.left - 36, part.bottom - part.top - 4, bar, nullptr, nullptr, nullptr);
    ::SendMessageW(progress, PBM_SETRANGE32, 0, 100);
    Pump();
    const auto step = Measure(runs, [&](int i) {
        wchar_t text[16];
        swprintf(text, 16, L"%d%%", i % 100);
        ::SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(i % 100), 0);
        ::SendMessageW(bar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text));
        ::UpdateWindow(bar);
    });
    std::printf("  baseline: bare status bar, progress position and part text \"N%%\"  median %7.3f ms  p99 %7.3f ms\n", step.median,
                step.p99);
    const auto position = Measure(runs, [&](int i) { ::SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>((i + 50) % 100), 0); });
    std::printf("  baseline: the bare progress control's new position alone            median %7.3f ms  p99 %7.3f ms\n",
                position.median, position.p99);
    ::DestroyWindow(parent);
}

}  // namespace

int main() {
    COXSkinnedApp app;
    auto* frame = new CFrameWnd;
    frame->CreateEx(0, nullptr, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 700, 500, nullptr, nullptr);
    app.m_pMainWnd = frame;
    const int runs = 30;
    std::printf("lists benchmark, %d runs each, goals: a fill under 100 ms, a progress step under 2 ms\n", runs);

    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER;
    COXFontListBox system;
    system.CreateEx(0, L"LISTBOX", L"", style, CRect(10, 10, 250, 400), frame, 1);
    MadeFonts made;
    made.CreateEx(0, L"LISTBOX", L"", style, CRect(260, 10, 500, 400), frame, 2);
    Pump();
    const auto fillSystem = Measure(runs, [&](int) { system.FillFontList(); });
    std::printf("font list box, every font of the display (%3d faces)  median %7.3f ms  p99 %7.3f ms\n", system.GetCount(),
                fillSystem.median, fillSystem.p99);
    const auto fillMade = Measure(runs, [&](int) { made.FillFontList(); });
    int shown = 0;
    for (int i = 0; i < made.GetCount(); ++i)
        if (const OXLISTBOXITEM* record = made.GetItemInfo(i); record && record->bLaidOut) ++shown;
    std::printf("font list box, 500 made faces (%3d listed, %2d measured) median %7.3f ms  p99 %7.3f ms\n", made.GetCount(), shown,
                fillMade.median, fillMade.p99);
    FontBaselines(runs, shown, false);
    {
        const RealFaces faces;
        RealFonts real;
        real.CreateEx(0, L"LISTBOX", L"", style, CRect(260, 10, 500, 400), frame, 3);
        made.ShowWindow(SW_HIDE);
        Pump();
        const auto fillReal = Measure(runs, [&](int) { real.FillFontList(); });
        std::printf("font list box, 500 real faces (%3d added, Tahoma renamed) median %7.3f ms  p99 %7.3f ms\n", faces.Count(),
                    fillReal.median, fillReal.p99);
        if (faces.Count() == kMadeFaces) FontBaselines(runs, shown, true);
        real.DestroyWindow();
    }

    COXStatusBar bar;
    bar.Create(frame);
    const UINT panes[] = {ID_SEPARATOR, 100, ID_INDICATOR_CAPS};
    bar.SetIndicators(panes, 3);
    bar.SetPaneInfo(1, 100, SBPS_NORMAL, 150);
    bar.SetUpBar(1, TRUE);
    frame->RecalcLayout();
    Pump();
    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(look);
        Pump();
        // Every step a new percentage, then steps that leave it as it is.
        const auto step = Measure(runs * 3, [&](int i) {
            bar.SetBarProgress(1, 100, static_cast<DWORD>(i % 100));
            bar.UpdateWindow();
        });
        bar.SetBarProgress(1, 1000, 500);
        bar.UpdateWindow();
        const auto same = Measure(runs * 3, [&](int i) {
            bar.SetBarProgress(1, 1000, static_cast<DWORD>(500 + i % 10));
            bar.UpdateWindow();
        });
        std::printf("progress pane step, painted, %-11ls new percentage median %7.3f ms  p99 %7.3f ms; unchanged median %7.3f ms  p99 %7.3f ms\n",
                    look, step.median, step.p99, same.median, same.p99);
    }
    ProgressBaseline(runs * 3);
    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    return 0;
}
