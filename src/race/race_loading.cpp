// Start-up loading of the race: race lines, shared car assets, looks and camera tracks, all read
// through the asset archive. Runs once before the first frame; nothing here runs per frame.
#include <cstdio>
#include <cstring>
#include <string>

#include "assets/asset_file.h"
#include "assets/image.h"
#include "race/car.h"
#include "render/gl.h"
#include "render/mesh.h"

namespace ravelin {

namespace {

class AssetLineSource final : public LineSource {
public:
    explicit AssetLineSource(AssetFile& file) : file_(file) {}
    bool readLine(char* buffer, size_t capacity) override { return file_.readLine(buffer, capacity); }

private:
    AssetFile& file_;
};

constexpr const char* kBodyMeshes[kBodyMeshCount] = {"car", "car2", "car3"};
constexpr const char* kReflectionMeshes[kBodyMeshCount] = {"rf.ase", "rf2.ase", "rf3.ase"};
// What the lighter meshes add to the full one's name, by detail.
constexpr const char* kDetailSuffixes[kCarDetailCount] = {"", "_far", "_tiny", "_speck"};

uint32_t meshList(std::string_view stem) {
    Mesh mesh;
    return mesh.load(stem) ? mesh.list : 0;
}

void loadLightmap(Lightmap& lightmap) {
    Image image;
    lightmap.pixels.clear();
    if (!loadJpeg("textures\\lmap.jpg", image, false, 0) || !image.valid()) return;
    constexpr int n = Lightmap::kSize;
    // Only the red byte of each pixel is ever read; any picture at least 1024 × 1024 gives its
    // bottom-left corner, anything smaller leaves the cars fully lit.
    if (image.width < n || image.height < n || image.bytesPerPixel < 1 ||
        image.pixels.size() < static_cast<size_t>(image.rowLength) * image.height)
        return;
    lightmap.pixels.assign(static_cast<size_t>(n) * Lightmap::kRowBytes, 0);
    for (int row = 0; row < n; ++row) {
        const uint8_t* source = image.pixels.data() + static_cast<size_t>(row) * image.rowLength;
        uint8_t* target = lightmap.pixels.data() + static_cast<size_t>(row) * Lightmap::kRowBytes;
        for (int column = 0; column < n; ++column) {
            const uint8_t* pixel = source + static_cast<size_t>(column) * image.bytesPerPixel;
            for (int c = 0; c < 3; ++c) target[column * 3 + c] = pixel[image.bytesPerPixel >= 3 ? c : 0];
        }
    }
}

}  // namespace

bool loadRaceLine(RaceLine& line, std::string_view name) {
    AssetFile file;
    if (!file.openEntry(name)) return false;
    return parseRaceLine(line, file.data(), file.size());
}

bool loadRaceLines(RaceState& race) {
    bool all = true;
    for (int i = 0; i < kRaceLineCount; ++i) all = loadRaceLine(race.lines[i], kRaceLineFiles[i]) && all;
    return all;
}

bool loadCarAssets(CarAssets& assets, TextureCache& textures) {
    loadLightmap(assets.lightmap);
    assets.skybox.loadSkyBox("skybox");
    assets.chrome.load("chrome.jpg", textures);
    assets.specLevel.load("spec_level.jpg", textures);
    assets.illumination.load("illum.jpg", textures);
    // The illumination is a soft light pattern, its shortest wave some seventy texels long: without
    // mipmaps it reads the same, and the rasteriser skips the level-of-detail work on every pixel
    // of every body.
    if (assets.illumination.name != 0) {
        assets.illumination.bind();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    assets.shadow.load("sh.tga", textures);
    assets.tyre.load("tr.jpg", textures);
    assets.rim.load("wheel.tga", textures);
    for (int detail = 0; detail < kCarDetailCount; ++detail) {
        const std::string suffix = kDetailSuffixes[detail];
        if (detail != kCarSpeck) {  // the speck body has its wheels, and no helmet is drawn
            assets.wheelPass0[detail] = meshList("wheel_pass0" + suffix);
            assets.wheelPass1[detail] = meshList("wheel_pass1" + suffix);
            assets.helmet[detail] = meshList("helm" + suffix);
        }
        for (int i = 0; i < kBodyMeshCount; ++i)
            assets.bodyLists[i][detail] = compileObjectMesh(kBodyMeshes[i] + suffix + ".ase", true);
    }
    for (int i = 0; i < kBodyMeshCount; ++i) assets.reflectionLists[i] = compileObjectMesh(kReflectionMeshes[i], true);
    return assets.lightmap.valid();
}

bool loadCarLook(Car& car, std::string_view name, CarAssets& assets, TextureCache& textures) {
    AssetFile file;
    if (!file.openEntry(name)) return false;
    CarLook look;
    AssetLineSource source(file);
    parseCarLook(look, source);
    applyCarLook(car, look, assets);
    if (look.texture[0] != '\0') car.bodyTexture.load(look.texture, textures);
    if (look.helmet[0] != '\0') car.helmetTexture.load(look.helmet, textures);
    // Every shipped look casts the same shadow: compile each distinct mesh once.
    if (look.shadow[0] == '\0') {
        car.shadowList = 0;
    } else if (assets.shadowList != 0 && std::strcmp(assets.shadowName, look.shadow) == 0) {
        car.shadowList = assets.shadowList;
    } else {
        car.shadowList = compileObjectMesh(look.shadow, false);
        std::snprintf(assets.shadowName, sizeof assets.shadowName, "%s", look.shadow);
        assets.shadowList = car.shadowList;
    }
    return true;
}

bool loadCarLooks(RaceState& race, TextureCache& textures) {
    bool all = true;
    for (int k = 0; k < kCarCount; k += kLookCount)
        for (int i = 0; i < kLookCount; ++i)
            all = loadCarLook(race.cars[k + i], kLookFiles[i], race.assets, textures) && all;
    return all;
}

bool loadKeyframeTrack(KeyframeTrack& track, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "scene%d.txt", index);
    AssetFile file;
    if (!file.openEntry(name)) return false;
    AssetLineSource source(file);
    track.load(source);
    return track.prepare();
}

int loadKeyframeTracks(RaceState& race) {
    int prepared = 0;
    for (int i = 0; i < kTrackCount; ++i) prepared += loadKeyframeTrack(race.tracks[i], i) ? 1 : 0;
    return prepared;
}

}  // namespace ravelin
