// COXListBoxEx: the most-recently-used block and its place in the profile.
#include "app/WinApp.h"
#include "lists/ListBoxEx.h"

#include <algorithm>

namespace {
constexpr int kMostEntries = 1 << 16;  // more than any list's block, however the count lies
}

COXListBoxEx::TakenItem COXListBoxEx::TakeItem(int index) {
    TakenItem taken;
    if (const OXLISTBOXITEM* record = GetItemInfo(index)) taken.record = *record;
    GetText(index, taken.text);
    taken.data = GetItemData(index);
    if (IsMultipleSelection()) {
        taken.selected = SendMessage(LB_GETSEL, static_cast<WPARAM>(index)) > 0;
        taken.caret = SendMessage(LB_GETCARETINDEX) == index;
    } else {
        taken.selected = taken.caret = GetCurSel() == index;
    }
    return taken;
}

void COXListBoxEx::RestoreItem(int index, const TakenItem& taken) {
    SetItemData(index, taken.data);
    if (IsMultipleSelection()) {
        SendMessage(LB_SETSEL, taken.selected, index);
        if (taken.caret) SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(index));
    } else if (taken.selected) {
        SetCurSel(index);
    }
}

int COXListBoxEx::MoveItemToMRU(int index, int target, BOOL force) {
    const int count = GetCount();
    if (index < 0 || index >= count || target < 0 || target > m_nLastMRUIndex + 1) return -1;
    const bool inBlock = index <= m_nLastMRUIndex;
    // An item of the block moves within it: its last place is the block's last.
    if (inBlock && target > m_nLastMRUIndex) target = m_nLastMRUIndex;
    // A block of n items has places 0 .. n - 1.
    if (m_nMaxMRU != -1 && target >= m_nMaxMRU) return -1;
    if (!inBlock && m_nMaxMRU != -1 && m_nLastMRUIndex + 1 >= m_nMaxMRU) {
        if (!force) return -1;
        const int evicted = RemoveItemFromMRU(m_nLastMRUIndex);
        if (evicted == -1) return -1;
        // The eviction took one item from above ours and put it back at `evicted`.
        --index;
        if (index >= evicted) ++index;
        if (target > m_nLastMRUIndex + 1) return -1;
    }
    if (index == target) {
        if (!inBlock) {
            if (OXLISTBOXITEM* record = GetItemInfo(index)) {
                record->nMRUIndex = index;
            } else {
                OXLISTBOXITEM fresh;
                fresh.nMRUIndex = index;
                m_items[index] = std::make_unique<OXLISTBOXITEM>(fresh);
            }
            ++m_nLastMRUIndex;
            RecalcItemSize(-1);
            UpdateItemToolTips();
        }
        return target;
    }
    TakenItem taken = TakeItem(index);
    DeleteString(index);
    for (auto& [i, record] : m_items)
        if (record->nMRUIndex >= target && record->nMRUIndex <= m_nLastMRUIndex) ++record->nMRUIndex;
    ++m_nLastMRUIndex;
    m_bPlacing = true;
    const int placed = InsertListItem(target, taken.text, OXLBI_ALL, &taken.record);
    m_bPlacing = false;
    if (placed < 0) {
        --m_nLastMRUIndex;  // the list refused the string: the block is as it was without it
        RecalcItemSize(-1);
        UpdateItemToolTips();
        return -1;
    }
    if (OXLISTBOXITEM* record = GetItemInfo(placed)) record->nMRUIndex = target;
    RestoreItem(placed, taken);
    RecalcItemSize(-1);
    UpdateItemToolTips();
    return target;
}

int COXListBoxEx::RemoveItemFromMRU(int index) {
    if (index < 0 || index > m_nLastMRUIndex || index >= GetCount()) return -1;
    TakenItem taken = TakeItem(index);
    DeleteString(index);
    taken.record.nMRUIndex = -1;
    const int placed = AddItemInOrder(taken.text, OXLBI_ALL, &taken.record);
    if (placed < 0) return -1;
    if (OXLISTBOXITEM* record = GetItemInfo(placed)) record->nMRUIndex = -1;
    RestoreItem(placed, taken);
    return placed;
}

int COXListBoxEx::AddItemInOrder(const wchar_t* text, UINT mask, const OXLISTBOXITEM* item) {
    return AddListItem(text, mask, item);
}

void COXListBoxEx::SetMaxMRU(int count) {
    if (count < -1) return;  // no such size
    m_nMaxMRU = count;
    if (count == -1 || m_nLastMRUIndex + 1 < count) return;
    for (int i = m_nLastMRUIndex; i >= count; --i) RemoveItemFromMRU(i);
    m_nLastMRUIndex = count - 1;
    if (m_hWnd) {
        RecalcItemSize(-1);
        UpdateItemToolTips();
        Redraw();
    }
}

BOOL COXListBoxEx::SaveMRU(const wchar_t* section) {
    CWinApp* app = AfxGetApp();
    if (!app || !m_hWnd) return TRUE;
    app->WriteProfileInt(section, L"MRU_MaxNumber", m_nMaxMRU);
    app->WriteProfileInt(section, L"MRU_Count", m_nLastMRUIndex + 1);
    for (int n = 0; n <= m_nLastMRUIndex; ++n) {
        CString name, text;
        name.Format(L"MRU_Entry_%d", n);
        GetText(n, text);
        app->WriteProfileString(section, name, text);
    }
    return TRUE;
}

// What the profile says is not trusted: a maximum that is no size is ignored, the count is
// cut to what the list can hold, and an entry no longer in the list (or named twice) is skipped.
BOOL COXListBoxEx::LoadMRU(const wchar_t* section) {
    CWinApp* app = AfxGetApp();
    if (!app || !m_hWnd) return TRUE;
    SetMaxMRU(static_cast<int>(app->GetProfileInt(section, L"MRU_MaxNumber", m_nMaxMRU)));
    int count = static_cast<int>(app->GetProfileInt(section, L"MRU_Count", m_nMaxMRU));
    for (int i = m_nLastMRUIndex; i >= 0; --i) RemoveItemFromMRU(i);
    count = std::clamp(count, 0, kMostEntries);
    for (int n = 0; n < count && (m_nMaxMRU == -1 || m_nLastMRUIndex + 1 < m_nMaxMRU); ++n) {
        CString name;
        name.Format(L"MRU_Entry_%d", n);
        const CString text = app->GetProfileString(section, name, L"");
        if (text.IsEmpty()) break;
        const int found = FindStringExact(-1, text);
        if (found < 0 || found <= m_nLastMRUIndex) continue;
        AddItemToMRU(found);
    }
    return TRUE;
}
