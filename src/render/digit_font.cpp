#include "render/digit_font.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "render/gl.h"
#include "render/gl_helpers.h"

namespace ravelin {

void formatTime(int hour, int minute, int second, bool twelveHour, char* out, int capacity) {
    bool pm = hour == 12;
    if (twelveHour && hour == 0) hour = 12;
    if (twelveHour && hour > 12) {
        hour -= 12;
        pm = true;
    }
    std::snprintf(out, static_cast<size_t>(capacity), "%s%d:%s%d:%s%d%s", hour < 10 ? "0" : "", hour,
                  minute < 10 ? "0" : "", minute, second < 10 ? "0" : "", second,
                  twelveHour ? (pm ? "<" : ";") : "");
}

void DigitFont::createFont(TextureCache& textures) {
    texture.load("c.jpg", textures);
    listBase = glGenLists(13);
    texture.bind();
    for (int i = 0; i < 13; ++i) {
        const float s0 = 0.25f * static_cast<float>(i % 4), s1 = s0 + 0.25f;
        const float t1 = 1.0f - 0.25f * static_cast<float>(i / 4), t0 = t1 - 0.25f;
        glNewList(listBase + i, GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(s0, t0);
        glVertex2i(0, 0);
        glTexCoord2f(s1, t0);
        glVertex2i(40, 0);
        glTexCoord2f(s1, t1);
        glVertex2i(40, 40);
        glTexCoord2f(s0, t1);
        glVertex2i(0, 40);
        glEnd();
        glTranslatef(28, 0, 0);  // glyphs overlap by 12 units
        glEndList();
    }
}

void DigitFont::setNumber(int n) { std::snprintf(text, sizeof text, "%d", n); }

void DigitFont::setTime(bool twelveHour) {
    LocalTime now = platform().localTime();
    formatTime(now.hour, now.minute, now.second, twelveHour, text, sizeof text);
}

void DigitFont::drawText(float x, float y) const {
    if (listBase == 0) return;
    glPushMatrix();
    glTranslatef(x, y, 0);
    // Characters '0' … '<' select the lists listBase … listBase + 12.
    glListBase(listBase - 48);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_BYTE, text);
    glPopMatrix();
}

void DigitFont::drawOverlay(float dt, const OverlaySwitches& switches) {
    framesThisSecond += 1;
    secondAccumulator += dt;
    if (secondAccumulator > 1) {
        shownFps = framesThisSecond;
        framesThisSecond = 0;
        secondAccumulator -= 1;
    }
    setNumber(shownFps);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_LIGHTING);
    glColor4f(1, 1, 1, 0.5f);
    enterOverlayProjection();
    texture.bind();
    if (switches.showFps) drawText(0, 560);
    setTime(switches.twelveHour);
    if (switches.showClock) drawText(520, 10);
    leaveOverlayProjection();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LIGHTING);
}

}  // namespace ravelin
