// The cool toolbar's state in the real registry: a round trip of look,
// texts and hosted controls, the stored "Customizable" switch, the
// process-wide control settings written by every save, and stored blobs
// that lie (truncated, impossible counts, huge string lengths, random
// bytes) loading without a crash and without changing the bar.
#include "ToolkitFixture.h"

#include "Random.h"
#include "app/RegKey.h"
#include "controls/ComboBox.h"

namespace {

using Combo = COXCustomTBComboBox<CComboBox>;

TEST(BarArchive, StringsKeepTheirLengthFormsAndTheReaderStaysWithinItsBytes) {
    for (int length : {0, 254, 255, 0xFFFD, 0xFFFE, 70000}) {
        CBarArchiveWriter writer;
        CString text;
        for (int i = 0; i < length; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
        writer.WriteString(text);
        writer.WriteInt(-7);
        const auto& bytes = writer.Bytes();
        // 0xFF 0xFFFE, then a byte, a byte and a word, or a byte, a word and a 32-bit count.
        const size_t header = length < 255 ? 4 : (length < 0xFFFE ? 6 : 10);
        ASSERT_EQ(bytes.size(), header + 2u * static_cast<size_t>(length) + 4u) << length;
        CBarArchiveReader reader(bytes);
        CString back;
        int32_t after = 0;
        ASSERT_TRUE(reader.ReadString(back));
        EXPECT_EQ(back, text);
        EXPECT_TRUE(reader.ReadInt(after));
        EXPECT_EQ(after, -7);
        EXPECT_FALSE(reader.ReadInt(after));  // the end
    }
    // A length the bytes cannot hold is refused; so is a count of records that cannot fit.
    const std::vector<BYTE> lying = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 0};
    CBarArchiveReader reader(lying);
    CString text;
    EXPECT_FALSE(reader.ReadString(text));
    const std::vector<BYTE> count = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4};
    CBarArchiveReader counted(count);
    int32_t n = 0;
    EXPECT_FALSE(counted.ReadCount(n, 8));
    const std::vector<BYTE> negative = {0xFF, 0xFF, 0xFF, 0xFF};
    CBarArchiveReader below(negative);
    EXPECT_FALSE(below.ReadCount(n, 1));
}

class BarState : public ::testing::Test {
protected:
    void SetUp() override {
        app.m_pMainWnd = fixture.frame;
        bar.SetCustomizationList({40001, 40002, 40003, 40004, 40005});
        bar.SetCustomizable(TRUE, FALSE);
        ASSERT_TRUE(bar.InsertComboBox(3, COXCoolToolBar::MakeCustomButtonDescriptor(&combo, 41100, 90, 100), WS_CHILD | WS_VISIBLE | CBS_DROPDOWN));
        combo.SetWindowText(L"12");
    }
    CString Root() const { return app.GetProfileRoot() + L"\\Bars"; }
    void Seed(const wchar_t* name, const std::vector<BYTE>& bytes, int size) {
        app.WriteProfileBinary(L"Bars", name, bytes.data(), static_cast<UINT>(bytes.size()));
        app.WriteProfileInt(L"Bars", CString(name) + L"_Size", size);
    }
    // What the bar shows, to compare before and after a load (texts aside: a blob that
    // does not read sets none, and the control's own restore makes its buttons anew).
    CString Snapshot() {
        CString shot;
        for (int i = 0; i < bar.GetCount(); ++i) {
            UINT id = 0, style = 0;
            int image = 0;
            bar.GetButtonInfo(i, id, style, image);
            shot.AppendFormat(L"%u/%x/%d/%d;", id, style & 0xFFFF, image, bar.IsCustomButton(i) ? 1 : 0);
        }
        return shot;
    }

    TestApp<CWinApp> app{L"ToolbarStateTests"};
    BarFrameFixture fixture;
    COXCoolToolBar& bar = fixture.bar;
    static inline Combo combo;  // registered for the life of the process
};

TEST_F(BarState, LookTextsAndHostedControlsComeBackFromTheRegistry) {
    bar.SetButtonText(0, L"Alpha");
    bar.SetColor(OXTB_HOT_BORDER, RGB(10, 20, 30));
    bar.SetIndent(4);
    ASSERT_TRUE(bar.SaveBarState(L"Bars", L"Format"));
    std::vector<BYTE> stored;
    ASSERT_TRUE(app.GetProfileBinary(L"Bars", L"Format_ButtonsSettings", stored));
    EXPECT_EQ(static_cast<size_t>(app.GetProfileInt(L"Bars", L"Format_ButtonsSettings_Size", -1)), stored.size());
    EXPECT_TRUE(app.GetProfileBinary(L"Bars", L"Format_CustomButtonsPositions", stored));
    EXPECT_EQ(app.GetProfileInt(L"Bars_Format", L"HotBorderColor", -1), RGB(10, 20, 30));

    bar.SetButtonText(0, L"Changed");
    bar.SetColor(OXTB_HOT_BORDER, kColorNotSet);
    bar.SetFlat(FALSE);
    combo.SetWindowText(L"99");
    ASSERT_TRUE(bar.LoadBarState(L"Bars", L"Format"));
    EXPECT_EQ(bar.GetButtonText(0), L"Alpha");
    EXPECT_EQ(bar.GetColor(OXTB_HOT_BORDER), RGB(10, 20, 30));
    EXPECT_TRUE(bar.IsFlat());
    EXPECT_EQ(bar.GetIndent(), 4);
    EXPECT_TRUE(bar.IsCustomButton(3));
    EXPECT_EQ(bar.GetCustomButtonWindow(3), &combo);
    EXPECT_TRUE(combo.IsWindowVisible());
    for (UINT id : {40001u, 40002u, 40003u, 40004u, 40005u}) EXPECT_GE(bar.CommandToIndex(id), 0) << id;
    RecordProperty("buttons after the control's restore (of 7)", bar.GetCount());

    // The toolbar control's own saved value (the control library's format).
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, Root());
    DWORD type = 0, size = 0;
    const bool controlSaved = key && RegQueryValueExW(key.Get(), L"Format", nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    RecordProperty("TB_SAVERESTORE wrote its value", controlSaved ? "yes" : "no");
}

TEST_F(BarState, AStoredNoToCustomisingLeavesTheSystemDialogAndEverySaveRewritesTheControlSettings) {
    app.WriteProfileInt(L"Bars_Format", L"Customizable", 0);
    bar.SetCustomizable(TRUE, TRUE);
    bar.ModifyStyle(0, CCS_ADJUSTABLE);
    bar.LoadBarState(L"Bars", L"Format");
    EXPECT_FALSE(bar.IsCustomizable(TRUE));
    EXPECT_TRUE(bar.IsCustomizable(FALSE));  // as the program set it

    auto storedWidth = [&]() {
        std::vector<BYTE> bytes;
        app.GetProfileBinary(L"Bars", L"Toolbars_CustomButtonsSettings", bytes);
        CBarArchiveReader reader(bytes);
        int32_t count = 0, id = 0, width = 0, height = 0, flags = 0, image = 0;
        CString text;
        reader.ReadInt(count);
        for (int32_t r = 0; r < count; ++r) {
            if (!reader.ReadInt(id) || !reader.ReadInt(width) || !reader.ReadInt(height) || !reader.ReadInt(flags) ||
                !reader.ReadInt(image) || !reader.ReadString(text))
                return -2;
            if (id == 41100) return static_cast<int>(width);
        }
        return -3;
    };
    bar.SaveBarState(L"Bars", L"Format");
    EXPECT_EQ(storedWidth(), 90);
    COXCoolToolBar::MakeCustomButtonDescriptor(&combo, 41100, 75, 100);
    bar.SaveBarState(L"Bars", L"Format");
    EXPECT_EQ(storedWidth(), 75);
    COXCoolToolBar::MakeCustomButtonDescriptor(&combo, 41100, 90, 100);

    // The blob read back sets the registered controls; a record that lies stops the reading.
    CBarArchiveWriter settings;
    settings.WriteInt(2);
    for (int width : {66, 0x7FFFFFFF}) {
        settings.WriteInt(41100);
        settings.WriteInt(width);
        settings.WriteInt(100);
        settings.WriteInt(OXCBS_ALWAYS);
        settings.WriteInt(-1);
        settings.WriteString(L"14");
    }
    EXPECT_EQ(COXCoolToolBar::ApplyCustomButtonSettings(settings.Bytes()), 1);
    EXPECT_EQ(RegisteredCustomButtonSize(41100).cx, 66);
    EXPECT_EQ(combo.GetWindowText(), L"14");
    COXCoolToolBar::MakeCustomButtonDescriptor(&combo, 41100, 90, 100);
}

// A bar that is not customisable still takes the look it loads (and lays it
// out) and keeps its buttons as they are.
TEST_F(BarState, ABarThatIsNotCustomisableLaysOutTheLookItLoads) {
    bar.SetCustomizable(FALSE, FALSE);
    app.WriteProfileInt(L"Bars_Plain", L"List", 1);
    app.WriteProfileInt(L"Bars_Plain", L"TextType", 0);
    const int count = bar.GetCount();
    EXPECT_TRUE(bar.LoadBarState(L"Bars", L"Plain"));
    EXPECT_TRUE(bar.IsList());
    EXPECT_EQ(bar.GetButtonText(0), L"First command");
    EXPECT_EQ(bar.GetCount(), count);  // its buttons were not touched
}

TEST_F(BarState, StoredBlobsThatLieLoadAsNothingAndNeverCrash) {
    bar.SetButtonText(0, L"Alpha");
    ASSERT_TRUE(bar.SaveBarState(L"Bars", L"Format"));
    // The toolbar control's own value is the control library's business (and Wine's restore
    // rebuilds the buttons from the customisation list): these cases are about the bar's blobs.
    app.WriteProfileString(L"Bars", L"Format", nullptr);
    ASSERT_TRUE(bar.LoadBarState(L"Bars", L"Format"));
    const CString before = Snapshot();
    const int buttons = bar.GetCount();
    std::vector<BYTE> good;
    app.GetProfileBinary(L"Bars", L"Format_ButtonsSettings", good);

    struct Case {
        const wchar_t* name;
        std::vector<BYTE> bytes;
        int size;
    };
    std::vector<Case> cases = {
        {L"Format_ButtonsSettings", {0xFF, 0xFF, 0xFF, 0x7F}, 4},                       // a count of two billion buttons
        {L"Format_ButtonsSettings", {1, 0, 0, 0, 0x41, 0x9C, 0, 0}, 400},                // cut inside its first record
        {L"Format_ButtonsSettings", {1, 0, 0, 0, 0x41, 0x9C, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF,
                                     0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, 27},                 // a text of two billion characters
        {L"Format_CustomButtonsPositions", {0xFF, 0xFF, 0xFF, 0xFF}, 4},                // a count below zero
        {L"Format_CustomButtonsPositions", {1, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0x4C, 0xA0, 0, 0}, 12},  // a slot far past the end
        {L"Format_ButtonsSettings", {}, 0},
    };
    for (const Case& c : cases) {
        Seed(c.name, c.bytes, c.size);
        EXPECT_TRUE(bar.LoadBarState(L"Bars", L"Format"));
        EXPECT_EQ(Snapshot(), before) << static_cast<const wchar_t*>(c.name);
        Seed(L"Format_ButtonsSettings", good, static_cast<int>(good.size()));
    }

    // Seeded random and mangled blobs: any outcome but a crash or a lost button.
    Random random(1207);
    for (int round = 0; round < 150; ++round) {
        std::vector<BYTE> bytes = good;
        if (random.Chance(50)) {
            bytes.resize(static_cast<size_t>(random.Int(0, static_cast<int>(bytes.size()))));
        } else {
            for (int flips = random.Int(1, 8); flips > 0 && !bytes.empty(); --flips)
                bytes[static_cast<size_t>(random.Int(0, static_cast<int>(bytes.size()) - 1))] = static_cast<BYTE>(random.Int(0, 255));
        }
        if (random.Chance(20)) {
            const std::string any = random.AnyBytes(0, 64);
            bytes.assign(any.begin(), any.end());
        }
        Seed(random.Chance(50) ? L"Format_ButtonsSettings" : L"Format_CustomButtonsPositions", bytes, random.Int(-1, 100000));
        bar.LoadBarState(L"Bars", L"Format");
        ASSERT_EQ(bar.GetCount(), buttons) << "round " << round;
        ASSERT_TRUE(IsWindow(combo.m_hWnd)) << "round " << round;
        CBarArchiveWriter settings;
        settings.WriteInt(random.Int(-5, 5));
        const std::string tail = random.AnyBytes(0, 40);
        std::vector<BYTE> blob = settings.Bytes();
        blob.insert(blob.end(), tail.begin(), tail.end());
        COXCoolToolBar::ApplyCustomButtonSettings(blob);
    }
    COXCoolToolBar::MakeCustomButtonDescriptor(&combo, 41100, 90, 100);
}

}  // namespace
