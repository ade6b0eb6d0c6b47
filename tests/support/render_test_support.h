// Helpers of the renderer and run tests: byte builders for the mesh layouts, solid pictures and
// an in-memory archive installed as resource 119 of the fake platform (the GL window is in
// gl_window.h).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "assetgen.h"
#include "assets/asset_file.h"
#include "platform/fake/fake_platform.h"

namespace ravelin::testing {

struct Bytes {
    std::vector<uint8_t> b;
    Bytes& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes& f32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        return u32(v);
    }
    Bytes& v3(float x, float y, float z) { return f32(x).f32(y).f32(z); }
    Bytes& v2(float u, float v) { return f32(u).f32(v); }
    Bytes& tri(uint32_t a, uint32_t b2, uint32_t c) { return u32(a).u32(b2).u32(c); }
};

// A flat quad (two triangles) in the plane z = height from (x0, y0) to (x1, y1), one set of
// coordinates, upward normals, colour flag set with no colours, like the exported ground.
inline std::vector<uint8_t> quadSceneMesh(float x0, float y0, float x1, float y1, float height = 0) {
    Bytes m;
    m.v3(0, 0, 0).v3(0, 0, 1).f32(0);  // position, axis, angle
    m.u32(4).u32(2).u32(1).u32(1).u32(1);
    m.v3(x0, y0, height).v3(x1, y0, height).v3(x1, y1, height).v3(x0, y1, height);
    m.tri(0, 1, 2).tri(0, 2, 3);
    m.u32(4).v2(0, 0).v2(1, 0).v2(1, 1).v2(0, 1).tri(0, 1, 2).tri(0, 2, 3);
    m.u32(0);  // K = 0
    for (int i = 0; i < 6; ++i) m.v3(0, 0, 1);
    m.v3(x0 < x1 ? x0 : x1, y0 < y1 ? y0 : y1, height).v3(x0 < x1 ? x1 : x0, y0 < y1 ? y1 : y0, height);
    return m.b;
}

// Solid-colour pictures in the two shipped formats.
inline std::vector<uint8_t> solidJpeg(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < w * h; ++i) rgb.insert(rgb.end(), {r, g, b});
    return assetgen::encodeJpeg(rgb, w, h, 95, false);
}
inline std::vector<uint8_t> solidTga(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    std::vector<uint8_t> rgba;
    for (int i = 0; i < w * h; ++i) rgba.insert(rgba.end(), {r, g, b, a});
    return assetgen::encodeTga32(rgba, w, h);
}

class TestArchive {
public:
    TestArchive& add(const std::string& name, std::vector<uint8_t> bytes) {
        files_.push_back({name, std::move(bytes)});
        return *this;
    }
    TestArchive& text(const std::string& name, const std::string& text) {
        return add(name, std::vector<uint8_t>(text.begin(), text.end()));
    }
    void install(FakePlatform& fake) const {
        fake.addResource("CustomData", kArchiveResourceId, assetgen::packArchive(files_));
    }

private:
    std::vector<assetgen::AssetSink::File> files_;
};

}  // namespace ravelin::testing
