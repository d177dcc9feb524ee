// Where the form record of a page address lies: install path
// + "\Bookmark\Forms\" + host + "#" + number + ".tq", where the number is the
// digits after the address's closing "#" and the host is the address's host
// without port and without characters that cannot stand in a file name.
// The main program names the files it writes by the same rule.
#pragma once
#include "core/String.h"

// The digits after a closing "#" of the address; empty when there are none.
CString FormRecordNumber(const CString& address);
// The host part of the address as it appears in the file name.
CString FormRecordHost(const CString& address);
// The record file's full path below `installPath`.
CString FormRecordPath(const CString& installPath, const CString& address);
