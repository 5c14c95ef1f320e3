#pragma once

#include <GL/glew.h>
#include <SDL_ttf.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PlayerMessages;
class ShaderProgram;

// One row of the controls panel: the keys, and what they do.
struct ControlsRow {
    std::string keys;
    std::string action;
};

// What is drawn over the finished picture: the player's messages at the top left, the aim
// mark at the centre, the controls panel, and the end screen's closing line. It draws into the
// current viewport at its pixel size, filled whatever the polygon mode, with depth test,
// stencil and blending of its own, and leaves the GL state as it found it. Text is rendered
// with SDL_ttf into textures, again only when a text changes. Without its font it draws no
// text, only the aim mark.
class Overlay {
public:
    Overlay(const std::string& fontPath, const std::vector<ControlsRow>& controls);
    ~Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // Over a frame of the game, at game time `now`; a paused game says so in the middle.
    void drawOverGame(const PlayerMessages& messages, std::uint32_t now, bool showControls, bool paused = false);
    // Over the won or lost screen: how to close the game, no aim mark.
    void drawOverEndScreen();

private:
    // A text rendered into a texture, kept while it is in use.
    struct TextTexture {
        std::string text;
        GLuint texture = 0;
        int width = 0;  // pixels
        int height = 0; // pixels
        std::uint64_t lastUse = 0;
    };
    // A rectangle in pixels from the top left of the viewport.
    struct Area {
        float left, top, width, height;
    };

    void begin();
    void end();
    const TextTexture& textTexture(std::string_view text);
    void render(TextTexture& entry);
    void drawBox(const Area& area, float r, float g, float b, float a);
    void drawText(const TextTexture& text, float left, float top, float opacity);
    void drawMessages(const PlayerMessages& messages, std::uint32_t now);
    void drawAimMark();
    void drawControls();
    // One line centred across the picture in a dark box, its top this far down.
    void drawCentredLine(const char* line, float top);

    ShaderProgram* program = nullptr;
    GLint areaLocation = -1;
    GLint pictureSizeLocation = -1;
    GLint colourLocation = -1;
    GLint texturedLocation = -1;
    TTF_Font* font = nullptr;
    bool ttfStarted = false;
    std::string controlKeys;    // the panel's left column, a line per row
    std::string controlActions; // the panel's right column
    std::array<TextTexture, 8> texts;
    std::uint64_t uses = 0;
    float pictureWidth = 0;
    float pictureHeight = 0;

    // What begin() found and end() puts back.
    struct SavedState {
        GLint polygonMode = GL_FILL;
        GLboolean depthTest = GL_FALSE;
        GLboolean stencilTest = GL_FALSE;
        GLboolean blend = GL_FALSE;
        GLint blendSourceRgb = GL_ONE, blendDestinationRgb = GL_ZERO;
        GLint blendSourceAlpha = GL_ONE, blendDestinationAlpha = GL_ZERO;
        GLint program = 0;
        GLint activeTexture = GL_TEXTURE0;
        GLint texture = 0; // bound to unit 0
    } saved;
};

extern Overlay* overlay;
