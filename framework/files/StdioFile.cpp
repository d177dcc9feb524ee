#include "files/StdioFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>

namespace {

DWORD OsErrorOfStream() {
    DWORD osError = _doserrno;
    if (osError == 0) {
        switch (errno) {
        case ENOSPC: osError = ERROR_DISK_FULL; break;
        case EACCES: osError = ERROR_ACCESS_DENIED; break;
        case EBADF: osError = ERROR_INVALID_HANDLE; break;
        case EINVAL: osError = ERROR_SEEK; break;
        default: osError = ERROR_GEN_FAILURE; break;
        }
    }
    _doserrno = 0;
    errno = 0;
    return osError;
}

}  // namespace

CStdioFile::CStdioFile(const wchar_t* path, UINT openFlags) {
    CFileException error;
    if (!Open(path, openFlags, &error)) throw error;
}

CStdioFile::~CStdioFile() {
    CStdioFile::Abort();
}

bool CStdioFile::Open(const wchar_t* path, UINT openFlags, CFileException* error) {
    if (!CFile::Open(path, openFlags, error)) return false;

    bool readOnly = (openFlags & 0x3) == modeRead;
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(m_hFile), readOnly ? _O_RDONLY : 0);
    if (descriptor == -1) {
        CFile::Abort();
        if (error) *error = CFileException::FromOsError(ERROR_TOO_MANY_OPEN_FILES, GetFilePath());
        return false;
    }
    const wchar_t* mode = readOnly ? L"rb" : (openFlags & 0x3) == modeWrite ? L"wb" : L"r+b";
    m_pStream = _wfdopen(descriptor, mode);
    if (!m_pStream) {
        _close(descriptor);  // closes the handle as well
        ReleaseHandle();
        if (error) *error = CFileException::FromOsError(ERROR_TOO_MANY_OPEN_FILES, GetFilePath());
        return false;
    }
    m_textMode = !(openFlags & typeBinary);
    m_lastOperation = LastOperation::none;
    return true;
}

void CStdioFile::Close() {
    if (!m_pStream) {
        CFile::Close();
        return;
    }
    FILE* stream = m_pStream;
    m_pStream = nullptr;
    ReleaseHandle();  // fclose closes it
    _doserrno = 0;
    errno = 0;
    if (fclose(stream) != 0) CFileException::ThrowOsError(OsErrorOfStream(), GetFilePath());
}

void CStdioFile::Abort() {
    if (!m_pStream) {
        CFile::Abort();
        return;
    }
    fclose(m_pStream);
    m_pStream = nullptr;
    ReleaseHandle();
}

void CStdioFile::RequireStream() const {
    if (!m_pStream) CFileException::ThrowOsError(ERROR_INVALID_HANDLE, GetFilePath());
}

void CStdioFile::PrepareFor(LastOperation next) {
    RequireStream();
    // The runtime needs a flush or a seek between a read and a write on one stream.
    if (m_lastOperation != LastOperation::none && m_lastOperation != next) {
        if (_fseeki64(m_pStream, 0, SEEK_CUR) != 0) ThrowStreamError();
    }
    m_lastOperation = next;
}

int CStdioFile::ReadByte() {
    // One object is used by one thread at a time: the stream needs no lock per byte.
    PrepareFor(LastOperation::reading);
    int byte = _getc_nolock(m_pStream);
    if (byte == EOF) {
        if (ferror(m_pStream)) ThrowStreamError();
        return EOF;
    }
    if (byte == '\r' && m_textMode) {
        int next = _getc_nolock(m_pStream);
        if (next == '\n') return '\n';
        if (next != EOF) ungetc(next, m_pStream);
        else if (ferror(m_pStream)) ThrowStreamError();
    }
    return byte;
}

bool CStdioFile::ReadLineBytes(std::string& bytes) {
    bytes.clear();
    for (;;) {
        int byte = ReadByte();
        if (byte == EOF) break;
        bytes.push_back(static_cast<char>(byte));
        if (byte == '\n') break;
    }
    return !bytes.empty();
}

UINT CStdioFile::Read(void* buffer, UINT count) {
    if (count == 0) return 0;
    if (!m_textMode) {
        PrepareFor(LastOperation::reading);
        size_t read = fread(buffer, 1, count, m_pStream);
        if (read < count && ferror(m_pStream)) ThrowStreamError();
        return static_cast<UINT>(read);
    }
    auto* out = static_cast<unsigned char*>(buffer);
    UINT read = 0;
    while (read < count) {
        int byte = ReadByte();
        if (byte == EOF) break;
        out[read++] = static_cast<unsigned char>(byte);
    }
    return read;
}

void CStdioFile::WriteRawBytes(const void* bytes, size_t count) {
    if (count == 0) return;
    PrepareFor(LastOperation::writing);
    if (fwrite(bytes, 1, count, m_pStream) != count) ThrowStreamError();
}

void CStdioFile::WriteBytes(const char* bytes, size_t count) {
    if (!m_textMode) {
        WriteRawBytes(bytes, count);
        return;
    }
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] != '\n') continue;
        WriteRawBytes(bytes + start, i - start);
        WriteRawBytes("\r\n", 2);
        start = i + 1;
    }
    WriteRawBytes(bytes + start, count - start);
}

void CStdioFile::Write(const void* buffer, UINT count) {
    WriteBytes(static_cast<const char*>(buffer), count);
}

ULONGLONG CStdioFile::Seek(LONGLONG offset, UINT from) {
    RequireStream();
    int origin = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    if (_fseeki64(m_pStream, offset, origin) != 0) CFileException::ThrowOsError(ERROR_NEGATIVE_SEEK, GetFilePath());
    m_lastOperation = LastOperation::none;
    return GetPosition();
}

ULONGLONG CStdioFile::GetPosition() const {
    RequireStream();
    long long position = _ftelli64(m_pStream);
    if (position < 0) ThrowStreamError();
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CStdioFile::GetLength() const {
    RequireStream();
    long long position = _ftelli64(m_pStream);
    if (position < 0 || _fseeki64(m_pStream, 0, SEEK_END) != 0) ThrowStreamError();
    long long length = _ftelli64(m_pStream);
    if (length < 0 || _fseeki64(m_pStream, position, SEEK_SET) != 0) ThrowStreamError();
    return static_cast<ULONGLONG>(length);
}

void CStdioFile::SetLength(ULONGLONG length) {
    ULONGLONG position = GetPosition();
    if (fflush(m_pStream) != 0) ThrowStreamError();
    CFile::SetLength(length);
    Seek(static_cast<LONGLONG>(std::min(position, length)), begin);
}

void CStdioFile::Flush() {
    if (m_pStream && fflush(m_pStream) != 0) ThrowStreamError();
}

bool CStdioFile::ReadString(CString& line) {
    std::string bytes;
    if (!ReadLineBytes(bytes)) return false;
    if (bytes.back() == '\n') bytes.pop_back();
    line.Empty();
    if (bytes.empty()) return true;
    int length = static_cast<int>(bytes.size());
    int units = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (units > 0) {
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, line.GetBufferSetLength(units), units);
    }
    return true;
}

void CStdioFile::WriteString(const wchar_t* text) {
    if (!text || !*text) return;
    int length = static_cast<int>(wcslen(text));
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return;
    std::string converted(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, length, converted.data(), bytes, nullptr, nullptr);
    WriteBytes(converted.data(), converted.size());
}

void CStdioFile::ThrowStreamError() const {
    DWORD osError = OsErrorOfStream();
    if (m_pStream) clearerr(m_pStream);
    CFileException::ThrowOsError(osError, GetFilePath());
}
