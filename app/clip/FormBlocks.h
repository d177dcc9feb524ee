// The form block transfer files: each form block clip leaves its block of the
// page's form capture text as "<i>.txt" (UTF-16 with the byte-order mark, no
// line end) in the transfer folder below the install path; the link clip
// that follows joins 1.txt, 2.txt, ... up to the first missing number.
#pragma once
#include "clip/ClipElements.h"

#include <string>

// "<install path>\BookMark\TQ_TP_FORM", empty when there is no usable
// install path.
CString FormBlockFolder();

// Writes the block as "<number>.txt" in the folder, creating the folder (one
// level) when missing; an earlier file of the number is overwritten. False
// when the file cannot be written.
bool WriteFormBlockFile(const CString& folder, const FormBlockClip& block);

// The form capture text of the blocks in the folder, joined in number order
// from 1 to the first missing file; line ends inside a block are dropped.
CString JoinFormBlockFiles(const CString& folder);

// One transfer file's contribution to the joined text: its text without the
// byte-order mark and with every line end removed.
CString TransferFileText(const std::string& fileBytes);
