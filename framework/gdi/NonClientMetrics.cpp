#include "gdi/NonClientMetrics.h"

static_assert(kNonClientMetricsSize == 500, "non-client metrics without the padded border");

BOOL GetNonClientMetrics(NONCLIENTMETRICSW& metrics) {
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = kNonClientMetricsSize;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) return TRUE;
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = kNonClientMetricsSize;
    return FALSE;
}
