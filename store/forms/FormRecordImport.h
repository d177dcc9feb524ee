// Form records of a saved store brought into the current one. Record names
// are per host and numbered from 1 in each store, so two stores often both
// hold "mail.example#1.tq" for different accounts: an imported record never
// replaces a current one. An identical record is passed over, a different one
// takes a free number, and the links of the imported pages that name it are
// renumbered with it, so that each page goes on filling its own values. A
// record that cannot be brought in (unreadable, no free name, not writable)
// leaves the links that name it without a number: they fill nothing rather
// than a record they did not come with.
#pragma once
#include "core/String.h"

#include <map>
#include <vector>

class FormRecordRenames {
public:
    // `from` and `to` are record file names ("host#1.tq", "host#3.tq").
    void Add(const CString& from, const CString& to);
    // `from` was not brought in: links that name it lose their number.
    void Drop(const CString& from);
    bool IsEmpty() const { return m_to.empty(); }
    // The record file name an imported record now has; empty when it kept its own.
    CString RenamedRecord(const CString& from) const;
    // The address with the number of its record changed, when its record was
    // renumbered, or without its "#" and number, when its record was dropped;
    // otherwise the address as it is.
    CString RenamedAddress(const CString& address) const;
    // The page text with every link address that names a renumbered record
    // changed; nothing else of the text changes.
    CString RenameLinks(const CString& pageText) const;

private:
    std::map<CString, CString> m_to;  // upper-cased old name -> new name, empty when dropped
};

// Copies the records of `savedForms` into `currentForms` (created when
// missing), sub-folders included, under the rule above. `failed` gains the
// path (in `savedForms`) of every record that could not be copied, and the
// saved folder's own path when it cannot be listed. The renames and drops of
// the records of the folder itself (the ones that links name). A renumbered
// record takes a number up to `lastNumber`; past it, it finds no free one.
FormRecordRenames ImportFormRecords(const CString& savedForms, const CString& currentForms,
                                    std::vector<CString>* failed = nullptr, long long lastNumber = 999999);
