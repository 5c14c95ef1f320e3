#include "render/Overlay.h"

#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

// Text height in pixels (the font's point size at 72 dpi), whatever the picture's size.
constexpr int FONT_POINT_SIZE = 18;
// Messages start this far from the picture's top left corner; each sits on a dark box this much
// wider than its text, the boxes this far apart.
constexpr float MARGIN = 12.0f;
constexpr float PADDING = 4.0f;
constexpr float LINE_GAP = 2.0f;
constexpr float BOX_OPACITY = 0.6f;
// The aim mark: a white cross with a black rim, readable on light and dark walls alike.
constexpr float AIM_ARM = 8.0f;
constexpr float AIM_THICKNESS = 2.0f;
constexpr float AIM_RIM = 1.0f;
// The controls panel: two columns on a nearly opaque box in the middle of the picture.
constexpr float PANEL_PADDING = 16.0f;
constexpr float PANEL_COLUMN_GAP = 24.0f;
constexpr float PANEL_OPACITY = 0.8f;
// The options panel's chosen line stands out on a lighter band; its help line is set apart.
constexpr float CHOSEN_OPACITY = 0.3f;
constexpr float HELP_GAP = 12.0f;
constexpr float HELP_OPACITY = 0.8f;
// The end screen's line stands centred this far above the bottom edge, below the won or lost
// picture.
constexpr float CLOSE_LINE_FROM_BOTTOM = 10.0f;
const char* const CLOSE_LINE = "Press any key to close";
const char* const PAUSED_LINE = "Paused";

std::string column(const std::vector<ControlsRow>& rows, std::string ControlsRow::*field)
{
    std::string text;
    for (const ControlsRow& row : rows) {
        if (!text.empty())
            text += '\n';
        text += row.*field;
    }
    return text;
}

} // namespace

Overlay::Overlay(const ScreenQuad& quad, const std::string& fontPath, const std::vector<ControlsRow>& controls)
    : quad(quad), program(new ShaderProgram("shader/overlay_v.glsl", "shader/overlay_f.glsl")),
      controlKeys(column(controls, &ControlsRow::keys)), controlActions(column(controls, &ControlsRow::action))
{
    const GLuint linked = program->getProgram();
    areaLocation = glGetUniformLocation(linked, "area");
    pictureSizeLocation = glGetUniformLocation(linked, "pictureSize");
    colourLocation = glGetUniformLocation(linked, "colour");
    texturedLocation = glGetUniformLocation(linked, "textured");

    ttfStarted = TTF_Init() == 0;
    if (ttfStarted)
        font = TTF_OpenFont(fontPath.c_str(), FONT_POINT_SIZE);
    if (!font)
        std::cerr << "No on-screen text: the font " << fontPath << " cannot be read: " << TTF_GetError() << std::endl;
}

Overlay::~Overlay()
{
    for (TextTexture& text : texts)
        glDeleteTextures(1, &text.texture);
    program->destroy();
    delete program;
    if (font)
        TTF_CloseFont(font);
    if (ttfStarted)
        TTF_Quit();
}

void Overlay::drawOverGame(const OverlayView& view)
{
    begin();
    drawMessages(view.messages);
    drawAimMark();
    if (view.showControls)
        drawControls();
    if (view.options && font)
        drawOptions(*view.options);
    else if (view.paused && font)
        drawCentredLine(PAUSED_LINE, pictureHeight / 3.0f);
    end();
}

void Overlay::drawOverEndScreen()
{
    begin();
    if (font) {
        const float lineHeight = static_cast<float>(textTexture(CLOSE_LINE).height);
        drawCentredLine(CLOSE_LINE, pictureHeight - CLOSE_LINE_FROM_BOTTOM - lineHeight);
    }
    end();
}

void Overlay::drawCentredLine(const char* text, float top)
{
    const TextTexture& line = textTexture(text);
    const float left = (pictureWidth - static_cast<float>(line.width)) / 2.0f;
    drawBox({left - PADDING, top - PADDING, line.width + 2 * PADDING, line.height + 2 * PADDING}, 0, 0, 0,
            BOX_OPACITY);
    drawText(line, left, top, 1.0f);
}

// The overlay is drawn filled, over everything, without touching depth or stencil; the alpha
// the picture has is kept (screenshots save it).
void Overlay::begin()
{
    saved.keep();

    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    pictureWidth = static_cast<float>(viewport[2]);
    pictureHeight = static_cast<float>(viewport[3]);

    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    program->use(true);
    glUniform2f(pictureSizeLocation, pictureWidth, pictureHeight);
}

void Overlay::end()
{
    saved.putBack();
}

// The texture of a text: the one made for it before, or the least recently used one made anew.
const Overlay::TextTexture& Overlay::textTexture(std::string_view text)
{
    auto found = std::find_if(texts.begin(), texts.end(), [text](const TextTexture& entry) {
        return entry.texture != 0 && entry.text == text;
    });
    if (found == texts.end()) {
        found = std::min_element(texts.begin(), texts.end(),
                                 [](const TextTexture& a, const TextTexture& b) { return a.lastUse < b.lastUse; });
        found->text.assign(text.data(), text.size());
        render(*found);
    }
    found->lastUse = ++uses;
    return *found;
}

// White glyphs on a clear ground, one texture line per line of the text.
void Overlay::render(TextTexture& entry)
{
    if (entry.texture == 0)
        glGenTextures(1, &entry.texture);
    entry.width = 0;
    entry.height = 0;
    SDL_Surface* rendered = TTF_RenderUTF8_Blended_Wrapped(font, entry.text.c_str(), {255, 255, 255, 255}, 0);
    SDL_Surface* rgba = rendered ? SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
    SDL_FreeSurface(rendered);
    if (!rgba)
        return;
    entry.width = rgba->w;
    entry.height = rgba->h;
    glBindTexture(GL_TEXTURE_2D, entry.texture);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rgba->pitch / 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, rgba->w, rgba->h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba->pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    SDL_FreeSurface(rgba);
}

void Overlay::drawBox(const Area& area, float r, float g, float b, float a)
{
    glUniform4f(areaLocation, area.left, area.top, area.width, area.height);
    glUniform4f(colourLocation, r, g, b, a);
    glUniform1i(texturedLocation, 0);
    quad.draw();
}

void Overlay::drawText(const TextTexture& text, float left, float top, float opacity)
{
    // Whole pixels keep the glyphs as sharp as they were rendered.
    glBindTexture(GL_TEXTURE_2D, text.texture);
    glUniform4f(areaLocation, std::floor(left), std::floor(top), static_cast<float>(text.width), static_cast<float>(text.height));
    glUniform4f(colourLocation, 1.0f, 1.0f, 1.0f, opacity);
    glUniform1i(texturedLocation, 1);
    quad.draw();
}

// Oldest at the top, newest at the bottom, each on its own box, fading out together with it.
void Overlay::drawMessages(const std::vector<ShownLine>& messages)
{
    if (!font)
        return;
    float top = MARGIN;
    for (const ShownLine& line : messages) {
        const TextTexture& text = textTexture(line.text);
        drawBox({MARGIN - PADDING, top - PADDING, text.width + 2 * PADDING, text.height + 2 * PADDING}, 0, 0, 0,
                BOX_OPACITY * line.opacity);
        drawText(text, MARGIN, top, line.opacity);
        top += text.height + 2 * PADDING + LINE_GAP;
    }
}

// Where the click line goes: the picture's centre.
void Overlay::drawAimMark()
{
    const float x = pictureWidth / 2.0f;
    const float y = pictureHeight / 2.0f;
    const float halfThickness = AIM_THICKNESS / 2.0f;
    const float rimArm = AIM_ARM + AIM_RIM;
    const float rimHalfThickness = halfThickness + AIM_RIM;
    drawBox({x - rimArm, y - rimHalfThickness, 2 * rimArm, 2 * rimHalfThickness}, 0, 0, 0, 1);
    drawBox({x - rimHalfThickness, y - rimArm, 2 * rimHalfThickness, 2 * rimArm}, 0, 0, 0, 1);
    drawBox({x - AIM_ARM, y - halfThickness, 2 * AIM_ARM, AIM_THICKNESS}, 1, 1, 1, 1);
    drawBox({x - halfThickness, y - AIM_ARM, AIM_THICKNESS, 2 * AIM_ARM}, 1, 1, 1, 1);
}

void Overlay::drawControls()
{
    if (!font)
        return;
    const TextTexture& keys = textTexture(controlKeys);
    const TextTexture& actions = textTexture(controlActions);
    const float width = keys.width + PANEL_COLUMN_GAP + actions.width;
    const float height = static_cast<float>(std::max(keys.height, actions.height));
    const float left = (pictureWidth - width) / 2.0f;
    const float top = (pictureHeight - height) / 2.0f;
    drawBox({left - PANEL_PADDING, top - PANEL_PADDING, width + 2 * PANEL_PADDING, height + 2 * PANEL_PADDING}, 0, 0,
            0, PANEL_OPACITY);
    drawText(keys, left, top, 1.0f);
    drawText(actions, left + keys.width + PANEL_COLUMN_GAP, top, 1.0f);
}

void Overlay::drawOptions(const OptionsShown& options)
{
    const TextTexture& names = textTexture(options.names);
    const TextTexture& values = textTexture(options.values);
    const TextTexture& help = textTexture(options.help);
    const float width = std::max(names.width + PANEL_COLUMN_GAP + values.width, static_cast<float>(help.width));
    const float height = names.height + HELP_GAP + help.height;
    const float left = std::floor((pictureWidth - width) / 2.0f);
    const float top = std::floor((pictureHeight - height) / 2.0f);
    const float lineHeight = static_cast<float>(names.height) / static_cast<float>(std::max(1, options.count));
    drawBox({left - PANEL_PADDING, top - PANEL_PADDING, width + 2 * PANEL_PADDING, height + 2 * PANEL_PADDING}, 0, 0,
            0, PANEL_OPACITY);
    drawBox({left - PADDING, top + options.chosen * lineHeight, width + 2 * PADDING, lineHeight}, 1, 1, 1,
            CHOSEN_OPACITY);
    drawText(names, left, top, 1.0f);
    drawText(values, left + names.width + PANEL_COLUMN_GAP, top, 1.0f);
    drawText(help, left, top + names.height + HELP_GAP, HELP_OPACITY);
}
