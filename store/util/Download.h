// Fetches a picture (or any file) by its address.
#pragma once
#include "core/String.h"

// Downloads the address into the file, fresh from the network. The file is
// written beside its final name and put in place only when the download is
// complete: true then; false (file untouched) otherwise, also when an HTTP
// server answers with an error status.
bool DownloadUrlToFile(const CString& address, const CString& path);
