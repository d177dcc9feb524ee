// An in-memory stream that offers HTML text to the engine's stream loading:
// the text as ASCII bytes (non-ASCII characters as character references), read
// from the start; a text with such characters inside script, style or
// comments, where references stay literal, goes as UTF-8 with a byte-order mark. It lives on its user's stack for one load and does not
// count references.
#pragma once
#include "core/String.h"

#include <windows.h>
#include <objidl.h>

#include <vector>

class bcStreamReader : public IStream {
public:
    bcStreamReader() = default;
    virtual ~bcStreamReader() = default;
    bcStreamReader(const bcStreamReader&) = delete;
    bcStreamReader& operator=(const bcStreamReader&) = delete;

    void SetHtml(const CString& text);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(void* target, ULONG size, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    std::vector<char> m_buffer;
    size_t m_size = 0;    // bytes of text in the buffer
    size_t m_offset = 0;  // next byte to read
};
