// The car drawing passes, in the frame composition's order: brightness and culling, shadows,
// body, reflection, tyres, rims, helmets, then the state the rest of the frame expects.
#include <cmath>

#include "base/random.h"
#include "race/car.h"
#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {

namespace {

constexpr float kCarScale = 0.0011f;
constexpr float kShadowScale = 0.003f;
// Cars whose bounds show with a smaller radius than this (pixels: the car about 65 pixels from
// nose to tail; most of the field in most shots) skip the sky's reflection on the body and the
// chrome on the helmet, a second pass over all their vertices for a gloss that covers a few
// pixels, and are drawn from the lighter body, wheel and helmet meshes, whose coarser facets and
// merged wishbone legs stay under a pixel at that size.
constexpr float kSmallRadius = 24.0f;
// Under this one (the car about 30 pixels long, a wheel 5 across) the tiny meshes: rough
// profiles and no parts under a pixel, for three fifths of the far meshes' triangles.
constexpr float kTinyRadius = 12.0f;
// Under this one (the car about a dozen pixels long, a wheel two across) the speck body, where the
// archive has one: its wheels are drums built into it, so the car is one draw instead of ten.
constexpr float kSpeckRadius = 6.0f;

int detailOf(const Car& car) {
    if (car.screenRadius < kSpeckRadius && car.bodyLists[kCarSpeck] != 0) return kCarSpeck;
    return car.screenRadius < kTinyRadius ? kCarTiny : car.screenRadius < kSmallRadius ? kCarFar : kCarFull;
}
// Wheels and helmet are drawn on their own but for specks.
bool drawsWheels(const Car& car) { return car.visible && detailOf(car) != kCarSpeck; }
bool showsSmall(const Car& car) { return detailOf(car) != kCarFull; }

void activeUnit(int unit) { glExtensions().activeTexture(GL_TEXTURE0_ARB + unit); }

void specular(float r, float g, float b) {
    const GLfloat value[4] = {r, g, b, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, value);
}

void ambient(float level) {
    const GLfloat value[4] = {level, level, level, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, value);
}

void placement(const Car& car) {
    glTranslatef(car.frame.position.x, car.frame.position.y, car.frame.position.z);
    frameMatrix(car.frame);
    glScalef(kCarScale, kCarScale, kCarScale);
}

// Unit 1's texture matrix slides the illumination texture with the car's place on the ground.
void illuminationMatrix(const Car& car) {
    activeUnit(1);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(car.lightmapCoord.x, car.lightmapCoord.y, car.lightmapCoord.z);
    glScalef(0.003f, 0.003f, 1.0f);
    frameMatrix(car.frame);
    glMatrixMode(GL_MODELVIEW);
    selectTextureUnit(0);
}

void drawWheels(const Car& car, uint32_t list, bool rims) {
    for (int i = 0; i < 4; ++i) {
        const float b = car.brightness[i];
        if (rims) {
            glColor3f(b, b, b);
            specular(b - 0.9f, b - 0.9f, b - 0.9f);
        } else {
            specular(b - 0.5f, b - 0.5f, b - 0.5f);
        }
        glPushMatrix();
        const Vec3 w = car.wheelPositions[i];
        glTranslatef(w.x, w.y, w.z);
        if (i < 2) glRotatef(car.frame.steer, 0.0f, 0.0f, 1.0f);
        if (i == 0 || i == 2) glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
        const float k = (i == 0 || i == 2) ? -360.0f : 360.0f;  // ten turns per segment
        glRotatef(car.t * k * 10.0f, 1.0f, 0.0f, 0.0f);
        callList(list);
        glPopMatrix();
    }
}

void sphereMapGeneration(bool on) {
    if (on) {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

// Brightness and culling for every car before any is drawn.
void prepareCars(std::array<Car, kCarCount>& cars, const Lightmap& lightmap, const Frustum& frustum) {
    for (Car& car : cars) prepareCarForDrawing(car, frustum, lightmap);
}

// Blob shadows, visible cars or not (a shadow can reach into view from a car outside it).
void drawShadows(const std::array<Car, kCarCount>& cars, const CarAssets& assets) {
    assets.shadow.bind();
    // The same state for every shadow: set once around the loop, not per car.
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const Car& car : cars) {
        glPushMatrix();
        glTranslatef(car.frame.position.x, car.frame.position.y, car.frame.position.z);
        frameMatrix(car.frame);
        glScalef(kShadowScale, kShadowScale, kShadowScale);
        callList(car.shadowList);
        glPopMatrix();
    }
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

// Bodies under the overhead spot light, with the illumination texture sliding on unit 1.
void drawBodies(const std::array<Car, kCarCount>& cars, const CarAssets& assets) {
    const bool multi = multitextureAvailable();
    const GLfloat lightPosition[4] = {6000.0f, 6000.0f, 14000.0f, 1.0f};
    const GLfloat spotDirection[3] = {0.0f, 0.0f, -1.0f};
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
    glLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, spotDirection);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT1);
    ambient(0.2f);
    if (multi) {
        selectTextureUnit(1);
        assets.illumination.bind();
        selectTextureUnit(0);
    }
    glDepthFunc(GL_LESS);
    for (const Car& car : cars) {
        if (!car.visible) continue;
        glPushMatrix();
        placement(car);
        if (multi) illuminationMatrix(car);
        car.bodyTexture.bind();
        callList(car.bodyLists[detailOf(car)]);
        glPopMatrix();
    }
}

// Reflection vectors come out in eye space; the transposed view rotation takes them back to the
// world, turned so the sky box's up (its Y) is the world's Z.
void loadReflectionTextureMatrix() {
    Matrix4 modelview;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    Matrix4 turn;  // −90° about X
    turn.m[5] = 0.0f;
    turn.m[6] = -1.0f;
    turn.m[9] = 1.0f;
    turn.m[10] = 0.0f;
    const Matrix4 product = multiply(modelview, turn);
    Matrix4 transposed;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) transposed.m[c * 4 + r] = product.m[r * 4 + c];
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(transposed.m);
    glMatrixMode(GL_MODELVIEW);
}

// The sky box reflected in the bodies, added over them.
void drawReflections(const std::array<Car, kCarCount>& cars, const CarAssets& assets) {
    const bool multi = multitextureAvailable();
    ambient(0.1f);
    if (multi) selectTextureUnit(0);
    assets.skybox.bindCube();
    glEnable(GL_TEXTURE_CUBE_MAP);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
    loadReflectionTextureMatrix();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    if (multi) selectTextureUnit(1);
    for (const Car& car : cars) {
        if (!car.visible || showsSmall(car)) continue;
        glPushMatrix();
        placement(car);
        if (multi) illuminationMatrix(car);
        callList(car.reflectionList);
        glPopMatrix();
    }
}

// Tyres, lit by the ground under each wheel.
void drawTyres(const std::array<Car, kCarCount>& cars, const CarAssets& assets) {
    const bool multi = multitextureAvailable();
    // The reflection's cube map and generation live on unit 0; select it first so that a frame
    // without visible cars (which leaves unit 1 active) still turns them off.
    if (multi) activeUnit(0);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    ambient(0.2f);
    if (multi) {
        selectTextureUnit(0);
        glDisable(GL_TEXTURE_CUBE_MAP);
        resetTextureUnits();
    }
    resetTextureMatrix();
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMaterialf(GL_FRONT, GL_SHININESS, 10.0f);
    assets.tyre.bind();
    for (const Car& car : cars) {
        if (!drawsWheels(car)) continue;
        glPushMatrix();
        placement(car);
        drawWheels(car, listForDetail(assets.wheelPass0, detailOf(car)), false);
        glPopMatrix();
    }
}

// Rims blended over the tyres.
void drawRims(const std::array<Car, kCarCount>& cars, const CarAssets& assets) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMaterialf(GL_FRONT, GL_SHININESS, 6.0f);
    assets.rim.bind();
    for (const Car& car : cars) {
        if (!drawsWheels(car)) continue;
        glPushMatrix();
        placement(car);
        drawWheels(car, listForDetail(assets.wheelPass1, detailOf(car)), true);
        glPopMatrix();
    }
}

// The driver's lean into a turn; a hard one shakes with a fresh jitter every frame.
float helmetLean(const Car& car, Random& random) {
    float lean = car.frame.steer * -1.5f;
    if (std::fabs(lean) > 5.0f) lean += random.unit() * 6.0f - 3.0f;
    return lean;
}

// One helmet: turned with the steering and leaning into it, textured, then a chrome sphere-map
// layer added on top.
void drawHelmet(const Car& car, const CarAssets& assets, float lean) {
    const bool multi = multitextureAvailable();
    glPushMatrix();
    glTranslatef(car.helmetOffset.x, car.helmetOffset.y, car.helmetOffset.z);
    glRotatef(car.frame.steer * 0.5f, 0.0f, 0.0f, 1.0f);
    glRotatef(lean, 0.0f, 1.0f, 0.0f);
    car.helmetTexture.bind();
    const float b = car.brightness[4];
    specular(b - 0.5f, b - 0.5f, b - 0.5f);
    glColor3f(b, b, b);
    if (multi) {
        activeUnit(1);
        glDisable(GL_TEXTURE_2D);
        selectTextureUnit(0);
    }
    glDepthFunc(GL_LESS);
    const int detail = detailOf(car);
    callList(listForDetail(assets.helmet, detail));
    specular(0.0f, 0.0f, 0.0f);
    if (detail != kCarFull) {
        // The depth test the chrome layer would have left, so every car leaves the same state.
        glDepthFunc(GL_LEQUAL);
        glPopMatrix();
        return;
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    if (multi) selectTextureUnit(0);
    sphereMapGeneration(true);
    assets.chrome.bind();
    if (multi) {
        selectTextureUnit(1);
        assets.specLevel.bind();
    }
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_LIGHTING);
    callList(assets.helmet[kCarFull]);
    glEnable(GL_LIGHTING);
    glPopMatrix();
}

// The drivers' helmets, each drawn in its car's place.
void drawHelmets(const std::array<Car, kCarCount>& cars, const CarAssets& assets) {
    const bool multi = multitextureAvailable();
    if (multi) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    resetTextureMatrix();
    glMaterialf(GL_FRONT, GL_SHININESS, 6.0f);
    if (multi) {
        selectTextureUnit(1);
        resetTextureMatrix();
        selectTextureUnit(0);
        resetTextureUnits();
    }
    glDepthMask(GL_TRUE);
    Random& random = rng();
    for (const Car& car : cars) {
        if (!car.visible) continue;
        // A speck shows no helmet but takes its jitter all the same, so the random stream does
        // not depend on how far away the cars are.
        const float lean = helmetLean(car, random);
        if (!drawsWheels(car)) continue;
        glPushMatrix();
        placement(car);
        drawHelmet(car, assets, lean);
        if (multi) resetTextureUnits();
        sphereMapGeneration(false);
        glDisable(GL_BLEND);
        glPopMatrix();
    }
}

// The state the rest of the frame expects after the car passes.
void leaveCarState() {
    if (multitextureAvailable()) {
        selectTextureUnit(1);
        glDisable(GL_TEXTURE_CUBE_MAP);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        selectTextureUnit(0);
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    resetTextureUnits();
}

}  // namespace

void drawCars(std::array<Car, kCarCount>& cars, const CarAssets& assets, const Frustum& frustum) {
    // The car meshes are closed and wound outwards: their back faces are never seen, so they are
    // not shaded (whatever culling the land's last block left).
    glEnable(GL_CULL_FACE);
    prepareCars(cars, assets.lightmap, frustum);
    drawShadows(cars, assets);
    drawBodies(cars, assets);
    drawReflections(cars, assets);
    drawTyres(cars, assets);
    drawRims(cars, assets);
    drawHelmets(cars, assets);
    leaveCarState();
}

}  // namespace ravelin
