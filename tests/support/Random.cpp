#include "Random.h"

CString Random::FromAlphabet(const CString& alphabet, int minLength, int maxLength) {
    CString out;
    int length = Int(minLength, maxLength);
    for (int i = 0; i < length; ++i) out += alphabet[Int(0, alphabet.GetLength() - 1)];
    return out;
}

CString Random::AnyWide(int minLength, int maxLength) {
    CString out;
    int length = Int(minLength, maxLength);
    for (int i = 0; i < length; ++i) {
        switch (Int(0, 5)) {
        case 0: out += static_cast<wchar_t>(Int(1, 31)); break;
        case 1: out += static_cast<wchar_t>(Int(0xD800, 0xDFFF)); break;
        case 2: out += static_cast<wchar_t>(Int(0x80, 0xFFFF)); break;
        default: out += static_cast<wchar_t>(Int(32, 126)); break;
        }
    }
    return out;
}

std::string Random::AnyBytes(int minLength, int maxLength) {
    std::string out;
    int length = Int(minLength, maxLength);
    out.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) out += static_cast<char>(Int(0, 255));
    return out;
}

CString Random::HostileText(int maxLength) {
    static const std::vector<CString> pieces = {
        L"<", L">", L"&", L"\"", L"'", L"</a>", L"</td>", L"</title>", L"<script>", L"&amp;", L"&lt;",
        L">>>", L"<<<", L"|||", L"<param>", L"</param>", L"<AA1>", L"<form>", L"#", L"/", L"\\", L"..\\",
        L"C:\\", L":", L"*", L"?", L"%s", L"%n", L"\r\n", L"\t", L" ", L"\x00e9", L"\x4e2d\x6587", L"\xd83d\xde00",
        L"http://", L"www.example.com:8080", L"?q=1&r=2", L"\x0001", L"\x007f"};
    CString out;
    while (out.GetLength() < maxLength) {
        int choice = Int(0, 9);
        if (choice < 6) out += Pick(pieces);
        else if (choice < 8) out += FromAlphabet(L"abcxyzABC0123", 1, 8);
        else if (choice < 9) out += AnyWide(1, 4);
        else out += CString(L'x', Int(1, maxLength));
        if (Chance(15)) break;
    }
    return out.Left(maxLength);
}

std::string Random::Damaged(const std::string& valid) {
    std::string out = valid;
    const int rounds = Int(1, 3);
    for (int round = 0; round < rounds && !out.empty(); ++round) {
        const int at = Int(0, static_cast<int>(out.size()) - 1);
        switch (Int(0, 3)) {
        case 0: out.resize(static_cast<size_t>(at)); break;
        case 1: out[static_cast<size_t>(at)] = static_cast<char>(Int(0, 255)); break;
        case 2: {
            static const int32_t hostile[] = {-1, -2, INT32_MIN, INT32_MAX, 0x7FFFFFF0, 3, 65536};
            const int32_t value = hostile[Int(0, 6)] == 65536 ? static_cast<int32_t>(out.size()) : hostile[Int(0, 6)];
            for (size_t i = 0; i < sizeof(value) && at + i < out.size(); ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
            break;
        }
        default:
            // Every zero unit gone: no text terminator anywhere.
            for (size_t i = 0; i + 1 < out.size(); i += 2)
                if (out[i] == 0 && out[i + 1] == 0) out[i] = 'x';
            break;
        }
    }
    return out;
}
