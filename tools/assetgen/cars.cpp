// Content generator module: the three car bodies and their reflection shells, wheels, helmet,
// shadow, the six liveries and helmets, the shared car pictures and the six car looks.
#include <cstdio>
#include <string>
#include <utility>

#include "assetgen.h"
#include "cars_model.h"
#include "cars_paint.h"

namespace assetgen {
namespace {

std::vector<uint8_t> jpeg(const cars::Picture& p, int quality, bool progressive) {
    return encodeJpeg(p.pixels, p.width, p.height, quality, progressive);
}

}  // namespace

void generateCars(AssetSink& sink) {
    const char* bodyNames[3] = {"car", "car2", "car3"};
    const char* shellNames[3] = {"rf", "rf2", "rf3"};
    for (int body = 0; body < 3; ++body) {
        cars::CarModel model = cars::buildBody(body);
        sink.addArchiveFile(std::string("meshes\\") + bodyNames[body] + ".dat", writeObjectMesh(cars::bodyMesh(model)));
        sink.addArchiveFile(std::string("meshes\\") + shellNames[body] + ".dat", writeObjectMesh(cars::shellMesh(model)));
    }
    sink.addArchiveFile("meshes\\wheel_pass0.dat", writeSceneMesh(cars::tyreMesh()));
    sink.addArchiveFile("meshes\\wheel_pass1.dat", writeSceneMesh(cars::rimMesh()));
    sink.addArchiveFile("meshes\\helm.dat", writeSceneMesh(cars::helmetMesh()));
    // The lighter meshes the runtime draws for cars that show small and tiny, and the single
    // mesh (wheels built in) for cars a dozen pixels long.
    const std::pair<const char*, const cars::Detail*> lighter[2] = {{"_far", &cars::kFarDetail},
                                                                   {"_tiny", &cars::kTinyDetail}};
    for (int body = 0; body < 3; ++body)
        sink.addArchiveFile(std::string("meshes\\") + bodyNames[body] + "_speck.dat",
                            writeObjectMesh(cars::bodyMesh(cars::buildBody(body, cars::kSpeckDetail))));
    for (const auto& [suffix, detail] : lighter) {
        for (int body = 0; body < 3; ++body)
            sink.addArchiveFile(std::string("meshes\\") + bodyNames[body] + suffix + ".dat",
                                writeObjectMesh(cars::bodyMesh(cars::buildBody(body, *detail))));
        sink.addArchiveFile(std::string("meshes\\wheel_pass0") + suffix + ".dat", writeSceneMesh(cars::tyreMesh(*detail)));
        sink.addArchiveFile(std::string("meshes\\wheel_pass1") + suffix + ".dat", writeSceneMesh(cars::rimMesh(*detail)));
        sink.addArchiveFile(std::string("meshes\\helm") + suffix + ".dat", writeSceneMesh(cars::helmetMesh(*detail)));
    }
    sink.addArchiveFile("meshes\\shadow.dat", writeObjectMesh(cars::shadowMesh()));

    const auto& designs = cars::liveryDesigns();
    for (size_t i = 0; i < designs.size(); ++i) {
        const cars::LiveryDesign& d = designs[i];
        // Mixed encodings on purpose: the loader must take both.
        sink.addArchiveFile(std::string("textures\\") + d.texture, jpeg(cars::paintLivery(d), 90, i % 2 == 1));
        sink.addArchiveFile(std::string("textures\\") + d.helmet, jpeg(cars::paintHelmet(static_cast<int>(i)), 90, false));
        char look[512];
        std::snprintf(look, sizeof look, "bodymesh %d\r\ntexture %s\r\nhelmet %s\r\nshadow shadow.ase\r\n", d.body, d.texture,
                      d.helmet);
        sink.addArchiveText(std::string("vcl\\") + d.look + ".txt", look);
    }
    sink.addArchiveFile("textures\\tr.jpg", jpeg(cars::paintTyre(), 88, false));
    cars::Picture rim = cars::paintRim();
    sink.addArchiveFile("textures\\wheel.tga", encodeTga32(rim.pixels, rim.width, rim.height));
    sink.addArchiveFile("textures\\chrome.jpg", jpeg(cars::paintChrome(), 90, false));
    sink.addArchiveFile("textures\\spec_level.jpg", jpeg(cars::paintShineMask(), 90, false));
    sink.addArchiveFile("textures\\illum.jpg", jpeg(cars::paintIllumination(), 90, true));
    cars::Picture shadow = cars::paintShadow();
    sink.addArchiveFile("textures\\sh.tga", encodeTga32(shadow.pixels, shadow.width, shadow.height));
}

}  // namespace assetgen
