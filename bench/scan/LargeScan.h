#pragma once

// Scans an installation of 100,000 accounts, 10,000 of them dormant, answering No and Yes; times
// the key-file part alone beside the removal one user at a time and a plain copy of both files,
// and plain tools doing the scan's work on an identical copy. Prints one table with the ratios.
void ReportLargeScan();
