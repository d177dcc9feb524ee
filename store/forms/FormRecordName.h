// How a page address names its form record file. The main program (writer)
// and the form-filling library TQIEMenuExt (reader) compile this same source,
// so both always derive the same name. Depends only on CString and the
// pattern matcher.
//
// The rule:
//   1. The record number is the run of digits after the address's closing "#"
//      (pattern "#(/d+)$"); none gives the empty number.
//   2. The host part: remove everything up to and including the first "//"
//      (pattern "^.+////"); when the rest holds a "/", keep the text before the
//      first "/" (pattern "^(.+)//").
//   3. Cut the host part at its first "#" or "?" (a fragment or query of an
//      address without path) and drop a "user@" before the host.
//   4. Drop a port: a ":" followed only by digits at the end.
//   5. Replace every character that a file name cannot hold (control
//      characters, \ / : * ? " < > |) by "_".
//   6. Keep at most 120 characters.
//   7. Record file name: host part + "#" + number + ".tq", in the folder
//      install path + "\Bookmark\Forms\".
// Examples: "http://www.example.com:8080/login#2" -> "www.example.com#2.tq";
// "http://example.com?a=1#3" -> "example.com#3.tq".
#pragma once
#include "core/String.h"

// Steps 2 to 6: the host part that names the address's records.
CString FormRecordHostPart(const CString& address);
// Step 1: the digits after the address's closing "#", or empty.
CString FormRecordNumber(const CString& address);
// Step 7: host part + "#" + number + ".tq".
CString FormRecordFileName(const CString& address);
// True when the address, after its scheme, holds a "/" (an address with path).
bool FormRecordAddressHasPath(const CString& address);
