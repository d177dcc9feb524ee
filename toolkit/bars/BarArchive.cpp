#include "bars/BarArchive.h"

void CBarArchiveWriter::WriteInt(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) m_bytes.push_back(static_cast<BYTE>(bits >> shift));
}

void CBarArchiveWriter::WriteWord(WORD value) {
    m_bytes.push_back(static_cast<BYTE>(value));
    m_bytes.push_back(static_cast<BYTE>(value >> 8));
}

void CBarArchiveWriter::WriteString(const CString& text) {
    const auto length = static_cast<uint32_t>(text.GetLength());
    WriteByte(0xFF);
    WriteWord(0xFFFE);
    if (length < 255) {
        WriteByte(static_cast<BYTE>(length));
    } else if (length < 0xFFFE) {
        WriteByte(0xFF);
        WriteWord(static_cast<WORD>(length));
    } else {
        WriteByte(0xFF);
        WriteWord(0xFFFF);
        WriteInt(static_cast<int32_t>(length));
    }
    const wchar_t* units = text;
    for (uint32_t i = 0; i < length; ++i) WriteWord(static_cast<WORD>(units[i]));
}

bool CBarArchiveReader::ReadByte(BYTE& value) {
    if (Remaining() < 1) return false;
    value = m_bytes[m_position++];
    return true;
}

bool CBarArchiveReader::ReadWord(WORD& value) {
    if (Remaining() < 2) return false;
    value = static_cast<WORD>(m_bytes[m_position] | (m_bytes[m_position + 1] << 8));
    m_position += 2;
    return true;
}

bool CBarArchiveReader::ReadInt(int32_t& value) {
    if (Remaining() < 4) return false;
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | m_bytes[m_position + static_cast<size_t>(i)];
    m_position += 4;
    value = static_cast<int32_t>(bits);
    return true;
}

bool CBarArchiveReader::ReadCount(int32_t& count, size_t recordBytes) {
    if (!ReadInt(count)) return false;
    return count >= 0 && static_cast<size_t>(count) <= Remaining() / (recordBytes ? recordBytes : 1);
}

bool CBarArchiveReader::ReadString(CString& text) {
    BYTE mark = 0;
    WORD unicode = 0;
    if (!ReadByte(mark) || mark != 0xFF || !ReadWord(unicode) || unicode != 0xFFFE) return false;
    BYTE shortLength = 0;
    if (!ReadByte(shortLength)) return false;
    uint32_t length = shortLength;
    if (shortLength == 0xFF) {
        WORD wordLength = 0;
        if (!ReadWord(wordLength)) return false;
        length = wordLength;
        if (wordLength == 0xFFFF) {
            int32_t longLength = 0;
            if (!ReadInt(longLength) || longLength < 0) return false;
            length = static_cast<uint32_t>(longLength);
        }
    }
    // A length the rest cannot hold is refused before anything is allocated.
    if (length > Remaining() / 2) return false;
    std::wstring units(length, L'\0');
    for (uint32_t i = 0; i < length; ++i) {
        WORD unit = 0;
        ReadWord(unit);
        units[i] = static_cast<wchar_t>(unit);
    }
    text = CString(units.c_str(), static_cast<int>(length));
    return true;
}
