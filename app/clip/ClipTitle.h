// The link title of a clip: the source name and date text that the clip
// intake and the "Add to Tarvelo" dialog append, and the dialog's trimming of
// site names around a separator. Pure text rules, no window and no registry.
#pragma once
#include "core/String.h"

#include <windows.h>

// The host of an address: everything up to and including the first "//" is
// dropped, then everything from the first "/" that has text after it.
CString HostOfAddress(const CString& address);

// The host's second label when it has three or more ("a.example.com" ->
// "example"), else its first label ("example.com" -> "example"); empty for a
// host without a dot between two characters.
CString SiteWordOfHost(const CString& host);

// The short name of the site an address comes from: the news-site table's
// name for a known site word, else the site word with its first character
// upper-cased.
CString SourceNameOfAddress(const CString& address);

// "(" month "-" day "-" year ")" without leading zeros: (3-7-2026).
CString DateText(const SYSTEMTIME& localTime);
CString DateTextNow();

// Removes everything from the title's first "|" that has text after it: the
// tail that an earlier clip or the Date box added.
CString CutAddedTail(const CString& title);

// What the link clip shows in the dialog: the title cut at its added tail when
// either option is on, then "|" source "|" when addSource, then the date text
// when addTime.
CString DecorateClipTitle(const CString& title, const CString& address, bool addTime, bool addSource,
                          const SYSTEMTIME& localTime);

// The dialog's Date box: the title with "|" source "|" and the date appended
// (dateWasOn false), or with its added tail removed (dateWasOn true).
CString ToggleDateTail(const CString& title, const CString& address, bool dateWasOn, const SYSTEMTIME& localTime);

// "Trim End": drops the site name after the head's last "-" (or ":");
// "Trim Head": drops the site name before the head's first "-" (or ":").
// The added tail ("|source|(date)") is kept in both.
CString TrimTitleEnd(const CString& title);
CString TrimTitleHead(const CString& title);
