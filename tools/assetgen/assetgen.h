// The content generator's shared vocabulary: where generated files go, the picture and mesh
// encoders, and the modules that make each part of the content. main.cpp calls every module in
// a fixed order; each module adds files to the sink and nothing else (same input → same bytes:
// no clocks, no unseeded randomness, no hash-ordered containers in output paths).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

constexpr double kPi = 3.14159265358979323846;
// The same in single precision, for the modules that compute in float.
constexpr float kPiF = static_cast<float>(kPi);

struct V3 {
    float x = 0, y = 0, z = 0;
};
// Vector arithmetic on V3 shared by the generator's modules.
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(float s, V3 a) { return {s * a.x, s * a.y, s * a.z}; }
inline float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

struct V2 {
    float u = 0, v = 0;
};

// Collects every generated file. Archive names use '\' separators ("textures\road.jpg");
// loose files are resource blobs and bitmaps written beside the archive in the output folder.
class AssetSink {
public:
    void addArchiveFile(const std::string& name, std::vector<uint8_t> bytes);
    void addArchiveText(const std::string& name, const std::string& text);  // as given (use \r\n)
    void addLooseFile(const std::string& fileName, std::vector<uint8_t> bytes);
    // Entries in the order added (the packer keeps that order, directories first).
    struct File {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    const std::vector<File>& archiveFiles() const { return archive_; }
    const std::vector<File>& looseFiles() const { return loose_; }
    bool hasArchiveFile(const std::string& name) const;  // runtime rules: any case, '\' or '/'
    // Moves other's files to the end of this sink, in their order (main.cpp merges modules).
    void append(AssetSink&& other);

private:
    std::vector<File> archive_;
    std::vector<File> loose_;
};

// Pictures: pixels top row first (as painted), RGB 3 bytes or RGBA 4 bytes per pixel.
std::vector<uint8_t> encodeJpeg(const std::vector<uint8_t>& rgb, int width, int height, int quality,
                                bool progressive);
std::vector<uint8_t> encodeTga32(const std::vector<uint8_t>& rgba, int width, int height);  // type 2, desc 0x08
std::vector<uint8_t> encodeBmp24(const std::vector<uint8_t>& rgb, int width, int height);   // for bitmaps

// Sound: one float sample vector per channel (-1 … 1, all the same length) to an Ogg Vorbis file
// in memory at the given quality (-0.1 … 1); a fixed stream serial, so the same input gives the
// same bytes. Empty when the encoder refuses the parameters.
std::vector<uint8_t> encodeVorbis(const std::vector<float>* channels, int channelCount, int rate, float quality);

// Scene-mesh layout ("meshes\<stem>.dat"): world-space vertices, per-corner normals already in
// the frame the loader's rotation (axis, -angle) turns into world space.
struct SceneMesh {
    std::vector<V3> vertices;
    std::vector<uint32_t> faces;  // 3 per face
    std::vector<V2> uv0;          // per corner index arrays below
    std::vector<uint32_t> uv0Faces;
    std::vector<V2> uv1;  // optional second set (lightmap); empty = one set
    std::vector<uint32_t> uv1Faces;
    std::vector<V3> cornerNormals;  // 3 per face, may be empty (then no normals)
    std::vector<V3> colours;        // optional per-corner colours (baked light): K entries
    std::vector<uint32_t> colourFaces;  // 3 per face into colours
    V3 rotationAxis{0, 0, 1};
    float rotationAngle = 0;  // radians
    bool colourFlag = true;   // flag 1; K = colours.size(): a set flag with K = 0 means no colours
};
std::vector<uint8_t> writeSceneMesh(const SceneMesh& mesh);  // bounding box computed here

// The normal to store so that the scene-mesh loader's rotation (axis, -angle) brings back the
// world-space normal n.
V3 normalForLoader(const V3& n, const V3& axis, float angle);

// Object-mesh layout ("meshes\car.dat"): vertices, faces, first UV set, optional second set,
// per-corner normals.
struct ObjectMesh {
    std::vector<V3> vertices;
    std::vector<uint32_t> faces;
    std::vector<uint32_t> uvFaces;
    std::vector<V2> uv;
    bool hasSecondSet = false;
    std::vector<uint32_t> uv2Faces;
    std::vector<V2> uv2;
    std::vector<V3> cornerNormals;  // 3 per face
};
std::vector<uint8_t> writeObjectMesh(const ObjectMesh& mesh);

// Stored-only RAR archive of the sink's archive files (marker, main header, directory entries,
// one stored entry per file, end block).
std::vector<uint8_t> packArchive(const std::vector<AssetSink::File>& files);
// The archive's CRC-32 (reflected 0xEDB88320, start ~0, result complemented).
uint32_t crc32(const uint8_t* data, size_t size);

// Modules, merged in this order by main.cpp. generateWorld runs on a thread of its own beside
// the others (which run one after the other on the main thread): it must keep all its state
// local, and the other modules must not touch shared mutable state it could see either.
void generateWorld(AssetSink& sink);         // circuit, race lines, scenery, lightmap, sky, techniques, scenes
void generatePictures(AssetSink& sink);      // flare, glyphs, loading screen, bitmaps, icon, UI pictures
void generateCars(AssetSink& sink);          // bodies, shells, wheels, helmet, shadow, liveries, car looks
void generateCameraMoves(AssetSink& sink);   // scene0.txt … scene16.txt
void generateSounds(AssetSink& sink);        // low/med/max.ogg, music.ogg

}  // namespace assetgen
