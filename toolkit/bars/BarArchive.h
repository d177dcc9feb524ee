// The byte layout of the toolbar blobs in the profile: little-endian 32-bit
// integers, single bytes, and strings as the framework's archives store
// Unicode text (0xFF, 0xFFFE, then the length in characters as a byte under
// 255, else 0xFF and a 16-bit word under 0xFFFE, else 0xFFFF and a 32-bit
// count; then UTF-16). The reader trusts nothing it reads: every read stays
// within the bytes it was given and fails cleanly at their end.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class CBarArchiveWriter {
public:
    CBarArchiveWriter() { m_bytes.reserve(4096); }
    void WriteInt(int32_t value);
    void WriteByte(BYTE value) { m_bytes.push_back(value); }
    void WriteString(const CString& text);
    const std::vector<BYTE>& Bytes() const { return m_bytes; }

private:
    void WriteWord(WORD value);
    std::vector<BYTE> m_bytes;
};

class CBarArchiveReader {
public:
    explicit CBarArchiveReader(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}
    bool ReadInt(int32_t& value);
    bool ReadByte(BYTE& value);
    bool ReadString(CString& text);
    // A count of records of at least `recordBytes` each that the rest can hold.
    bool ReadCount(int32_t& count, size_t recordBytes);
    size_t Remaining() const { return m_bytes.size() - m_position; }

private:
    bool ReadWord(WORD& value);
    const std::vector<BYTE>& m_bytes;
    size_t m_position = 0;
};
