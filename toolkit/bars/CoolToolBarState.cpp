// The cool toolbar's state in the profile: style switches and colours as
// integers in the section "<section>_<bar>", the button list, the places of
// hosted controls and the controls' own state as blobs (each with a
// "_Size" integer beside it) in the section itself, and the toolbar
// control's own saved value. Stored blobs are read as untrusted bytes: a
// count or a length that the bytes cannot hold, or a value no bar could
// have, ends the reading and leaves the rest as it was.
#include "app/RegKey.h"
#include "app/WinApp.h"
#include "bars/CoolToolBar.h"

#include <algorithm>

namespace {

bool g_descriptorsLoaded = false;  // the process-wide blob is read by the first bar that loads

const wchar_t* const kColorKeys[OXTB_COLOR_COUNT] = {
    L"DefaultTextColor", L"HotTextColor", L"SelectedTextColor", L"CheckedTextColor",
    L"DefaultBkColor", L"HotBkColor", L"SelectedBkColor", L"CheckedBkColor",
    L"DefaultBorderColor", L"HotBorderColor", L"SelectedBorderColor", L"CheckedBorderColor",
};
constexpr int kAbsent = -1;
constexpr wchar_t kDescriptorsValue[] = L"Toolbars_CustomButtonsSettings";

// Smallest bytes of one record: id, image, style byte, has-text flag, an empty string.
constexpr size_t kButtonRecordBytes = 4 + 4 + 1 + 4 + 4;
constexpr size_t kPositionRecordBytes = 4 + 4;
constexpr size_t kDescriptorRecordBytes = 5 * 4 + 4;

bool HasRegistryProfile(CWinApp* app) {
    return app && !app->m_pszRegistryKey.IsEmpty() && !app->m_pszProfileName.IsEmpty();
}

void WriteBlob(CWinApp* app, const wchar_t* section, const CString& name, const CBarArchiveWriter& archive) {
    const auto& bytes = archive.Bytes();
    app->WriteProfileBinary(section, name, bytes.data(), static_cast<UINT>(bytes.size()));
    app->WriteProfileInt(section, name + L"_Size", static_cast<int>(bytes.size()));
}

// The stored bytes of a blob whose size value is present; false when absent or unreadable.
bool ReadBlob(CWinApp* app, const wchar_t* section, const CString& name, std::vector<BYTE>& bytes) {
    if (static_cast<int>(app->GetProfileInt(section, name + L"_Size", kAbsent)) == kAbsent) return false;
    return app->GetProfileBinary(section, name, bytes) != FALSE;
}

bool Plausible(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

BOOL COXCoolToolBar::SaveBarState(const wchar_t* section, const wchar_t* name, BOOL properties) {
    CWinApp* app = AfxGetApp();
    if (!app || !section || !name) return FALSE;
    const CString barName(name);
    if (IsCustomizable(TRUE) || IsCustomizable(FALSE)) {
        if (!HasRegistryProfile(app)) return FALSE;
        RegKey key = RegKey::Create(HKEY_CURRENT_USER, app->GetProfileRoot());
        if (!key) return FALSE;

        CBarArchiveWriter buttons;
        const int count = GetCount();
        buttons.WriteInt(count);
        for (int i = 0; i < count; ++i) {
            TBBUTTON b{};
            SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
            const CString text = GetButtonText(i);
            buttons.WriteInt(b.idCommand);
            buttons.WriteInt(b.iBitmap);
            buttons.WriteByte(b.fsStyle);
            buttons.WriteInt(text.IsEmpty() ? 0 : 1);
            buttons.WriteString(text.IsEmpty() ? GetHiddenButtonText(static_cast<UINT>(b.idCommand)) : text);
        }
        WriteBlob(app, section, barName + L"_ButtonsSettings", buttons);

        CBarArchiveWriter positions;
        positions.WriteInt(static_cast<int32_t>(m_customButtons.size()));
        for (const auto& [index, descriptor] : m_customButtons) {
            positions.WriteInt(index);
            positions.WriteInt(static_cast<int32_t>(descriptor.m_nID));
        }
        WriteBlob(app, section, barName + L"_CustomButtonsPositions", positions);

        TBSAVEPARAMSW save{key.Get(), section, name};
        SendMessage(TB_SAVERESTOREW, TRUE, reinterpret_cast<LPARAM>(&save));
    }

    // The registered controls: written again by every save, so that it always holds the latest.
    CBarArchiveWriter descriptors;
    const std::vector<UINT> ids = RegisteredIds();
    descriptors.WriteInt(static_cast<int32_t>(ids.size()));
    for (UINT id : ids) {
        OXCUSTOMBUTTONDESCRIPTOR d;
        GetRegisteredDescriptor(id, d);
        descriptors.WriteInt(static_cast<int32_t>(d.m_nID));
        descriptors.WriteInt(d.m_nWidth);
        descriptors.WriteInt(d.m_nHeight);
        descriptors.WriteInt(d.m_nFlags);
        descriptors.WriteInt(d.m_nImageIndex);
        if (!d.m_pCBTemplate || !d.m_pCBTemplate->SaveState(descriptors)) descriptors.WriteString(CString());
    }
    WriteBlob(app, section, kDescriptorsValue, descriptors);

    if (properties) {
        CString style;
        style.Format(L"%ls_%ls", section, name);
        app->WriteProfileInt(style, L"Cool", m_bCool ? 1 : 0);
        app->WriteProfileInt(style, L"Gripper", IsGripper() ? 1 : 0);
        app->WriteProfileInt(style, L"Separator", m_bSeparator ? 1 : 0);
        app->WriteProfileInt(style, L"Flat", IsFlat() ? 1 : 0);
        app->WriteProfileInt(style, L"List", IsList() ? 1 : 0);
        app->WriteProfileInt(style, L"DropDownArrow", IsDropDownArrow() ? 1 : 0);
        app->WriteProfileInt(style, L"Indent", m_nIndent);
        for (int c = 0; c < OXTB_COLOR_COUNT; ++c) app->WriteProfileInt(style, kColorKeys[c], static_cast<int>(m_colors[c]));
        app->WriteProfileInt(style, L"TextType", m_nTextType);
        app->WriteProfileInt(style, L"TextRows", GetTextRows());
        app->WriteProfileInt(style, L"MinButtonsWidth", m_nMinWidth);
        app->WriteProfileInt(style, L"MaxButtonsWidth", m_nMaxWidth);
        app->WriteProfileInt(style, L"Customizable", IsCustomizable(TRUE) ? 1 : 0);
    }
    return TRUE;
}

int COXCoolToolBar::ApplyCustomButtonSettings(const std::vector<BYTE>& bytes) {
    CBarArchiveReader reader(bytes);
    int32_t count = 0;
    if (!reader.ReadCount(count, kDescriptorRecordBytes)) return 0;
    int applied = 0;
    for (int32_t r = 0; r < count; ++r) {
        OXCUSTOMBUTTONDESCRIPTOR stored;
        int32_t id = 0;
        if (!reader.ReadInt(id) || !reader.ReadInt(stored.m_nWidth) || !reader.ReadInt(stored.m_nHeight) ||
            !reader.ReadInt(stored.m_nFlags) || !reader.ReadInt(stored.m_nImageIndex))
            break;
        stored.m_nID = static_cast<UINT>(id);
        const int index = FindCustomButtonIndex(stored.m_nID);
        // An unknown control has no template to read its state: the rest cannot be followed.
        if (index < 0 || !Plausible(stored.m_nWidth, -1, 4096) || !Plausible(stored.m_nHeight, -1, 4096) ||
            !Plausible(stored.m_nFlags, 0, OXCBS_ALWAYS) || !Plausible(stored.m_nImageIndex, -1, 0xFFFF))
            break;
        OXCUSTOMBUTTONDESCRIPTOR registered;
        GetRegisteredDescriptor(stored.m_nID, registered);
        // The control's state is read first: a record whose state does not read is not applied.
        if (registered.m_pCBTemplate) {
            if (!registered.m_pCBTemplate->LoadState(reader)) break;
        } else {
            CString skipped;
            if (!reader.ReadString(skipped)) break;
        }
        stored.m_pCBTemplate = registered.m_pCBTemplate;
        UpdateCustomButton(index, stored);
        ++applied;
    }
    return applied;
}

BOOL COXCoolToolBar::LoadBarState(const wchar_t* section, const wchar_t* name, BOOL properties) {
    CWinApp* app = AfxGetApp();
    if (!app || !section || !name) return FALSE;
    const CString barName(name);
    bool relayout = false;
    if (properties) {
        CString style;
        style.Format(L"%ls_%ls", section, name);
        auto read = [&](const wchar_t* key) { return static_cast<int>(app->GetProfileInt(style, key, kAbsent)); };
        // A stored "no" turns advanced customisation off and leaves the system dialog as the program set it.
        if (int v = read(L"Customizable"); v != kAbsent) {
            if (v) SetCustomizable(TRUE, TRUE);
            else m_bAdvancedCustomizable = FALSE;
        }
        if (int v = read(L"Cool"); v != kAbsent) SetCool(v != 0);
        if (int v = read(L"Gripper"); v != kAbsent) SetGripper(v != 0);
        if (int v = read(L"Separator"); v != kAbsent) SetSeparator(v != 0);
        if (int v = read(L"Flat"); v != kAbsent) SetFlat(v != 0);
        if (int v = read(L"List"); v != kAbsent) {
            SetList(v != 0);
            relayout = true;
        }
        if (int v = read(L"DropDownArrow"); v != kAbsent) SetDropDownArrow(v != 0);
        if (int v = read(L"Indent"); v != kAbsent && Plausible(v, 0, 4096)) SetIndent(v);
        for (int c = 0; c < OXTB_COLOR_COUNT; ++c)
            if (int v = read(kColorKeys[c]); v != kAbsent) m_colors[c] = static_cast<COLORREF>(v);
        if (int v = read(L"TextType"); v != kAbsent && v != m_nTextType) {
            if (v == 3) {
                SetTextType(4);
                SetTextType(3);
            } else {
                SetTextType(v);
            }
            relayout = true;
        }
        if (int v = read(L"TextRows"); v != kAbsent && v != GetTextRows() && Plausible(v, 0, 16)) {
            SetMaxTextRows(v);
            relayout = true;
        }
        if (int v = read(L"MinButtonsWidth"); v != kAbsent && v != m_nMinWidth && Plausible(v, 0, 4096)) {
            SetButtonsMinMaxWidth(v, m_nMaxWidth);
            relayout = true;
        }
        if (int v = read(L"MaxButtonsWidth"); v != kAbsent && v != m_nMaxWidth && Plausible(v, 0, 4096)) {
            SetButtonsMinMaxWidth(m_nMinWidth, v);
            relayout = true;
        }
    }

    if (!g_descriptorsLoaded) {
        g_descriptorsLoaded = true;
        std::vector<BYTE> bytes;
        if (ReadBlob(app, section, kDescriptorsValue, bytes)) ApplyCustomButtonSettings(bytes);
    }

    // What was loaded is laid out: a changed look sizes the buttons again.
    auto finish = [this, relayout] {
        m_bLoading = FALSE;
        if (!relayout) {
            PlaceCustomButtons(0, -1);
        } else {
            if (GetTextRows() > 0) UpdateSizes();
            else SetButtonsSize(GetImageSize());
            UpdateCustomButtons(TRUE, FALSE);
        }
    };
    if (!(IsCustomizable(TRUE) || IsCustomizable(FALSE))) {
        finish();
        return TRUE;
    }
    if (!HasRegistryProfile(app)) return FALSE;
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, app->GetProfileRoot(), KEY_READ);
    if (!key) return FALSE;

    // Both blobs are read whole before anything changes: one that does not read is left out.
    struct ButtonRecord {
        int32_t id, image, hasText;
        BYTE style;
        CString text;
    };
    std::vector<ButtonRecord> buttonRecords;
    bool buttonsRead = false;
    std::vector<BYTE> bytes;
    if (ReadBlob(app, section, barName + L"_ButtonsSettings", bytes)) {
        CBarArchiveReader reader(bytes);
        int32_t count = 0;
        buttonsRead = reader.ReadCount(count, kButtonRecordBytes);
        for (int32_t r = 0; buttonsRead && r < count; ++r) {
            ButtonRecord record{};
            buttonsRead = reader.ReadInt(record.id) && reader.ReadInt(record.image) && reader.ReadByte(record.style) &&
                          reader.ReadInt(record.hasText) && reader.ReadString(record.text) && Plausible(record.image, -2, 0xFFFF);
            if (buttonsRead) buttonRecords.push_back(std::move(record));
        }
    }
    std::vector<std::pair<int32_t, UINT>> places;  // button index, control id
    bool placesRead = false;
    if (static_cast<int>(app->GetProfileInt(section, barName + L"_CustomButtonsPositions_Size", kAbsent)) > 0 &&
        ReadBlob(app, section, barName + L"_CustomButtonsPositions", bytes)) {
        CBarArchiveReader reader(bytes);
        int32_t count = 0;
        placesRead = reader.ReadCount(count, kPositionRecordBytes);
        for (int32_t r = 0; placesRead && r < count; ++r) {
            int32_t index = 0, controlId = 0;
            placesRead = reader.ReadInt(index) && reader.ReadInt(controlId) && Plausible(index, 0, 4095);
            if (placesRead) places.emplace_back(index, static_cast<UINT>(controlId));
        }
    }

    // The hosted controls step out while the control restores its buttons.
    struct KeptControl {
        OXCUSTOMBUTTONDESCRIPTOR descriptor;
        int index;
    };
    std::map<UINT, KeptControl> keptAside;
    if (placesRead) {
        std::vector<int> indices;
        for (const auto& entry : m_customButtons) indices.insert(indices.begin(), entry.first);  // last first
        for (int index : indices) {
            OXCUSTOMBUTTONDESCRIPTOR descriptor = m_customButtons[index];
            CWnd* control = descriptor.m_pCBTemplate ? descriptor.m_pCBTemplate->GetWindow() : nullptr;
            const UINT controlId = control && control->GetSafeHwnd() ? static_cast<UINT>(control->GetDlgCtrlID()) : descriptor.m_nID;
            if (descriptor.m_pCBTemplate && descriptor.m_pCBTemplate->IsAutoDelete()) descriptor.m_pCBTemplate = nullptr;
            keptAside[controlId] = KeptControl{descriptor, index};
            DeleteButton(index);
        }
    }

    m_bLoading = TRUE;
    TBSAVEPARAMSW restore{key.Get(), section, name};
    SendMessage(TB_SAVERESTOREW, FALSE, reinterpret_cast<LPARAM>(&restore));
    key.Close();

    if (buttonsRead) {
        // The control's own restore may drop plain separators (under Wine it stores them as
        // command 0 and reads that back as a button that is then removed): each goes back to
        // its stored place.
        // Only when the buttons are the stored ones in the stored order.
        std::vector<UINT> stored, present;
        for (const ButtonRecord& record : buttonRecords)
            if (!(record.style & TBSTYLE_SEP)) stored.push_back(static_cast<UINT>(record.id));
        for (int i = 0; i < GetCount(); ++i)
            if (!IsPlainSeparator(i)) present.push_back(GetItemID(i));
        for (int i = 0; stored == present && i < static_cast<int>(buttonRecords.size()) && i <= GetCount(); ++i) {
            const ButtonRecord& record = buttonRecords[static_cast<size_t>(i)];
            if (!(record.style & TBSTYLE_SEP) || record.id != 0 || IsPlainSeparator(i)) continue;
            TBBUTTON separator{};
            separator.iBitmap = record.image;
            separator.fsStyle = TBSTYLE_SEP;
            separator.iString = -1;
            SendMessage(TB_INSERTBUTTONW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&separator));
        }
        for (const ButtonRecord& record : buttonRecords) {
            if (record.style & TBSTYLE_SEP) continue;
            const int index = CommandToIndex(static_cast<UINT>(record.id));
            if (index < 0) continue;
            const UINT state = GetButtonStyle(index) & 0xFFFF0000u;
            SetButtonInfo(index, static_cast<UINT>(record.id), state | record.style, record.image);
            if (record.hasText) SetButtonText(index, record.text);
            else if (!record.text.IsEmpty()) m_hiddenTexts[static_cast<UINT>(record.id)] = record.text;
        }
    }

    // Each kept control goes to its stored place; one the blob does not place goes back where it was.
    auto putBack = [this](int index, const OXCUSTOMBUTTONDESCRIPTOR& descriptor) {
        index = std::min(index, GetCount());
        TBBUTTON slot{};
        slot.iBitmap = -1;
        slot.fsStyle = TBSTYLE_SEP;
        slot.iString = -1;
        if (SendMessage(TB_INSERTBUTTONW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&slot)))
            m_customButtons[index] = descriptor;
    };
    auto live = [](const OXCUSTOMBUTTONDESCRIPTOR& descriptor) {
        COXCustomTBButtonTemplate* control = descriptor.m_pCBTemplate;
        return control && control->GetWindow() && control->GetWindow()->GetSafeHwnd();
    };
    for (const auto& [index, controlId] : places) {
        if (IsCustomButton(std::min(index, GetCount()))) continue;
        auto kept = keptAside.find(controlId);
        if (kept != keptAside.end() && live(kept->second.descriptor)) {
            putBack(index, kept->second.descriptor);
            keptAside.erase(kept);
        } else if (const int descriptorIndex = FindCustomButtonIndex(controlId); descriptorIndex >= 0) {
            if (kept != keptAside.end()) keptAside.erase(kept);
            SetCustomButton(std::min(index, GetCount()), descriptorIndex, WS_CHILD | WS_VISIBLE, 0,
                            RegisterWndClass(CS_DBLCLKS, nullptr), L"");
        }
    }
    for (const auto& [controlId, kept] : keptAside)
        if (live(kept.descriptor)) putBack(kept.index, kept.descriptor);
    ApplyTextType();
    finish();
    return TRUE;
}
