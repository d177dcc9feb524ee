#include "forms/FormRecordImport.h"

#include "favorites/LinkNames.h"
#include "forms/FormRecordName.h"
#include "pages/PageFile.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/PathParts.h"

#include <windows.h>

#include <set>
#include <string>

namespace {

CString Upper(CString text) {
    text.MakeUpper();
    return text;
}

bool IsDigits(const CString& text) {
    if (text.IsEmpty() || text.GetLength() > 18) return false;
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] < L'0' || text[i] > L'9') return false;
    return true;
}

// A record's file name taken apart: "host#12.tq" is the stem "host#" and the
// number 12; the sample record "3.tq" the empty stem and 3. Names of other
// shapes have no number (0).
struct RecordName {
    CString stem;
    long long number = 0;
};

RecordName ParseRecordName(const CString& name) {
    RecordName parsed;
    CString title = GetNameWithoutExt(name);
    if (Upper(GetNameExt(name)) != L"TQ") return parsed;
    int hash = title.ReverseFind(L'#');
    CString digits = title.Mid(hash + 1);
    if (!IsDigits(digits)) return parsed;
    parsed.stem = title.Left(hash + 1);
    parsed.number = _wtoi64(digits);
    return parsed;
}

CString NumberedName(const CString& stem, long long number) {
    CString name;
    name.Format(L"%ls%lld.tq", stem.GetString(), number);
    return name;
}

bool SameBytes(const CString& a, const CString& b) {
    std::string first, second;
    return ReadWholeFile(a, first) && ReadWholeFile(b, second) && first == second;
}

class RecordFolderImport {
public:
    RecordFolderImport(const CString& saved, const CString& current, std::vector<CString>* failed, long long lastNumber)
        : m_saved(saved), m_current(current), m_failed(failed), m_lastNumber(lastNumber) {}

    // Copies the folder's records; the renames and drops of its own records.
    FormRecordRenames Run() {
        FormRecordRenames renames;
        std::vector<FolderEntry> savedEntries, currentEntries;
        if (!ListFolderEntries(m_saved, savedEntries)) {
            Fail(m_saved);
            return renames;
        }
        if (!FolderExists(m_current) && !CreateDirectoryW(m_current, nullptr)) {
            for (const FolderEntry& entry : savedEntries) Fail(m_saved + L"\\" + entry.name, &renames, entry.name);
            return renames;
        }
        ListFolderEntries(m_current, currentEntries);
        // No new name may be one that either store uses: a saved record
        // imported later would otherwise meet it.
        for (const auto* list : {&savedEntries, &currentEntries})
            for (const FolderEntry& entry : *list) m_taken.insert(Upper(entry.name));
        for (const FolderEntry& entry : savedEntries) {
            CString from = m_saved + L"\\" + entry.name;
            if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
                RecordFolderImport(from, m_current + L"\\" + entry.name, m_failed, m_lastNumber).Run();
                continue;
            }
            CString to = m_current + L"\\" + entry.name;
            if (FileExists(to)) {
                if (SameBytes(from, to)) continue;
                // Brought in before under another number (the same store
                // imported again): its links name that one.
                if (CString twin = TwinOf(from, entry.name, currentEntries); !twin.IsEmpty()) {
                    renames.Add(entry.name, twin);
                    continue;
                }
                CString free = FreeName(entry.name);
                if (free.IsEmpty()) {
                    Fail(from, &renames, entry.name);
                    continue;
                }
                to = m_current + L"\\" + free;
                renames.Add(entry.name, free);
            }
            if (!CopyFileW(from, to, TRUE)) Fail(from, &renames, entry.name);
        }
        return renames;
    }

private:
    // A name neither store uses for the record: the next number of its host,
    // or for a name without number a number before its extension.
    CString FreeName(const CString& name) {
        RecordName parsed = ParseRecordName(name);
        CString free;
        if (parsed.number > 0) {
            for (long long n = 1; free.IsEmpty() && n <= m_lastNumber; ++n)
                if (!m_taken.count(Upper(NumberedName(parsed.stem, n)))) free = NumberedName(parsed.stem, n);
        } else {
            free = GetPathLastPart(MakeUniquePath(m_current + L"\\" + name));
        }
        if (!free.IsEmpty()) m_taken.insert(Upper(free));
        return free;
    }

    // A current record under another free name of this one (the same host,
    // another number; or the name with a number before its extension) with
    // the saved record's bytes; empty when there is none.
    CString TwinOf(const CString& from, const CString& name, const std::vector<FolderEntry>& current) const {
        RecordName parsed = ParseRecordName(name);
        CString title = Upper(GetNameWithoutExt(name));
        for (const FolderEntry& entry : current) {
            if (Upper(entry.name) == Upper(name) || (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            RecordName other = ParseRecordName(entry.name);
            bool sibling = parsed.number > 0 ? other.number > 0 && Upper(other.stem) == Upper(parsed.stem)
                                             : Upper(entry.name).Left(title.GetLength()) == title;
            if (sibling && SameBytes(from, m_current + L"\\" + entry.name)) return entry.name;
        }
        return CString();
    }

    // The saved record at `path` was not brought in; the links that name
    // it (by its file `name`) are to lose their number.
    void Fail(const CString& path, FormRecordRenames* renames = nullptr, const CString& name = CString()) {
        if (m_failed) m_failed->push_back(path);
        if (renames) renames->Drop(name);
    }

    CString m_saved, m_current;
    std::vector<CString>* m_failed;
    long long m_lastNumber;
    std::set<CString> m_taken;
};

} // namespace

void FormRecordRenames::Add(const CString& from, const CString& to) { m_to[Upper(from)] = to; }

void FormRecordRenames::Drop(const CString& from) { m_to[Upper(from)] = CString(); }

CString FormRecordRenames::RenamedRecord(const CString& from) const {
    auto found = m_to.find(Upper(from));
    return found == m_to.end() ? CString() : found->second;
}

CString FormRecordRenames::RenamedAddress(const CString& address) const {
    CString number = FormRecordNumber(address);
    if (number.IsEmpty() || m_to.empty()) return address;
    auto found = m_to.find(Upper(FormRecordFileName(address)));
    if (found == m_to.end()) return address;
    CString changed = address.Left(address.GetLength() - number.GetLength());
    if (found->second.IsEmpty()) return changed.Left(changed.GetLength() - 1);  // dropped: no "#" and number
    RecordName parsed = ParseRecordName(found->second);
    if (parsed.number <= 0) return address;
    CString digits;
    digits.Format(L"%lld", parsed.number);
    return changed + digits;
}

CString FormRecordRenames::RenameLinks(const CString& pageText) const {
    if (m_to.empty()) return pageText;
    CString out;
    int copied = 0;
    for (int at = FindAnchorStart(pageText); at >= 0; at = FindAnchorStart(pageText, at + 2)) {
        AnchorAddress where = FindAnchorAddress(pageText, at);
        if (where.start < 0) continue;
        CString address = pageText.Mid(where.start, where.length);
        CString renamed = RenamedAddress(address);
        if (renamed == address) continue;
        out += pageText.Mid(copied, where.start - copied) + renamed;
        copied = where.start + where.length;
    }
    if (copied == 0) return pageText;
    return out + pageText.Mid(copied);
}

FormRecordRenames ImportFormRecords(const CString& savedForms, const CString& currentForms,
                                    std::vector<CString>* failed, long long lastNumber) {
    return RecordFolderImport(savedForms, currentForms, failed, lastNumber).Run();
}
