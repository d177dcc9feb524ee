// Form record files: where a clip's web-form contents are kept so that the
// form-filling library can fill the forms again (names: FormRecordName.h,
// format: FormRecordReader.h).
#pragma once
#include "core/String.h"

// The Forms folder below the install path, created when missing; empty when
// there is no usable install path or it cannot be created.
CString PrepareFormsFolder();
// Chooses the record file for a page address and makes the address end in
// "#" and the record's number. 1, or 0 (nothing changed) when there is no
// usable Forms folder.
int NewFormRecordPathForUrl(CString& address, CString& path);
// Chooses "<n>.tq" for the built-in sample record, n the smallest positive
// number not used by a record file yet. 1 / 0 as above.
int NewFormRecordPath(CString& path);
// The record text of a form capture text (entries name ">>>" value "|||",
// "<<<" after select options): one line per entry, ">>>" turned into a blank
// and "<<<" removed; the options of a select and the further lines of a
// multi-line value follow their record; every record ends with a closing
// line "$$$$$".
CString FormCaptureToRecordText(const CString& capture);
// Writes the record text of the capture as a new file (UTF-16 with the
// byte-order mark). False when it cannot be written.
bool WriteFormRecordFile(const CString& path, const CString& capture);
