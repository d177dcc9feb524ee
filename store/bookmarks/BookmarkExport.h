// A page's links turned into what a browser uses: a Netscape bookmark file
// (one folder per section, as the page would give as Favorites), the list of
// every link with its section, and the browser's list of typed addresses.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <vector>

// One link of a page.
struct PageLinkRecord {
    CString section;  // the index tag that holds the link; empty before the first tag
    CString title;    // cleaned link text
    CString address;
    int valid = 1;
};

// Writes the page's sections and links as a bookmark file in UTF-8 without
// byte-order mark; the header's character set reads "Unicode" or "UTF-8",
// the only difference between the two. False after "Cannot open " + page, or after "File not Created, A
// Error Happened While Creating the File.".
bool ExportToBookmarkFileUnicode(const CString& page, const CString& output);
bool ExportToBookmarkFileUtf8(const CString& page, const CString& output);
// What ANSI copies of pages lost: the link titles that hold characters the
// ANSI code page lacks (written as "#"), and, where no title did, whether
// other text of a page did.
struct AnsiLoss {
    int titles = 0;
    bool otherText = false;
};
// Writes the page as ANSI text (ConvertFileToAnsi; the output may be the page
// itself) and adds what the copy lost. False when it cannot be read or written.
bool ExportPageAsAnsi(const CString& page, const CString& output, AnsiLoss& loss);
// What the user is told of the loss ("2 link titles lost characters ..."),
// empty when nothing was lost.
CString AnsiLossText(const AnsiLoss& loss);
// A tag of the page while its links are collected: the links after it
// belong to the section of the tag's text.
void CollectSectionLinks(const CString& tag, CString& section);
// One link of the page as the walk read it (title cleaned, anchors spanning
// lines joined): appended to the list with its section, unless its title is empty.
void CollectLinks(const CString& section, const CString& title, const CString& address,
                  std::vector<PageLinkRecord>& links);
// Appends every link of the page up to its body-end marker (links with an
// empty title are left out). False, list untouched, when the page cannot be read.
bool CollectPageLinks(const CString& page, std::vector<PageLinkRecord>& links);
// Replaces the typed-address list (HKCU "Software\Microsoft\Internet
// Explorer\TypedURLs", values url1, url2, ...) by the page's link addresses,
// as plain text (character references read); the key is created when
// missing. 0, with nothing changed, after "Cannot open " + page, for a page
// without a link (after "This page holds no link, so it gives no address:
// the IE address bar history was left as it is.") or when the
// key cannot be opened or made ("IE pull down menu cannot be changed this
// time, please close all IE windows and try later."), and when a write fails
// (ReplaceTypedUrlValues; the same message). 1 otherwise.
int RestoreTypedURLs(const CString& page);
// Writes one registry value, as RegSetValueExW does.
using RegistryValueWriter = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
// The typed-address values of an open key ("url" and a number) replaced by
// the addresses, as url1, url2, ...: every address is written first (through
// `write`), and the old entries that none of them replaces are removed only
// when all are in. False at the first write that fails: what was not written
// over yet stays as it was.
bool ReplaceTypedUrlValues(HKEY key, const std::vector<CString>& addresses, RegistryValueWriter write = RegSetValueExW);
