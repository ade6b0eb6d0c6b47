#include "render/technique.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "assets/asset_file.h"
#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {
namespace {

bool startsWith(const char* line, const char* keyword) { return std::strncmp(line, keyword, std::strlen(keyword)) == 0; }

class TextureLoader final : public TextureLineHandler {
public:
    explicit TextureLoader(TextureCache& cache) : cache_(cache) {}
    void textureLine(Technique& technique, int unit, const char* pictureName) override {
        technique.textures[unit].load(pictureName, cache_);
    }

private:
    TextureCache& cache_;
};

}  // namespace

void parseTechnique(AssetFile& file, Technique& t, TextureLineHandler* onTexture) {
    char line[128];
    char pictureName[128] = "";
    // One number variable for "texture", "pass" and "tiled": a line without a number keeps
    // the last one.
    int number = 0;
    for (;;) {
        if (file.position() >= file.size()) break;
        line[0] = '\0';
        file.readLine(line, sizeof line);
        if (startsWith(line, "alphablend")) {
            t.blendKind = BlendKind::Alpha;
            t.blendEnabled = true;
        }
        if (startsWith(line, "addblend")) {
            t.blendKind = BlendKind::Additive;
            t.blendEnabled = true;
        }
        if (startsWith(line, "multblend")) {
            t.blendKind = BlendKind::Multiplicative;
            t.blendEnabled = true;
        }
        if (startsWith(line, "texture")) {
            std::sscanf(line, "texture %d %127s", &number, pictureName);
            // The technique holds two units; other numbers name nothing it could keep.
            if (number == 0 || number == 1) {
                t.textured = true;
                if (number > 0) t.secondTexture = true;
                if (onTexture) onTexture->textureLine(t, number, pictureName);
            }
        }
        if (startsWith(line, "pass")) {
            std::sscanf(line, "pass %d", &number);
            if (number <= 0)
                t.firstPass = true;
            else
                t.depthWrite = false;
        }
        if (startsWith(line, "2sided")) t.twoSided = true;
        if (startsWith(line, "lighted")) t.lighted = true;
        if (startsWith(line, "alpha test")) t.alphaTest = true;
        if (startsWith(line, "tiled")) {
            std::sscanf(line, "tiled %d", &number);
            t.tiled = true;
            t.tileCount = number;
        }
        // Depth testing and writing are on in every technique, so the keywords name what a block
        // switches off: "depth test" is how ground layers painted in order (grass, road, its
        // detail pass) skip the test, not a request for it.
        if (startsWith(line, "depth test")) t.depthTest = false;
        if (startsWith(line, "depth write")) t.depthWrite = false;
        if (startsWith(line, "end")) break;
    }
}

void Technique::load(std::string_view name, TextureCache& textures) {
    std::string path = "technique\\";
    path += name;
    AssetFile file;
    if (!file.openEntry(path)) return;
    TextureLoader loader(textures);
    parseTechnique(file, *this, &loader);
}

void Technique::apply() const {
    const bool multi = multitextureAvailable();
    if (lighted)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    if (blendEnabled)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    switch (blendKind) {
    case BlendKind::Additive:
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    case BlendKind::Multiplicative:
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
    case BlendKind::Alpha:
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    }
    resetTextureUnits();
    resetTextureMatrix();
    glColor4f(1, 1, 1, 1);
    if (tiled) {
        glMatrixMode(GL_TEXTURE);
        glScalef(static_cast<float>(tileCount), static_cast<float>(tileCount), static_cast<float>(tileCount));
        glMatrixMode(GL_MODELVIEW);
    }
    if (twoSided)
        glDisable(GL_CULL_FACE);
    else
        glEnable(GL_CULL_FACE);
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        textures[0].bind();
        if (secondTexture && multi) {
            glExtensions().activeTexture(GL_TEXTURE1_ARB);
            glEnable(GL_TEXTURE_2D);
            resetTextureMatrix();
            textures[1].bind();
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        }
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    if (depthTest)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    glDepthMask(depthWrite ? GL_TRUE : GL_FALSE);
    if (alphaTest) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.4f);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    glDepthFunc(firstPass ? GL_LESS : GL_LEQUAL);
}

}  // namespace ravelin
