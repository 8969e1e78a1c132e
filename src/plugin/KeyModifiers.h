// The modifier byte of a VstKeyCode, from the float a host passes with
// effEditKeyDown / effEditKeyUp.
#pragma once

// Converted to an integer and cut to its low byte, as hosts expect; a value
// that has no integer (NaN, or outside int's range, where the conversion is
// undefined) means no modifiers.
inline unsigned char keyModifiersFromOpt(float opt) {
    if (!(opt >= -2147483648.0f && opt < 2147483648.0f)) return 0;
    return static_cast<unsigned char>(static_cast<int>(opt));
}
