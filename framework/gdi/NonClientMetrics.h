// The system's non-client metrics (its menu, status, message and caption
// fonts), asked in the size that every 32-bit Windows takes: the structure
// without the padded border width that later systems appended. Older
// systems refuse the call made with the whole structure.
#pragma once
#include <windows.h>

#include <cstddef>

inline constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);

// Fills `metrics` (its size field included); FALSE, with the record zeroed
// but for its size, when the system refuses.
BOOL GetNonClientMetrics(NONCLIENTMETRICSW& metrics);
