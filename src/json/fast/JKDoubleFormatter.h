#pragma once

#include <cstddef>

// Writes a finite double exactly as printf's "%.17g" does in the C locale (17 significant digits,
// trailing zeros dropped, an exponent of at least two digits), whatever the process locale is.
// `out` needs room for 32 bytes; answers the length written.
size_t JKFormatDouble(double value, char* out);
