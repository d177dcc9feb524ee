// Handing form capture text to the main program: one process start per block
// of at most 200 characters, numbered from 1, each carrying the block count;
// text over 4000 characters is not sent at all.
#pragma once
#include "ProgramStarter.h"

#include <vector>

constexpr int kFormBlockLength = 200;
constexpr int kFormTextLimit = 4000;

// The form-block command lines for `text`, in sending order (none over the limit).
std::vector<CString> FormBlockClips(const CString& text);

// Starts the blocks in order; stops at the first start that fails. True only
// when every block was started, which is what the link clip's flag then says.
bool SendFormBlocks(const CString& text, ProgramStarter& starter, const CString& installPath);
