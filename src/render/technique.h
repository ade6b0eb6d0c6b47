// Technique: the fixed-function render state of one render block, read from a small text file
// under "technique\" and applied before the block's meshes are drawn. Scene descriptions own
// their techniques; the textures live in the texture cache.
#pragma once

#include <string_view>

#include "render/texture.h"

namespace ravelin {

class AssetFile;

// How a block's colour combines with what is behind it (the blend function; blending itself is
// switched by blendEnabled).
enum class BlendKind {
    Alpha,           // "alphablend": source over the destination by the source's alpha
    Additive,        // "addblend": the source, weighted by its alpha, added to the destination
    Multiplicative,  // "multblend": the destination times the source (a detail layer darkens)
};

struct Technique {
    bool blendEnabled = false;
    bool textured = false;
    bool firstPass = false;
    bool lighted = false;
    bool twoSided = false;
    bool secondTexture = false;
    bool alphaTest = false;
    bool depthWrite = true;
    bool tiled = false;
    bool depthTest = true;
    Texture textures[2];
    BlendKind blendKind = BlendKind::Alpha;
    int tileCount = 0;

    // Reads "technique\" + name, its pictures through the cache; a missing file leaves the
    // defaults.
    void load(std::string_view name, TextureCache& textures);
    // Sets the GL state (never restores the previous one).
    void apply() const;
};

// Receives each texture line of a technique file as it is read: unit 0 or 1 (other units are
// ignored) and the picture name. load() loads the picture; the fuzzer only counts.
class TextureLineHandler {
public:
    virtual void textureLine(Technique& technique, int unit, const char* pictureName) = 0;

protected:
    ~TextureLineHandler() = default;
};

// The grammar without GL: fills the flags from an open file and reports each texture line
// through onTexture, which may be null. Used by load and by the fuzzer.
void parseTechnique(AssetFile& file, Technique& technique, TextureLineHandler* onTexture);

}  // namespace ravelin
