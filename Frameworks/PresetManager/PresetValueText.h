#pragma once

#include <string>

namespace presets {

// Parameter values as preset text, independent of the process locale: a host running in a
// locale with a decimal comma still writes and reads "0.5".

// The shortest form with six significant digits, as a default text stream writes a float
// ("0.5", "1", "0", "0.731", "1e-05").
std::string formatPresetValue(float value);

// Converts like the standard atof in the "C" locale: leading spaces, optional sign, digits with
// an optional decimal point and exponent (also "inf", "nan" and hexadecimal forms); text that
// starts with no number gives 0. Values beyond the float range become infinite.
float parsePresetValue(const char* text);

}  // namespace presets
