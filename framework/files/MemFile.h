// CMemFile: a file in memory, for an archive whose bytes go somewhere other
// than a file of its own (the caller takes them with Bytes()).
#pragma once
#include "files/File.h"

#include <algorithm>
#include <cstring>
#include <string>

class CMemFile : public CFile {
public:
    CMemFile() = default;
    explicit CMemFile(std::string bytes) : m_bytes(std::move(bytes)) {}

    const std::string& Bytes() const { return m_bytes; }

    UINT Read(void* buffer, UINT count) override {
        const size_t available = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
        const size_t taken = std::min<size_t>(count, available);
        if (taken) std::memcpy(buffer, m_bytes.data() + m_position, taken);
        m_position += taken;
        return static_cast<UINT>(taken);
    }
    void Write(const void* buffer, UINT count) override {
        if (m_position + count > m_bytes.size()) m_bytes.resize(m_position + count);
        if (count) std::memcpy(m_bytes.data() + m_position, buffer, count);
        m_position += count;
    }
    ULONGLONG Seek(LONGLONG offset, UINT from) override {
        const LONGLONG base = from == begin ? 0 : from == current ? static_cast<LONGLONG>(m_position)
                                                                  : static_cast<LONGLONG>(m_bytes.size());
        m_position = static_cast<size_t>(std::max<LONGLONG>(0, base + offset));
        return m_position;
    }
    ULONGLONG GetPosition() const override { return m_position; }
    ULONGLONG GetLength() const override { return m_bytes.size(); }
    void SetLength(ULONGLONG length) override { m_bytes.resize(static_cast<size_t>(length)); }
    void Close() override {}
    void Abort() override {}
    void Flush() override {}

private:
    std::string m_bytes;
    size_t m_position = 0;
};
