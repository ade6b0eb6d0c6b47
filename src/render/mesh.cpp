#include "render/mesh.h"

#include <string>

#include "assets/asset_file.h"
#include "render/gl.h"
#include "render/mesh_format.h"

namespace ravelin {
namespace {

class GlEmitter final : public MeshEmitter {
public:
    void texCoord(float u, float v) override {
        const GLfloat uv[2] = {u, v};
        glTexCoord2fv(uv);
    }
    void multiTexCoord(int unit, float u, float v) override {
        const GLfloat uv[2] = {u, v};
        glExtensions().multiTexCoord2fv(GL_TEXTURE0_ARB + unit, uv);
    }
    void colour(float r, float g, float b) override {
        const GLfloat rgb[3] = {r, g, b};
        glColor3fv(rgb);
    }
    void normal(float x, float y, float z) override {
        const GLfloat n[3] = {x, y, z};
        glNormal3fv(n);
    }
    void vertex(float x, float y, float z) override {
        const GLfloat p[3] = {x, y, z};
        glVertex3fv(p);
    }
};

// The object meshes use the scalar entry points.
class GlObjectEmitter final : public MeshEmitter {
public:
    void texCoord(float u, float v) override { glTexCoord2f(u, v); }
    void multiTexCoord(int unit, float u, float v) override {
        glExtensions().multiTexCoord2f(GL_TEXTURE0_ARB + unit, u, v);
    }
    void colour(float r, float g, float b) override { glColor3f(r, g, b); }
    void normal(float x, float y, float z) override { glNormal3f(x, y, z); }
    void vertex(float x, float y, float z) override { glVertex3f(x, y, z); }
};

void beginList(GLuint list) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
}

void endList() {
    glEnd();
    glEndList();
    glPopMatrix();
    glFinish();
}

}  // namespace

bool Mesh::load(std::string_view stem) {
    std::string path = "meshes\\";
    path += stem;
    path += ".dat";
    AssetFile file;
    SceneMeshData data;
    // A missing or damaged file gives an empty mesh: no list, nothing drawn.
    if (!file.openEntry(path) || !parseSceneMesh(file.data(), file.size(), data)) return false;
    bbMin = {data.bbMin[0], data.bbMin[1], data.bbMin[2]};
    bbMax = {data.bbMax[0], data.bbMax[1], data.bbMax[2]};
    centre = bbMin + (bbMax - bbMin) * 0.5f;
    halfExtent = (bbMax - bbMin) * 0.5f;
    GLuint id = glGenLists(1);
    if (id == 0) return false;
    beginList(id);
    GlEmitter emitter;
    emitSceneMesh(data, multitextureAvailable(), emitter);
    endList();
    list = id;
    return true;
}

void Mesh::drawIfVisible(const Frustum& frustum) const {
    if (list != 0 && boxVisible(frustum, centre, halfExtent)) glCallList(list);
}

uint32_t compileObjectMesh(std::string_view aseName, bool secondSet) {
    if (aseName.size() < 3) return 0;
    std::string path = "meshes\\";
    path += aseName.substr(0, aseName.size() - 3);
    path += "dat";
    AssetFile file;
    ObjectMeshData data;
    if (!file.openEntry(path) || !parseObjectMesh(file.data(), file.size(), secondSet, data)) return 0;
    GLuint id = glGenLists(1);
    if (id == 0) return 0;
    beginList(id);
    GlObjectEmitter emitter;
    emitObjectMesh(data, multitextureAvailable(), emitter);
    endList();
    return id;
}

}  // namespace ravelin
