#pragma once

// The smoothing weights: square tables of odd size n (3, 5, 7, 9, 11, 13, 15
// or 21), row-major, entry (o, c) weighting the pixel o - (n - 1) / 2 rows
// and c - (n - 1) / 2 columns away. The 7 x 7 and 13 x 13 tables are already
// normalised; the others hold integers.
//
// Returns the table of that size, or nullptr for any other size.
const float* KernelTable(int size);
