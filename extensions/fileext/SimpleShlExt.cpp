#include "SimpleShlExt.h"

#include "ClipCommandLine.h"
#include "InstallPath.h"
#include "ProgramStarter.h"
#include "core/MessageBox.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

const CLSID CLSID_SimpleShlExtClass = {0x4C816CEB, 0x6FC7, 0x4187, {0x93, 0x27, 0x9B, 0x8B, 0x64, 0xA8, 0xE3, 0x46}};
const char kAddToTarveloVerb[] = "AddToTarvelo";

namespace {

const wchar_t kMenuText[] = L"Add to Tarvelo";
const wchar_t kHelpText[] = L"Add this file or folder to Tarvelo";
const wchar_t kVerbText[] = L"AddToTarvelo";

// The first path of a CF_HDROP drop, of any length; empty when there is none.
CString FirstDroppedPath(HDROP drop) {
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return CString();
    UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    if (length == 0) return CString();
    CString path;
    UINT copied = DragQueryFileW(drop, 0, path.GetBufferSetLength(static_cast<int>(length) + 1), length + 1);
    path.ReleaseBuffer(static_cast<int>(copied));
    return path;
}

bool IsFolder(const CString& path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Copies text into a caller's buffer of `length` units, truncated, always terminated.
void CopyTruncated(const CString& text, wchar_t* buffer, UINT length) {
    if (length == 0) return;
    UINT count = std::min<UINT>(static_cast<UINT>(text.GetLength()), length - 1);
    wmemcpy(buffer, text.GetString(), count);
    buffer[count] = L'\0';
}

// The ANSI form: as many whole characters as fit in `length` - 1 bytes (a double-byte character
// is never cut in half), always terminated.
void CopyTruncated(const CString& text, char* buffer, UINT length) {
    if (length == 0) return;
    const UINT room = length - 1;
    UINT used = 0;
    for (int i = 0; i < text.GetLength();) {
        const int units = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.GetLength() && IS_LOW_SURROGATE(text[i + 1]) ? 2 : 1;
        char converted[8];
        const int bytes = WideCharToMultiByte(CP_ACP, 0, text.GetString() + i, units, converted, sizeof(converted), nullptr, nullptr);
        if (bytes <= 0 || used + static_cast<UINT>(bytes) > room) break;
        memcpy(buffer + used, converted, static_cast<size_t>(bytes));
        used += static_cast<UINT>(bytes);
        i += units;
    }
    buffer[used] = '\0';
}

}  // namespace

CString NamePartOf(const CString& path) {
    if (path.Right(1) == L"\\") return path.Left(path.GetLength() - 1);
    CString component = path.Mid(path.ReverseFind(L'\\') + 1);
    int dot = component.Find(L'.');
    return dot < 0 ? component : component.Left(dot);
}

STDMETHODIMP CSimpleShlExt::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
    if (!data) return E_INVALIDARG;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium))) return E_INVALIDARG;
    HRESULT result = E_INVALIDARG;
    if (auto drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
        try {
            CString path = FirstDroppedPath(drop);
            if (!path.IsEmpty()) {
                m_path = path;
                result = S_OK;
            }
        } catch (...) {
            result = E_OUTOFMEMORY;
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return result;
}

STDMETHODIMP CSimpleShlExt::QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT, UINT flags) {
    if (flags & CMF_DEFAULTONLY) return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    if (!InsertMenuW(menu, index, MF_BYPOSITION | MF_STRING, firstCommand, kMenuText)) return HRESULT_FROM_WIN32(GetLastError());
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 1);
}

STDMETHODIMP CSimpleShlExt::GetCommandString(UINT_PTR command, UINT flags, UINT*, CHAR* buffer, UINT length) {
    if (command != 0) return E_INVALIDARG;
    switch (flags) {
    case GCS_VALIDATEA:
    case GCS_VALIDATEW:
        return S_OK;
    case GCS_HELPTEXTA:
    case GCS_HELPTEXTW:
    case GCS_VERBA:
    case GCS_VERBW: {
        if (!buffer) return E_POINTER;
        bool help = flags == GCS_HELPTEXTA || flags == GCS_HELPTEXTW;
        CString text = help ? CString(kHelpText) : CString(kVerbText);
        if (flags & GCS_UNICODE) CopyTruncated(text, reinterpret_cast<wchar_t*>(buffer), length);
        else CopyTruncated(text, buffer, length);
        return S_OK;
    }
    default:
        return E_INVALIDARG;
    }
}

STDMETHODIMP CSimpleShlExt::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (!info) return E_INVALIDARG;
    try {
        if (!IS_INTRESOURCE(info->lpVerb)) {
            if (lstrcmpiA(info->lpVerb, kAddToTarveloVerb) != 0) return E_INVALIDARG;
        } else if (LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)) != 0) {
            return E_INVALIDARG;
        }
        InstallPathResult found = ReadInstallPath();
        if (found.status == InstallPathStatus::KeyMissing) {
            ShowMessageBox(nullptr, L"Error, cannot open hKEY!", L"Error", MB_OK);
            return S_OK;
        }
        if (found.status == InstallPathStatus::ValueMissing)
            ShowMessageBox(nullptr, L"Error, cannot QUERY InstallPath!", L"Error", MB_OK);
        CString name = NamePartOf(m_path);
        if (name.IsEmpty()) ShowMessageBox(nullptr, L"Short file name exception", L"", MB_OK);
        if (IsFolder(m_path)) name += L"/";
        ShellProgramStarter starter;
        StartTarvelo(starter, found.path, LinkClip(m_path, name, FormFlag::Absent));
    } catch (...) {
        // Nothing crosses the COM boundary; the clip is simply not sent.
    }
    return S_OK;
}
