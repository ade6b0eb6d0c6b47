// GL set-up of the full-screen run: the initial fixed-function state, the extension table
// (multitexture and swap control through the platform's proc-address lookup) and the gamma ramp.
// Called once by the run after the main window's context is current; the ramp maths is pure.
#pragma once

#include <cstdint>

namespace ravelin {

struct GlSetupOptions {
    // Pretend ARB multitexture is missing: every drawing path then takes its single-texture
    // branch (used to check that branch on drivers that do have the extension).
    bool forceSingleTexture = false;
};

// Sets the state table, fills glExtensions(), turns the swap interval off and, unless
// defGamma, applies the ramp for the stored gamma. Always true.
bool setUpGl(const GlSetupOptions& options, int32_t storedGamma, bool defGamma);

// Fills the extension table only (tests, and runs that keep their own state).
void lookUpGlExtensions(bool forceSingleTexture);

// The exponent for a stored Gamma value: 1 - ((G - 50) / 50) * 0.5. Values outside the
// dialog's range 0 … 100 are clamped first, so a damaged store cannot give absurd exponents.
float gammaExponent(int32_t storedGamma);

constexpr int kGammaRampEntries = 768;  // red, green, blue: 256 each
// ramp[c * 256 + i] = integer part of (i / 256)^x * 65536 for the channel's exponent x, held
// within 0 … 65535 whatever the exponent.
void computeGammaRamp(float red, float green, float blue, uint16_t* ramp);
// Computes the ramp and hands it to the platform; false when the display refused it.
bool applyGamma(float red, float green, float blue);

}  // namespace ravelin
