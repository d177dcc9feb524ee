// An owned BSTR: freed on destruction, converted to and from CString.
#pragma once
#include "core/String.h"

#include <oleauto.h>

#include <utility>

class BStr {
public:
    BStr() = default;
    explicit BStr(const CString& text) : m_b(SysAllocStringLen(text.GetString(), static_cast<UINT>(text.GetLength()))) {}
    BStr(const BStr&) = delete;
    BStr& operator=(const BStr&) = delete;
    BStr(BStr&& other) noexcept : m_b(std::exchange(other.m_b, nullptr)) {}
    ~BStr() { SysFreeString(m_b); }

    BSTR Get() const { return m_b; }
    BSTR* Receive() { SysFreeString(m_b); m_b = nullptr; return &m_b; }
    BSTR Detach() { return std::exchange(m_b, nullptr); }
    // The text with its counted length (embedded zeros kept); empty for null.
    CString Text() const { return m_b ? CString(m_b, static_cast<int>(SysStringLen(m_b))) : CString(); }

private:
    BSTR m_b = nullptr;
};
