#pragma once

#include "render/DrawingState.h"

#include <GL/glew.h>
#include <SDL_ttf.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ScreenQuad;
class ShaderProgram;

// One row of the controls panel: the keys, and what they do.
struct ControlsRow {
    std::string keys;
    std::string action;
};

// The options panel as the overlay shows it: the settings' names and their values, a line for
// each, one of them chosen, and a line on how to use the panel.
struct OptionsShown {
    std::string_view names;
    std::string_view values;
    int chosen = 0;
    int count = 1;
    std::string_view help;
};

// A line the game said to the player, as shown now: its opacity runs from 1 down to 0 as it fades.
struct ShownLine {
    std::string_view text;
    float opacity = 1.0f;
};

// What is drawn over a frame of the game, handed to the overlay.
struct OverlayView {
    std::vector<ShownLine> messages;        // oldest first
    bool showControls = false;
    bool paused = false;                    // said in the middle, unless the options panel stands there
    const OptionsShown* options = nullptr;  // null while the panel is closed
};

// What is drawn over the finished picture: the player's messages at the top left, the aim
// mark at the centre, the controls and options panels, and the end screen's closing line. It
// draws into the current viewport at its pixel size, filled whatever the polygon mode, with depth
// test, stencil and blending of its own, and leaves the GL state as it found it. Text is rendered
// with SDL_ttf into textures, again only when a text changes. Without its font it draws no
// text, only the aim mark.
class Overlay {
public:
    // Its rectangles are the renderer's screen quad stretched.
    Overlay(const ScreenQuad& quad, const std::string& fontPath, const std::vector<ControlsRow>& controls);
    ~Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // Over a frame of the game.
    void drawOverGame(const OverlayView& view);
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
    void drawMessages(const std::vector<ShownLine>& messages);
    void drawAimMark();
    void drawControls();
    void drawOptions(const OptionsShown& options);
    // One line centred across the picture in a dark box, its top this far down.
    void drawCentredLine(const char* line, float top);

    const ScreenQuad& quad;
    ShaderProgram* program = nullptr;
    GLint areaLocation = -1;
    GLint pictureSizeLocation = -1;
    GLint colourLocation = -1;
    GLint texturedLocation = -1;
    TTF_Font* font = nullptr;
    bool ttfStarted = false;
    std::string controlKeys;    // the panel's left column, a line per row
    std::string controlActions; // the panel's right column
    // Enough for both panels, the messages and the paused line at once.
    std::array<TextTexture, 12> texts;
    std::uint64_t uses = 0;
    float pictureWidth = 0;
    float pictureHeight = 0;

    DrawingState saved; // what begin() found and end() puts back
};
