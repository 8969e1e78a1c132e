// Orvel's host parameters in the units its editor shows them in (dB, Hz,
// ms, %), worked out by the product's own parameter model, engine and
// editor readouts on a private instance, at 44100 Hz and 120 BPM.
#pragma once

#include <array>
#include <string>

constexpr int kOrvelHostParameters = 38;

// values: the normalised values of parameters 0..37. The text for each is
// empty where the editor shows no number for it.
std::array<std::string, kOrvelHostParameters> orvelReadouts(const std::array<float, kOrvelHostParameters>& values);
