#pragma once

#include "render/FrameView.h"
#include "render/PictureArea.h"

#include <SDL.h>

#include <cstdint>
#include <functional>

class Clock;
class Overlay;
struct OverlayView;
class Renderer;

// Opens SDL with its gamepads, the 800 x 600 resizable window, the OpenGL 3.3 context and GLEW
// with the fixed GL state. A hidden window (for drawing that is only read back) does not trap the mouse.
bool initWindow(bool shown = true);
// Physics, level, the renderer and the overlay; the initial game state.
void startUp(const Clock& clock);
// Locked, the scene is drawn at the picture area's own size; else at the size that keeps frames
// within 60 a second.
void setFullResolution(bool locked);
// What the next frame shows of the game: the current tunnel, the player's eye, the view and the toggles.
FrameView gameFrameView();
// What the overlay shows over it now: the messages, the panels, the pause.
const OverlayView& gameOverlayView();
// One frame of the game as the player sees it: the scene, then the overlay over it; returns the
// triangles its scene drew.
std::uint32_t drawGameFrame();
// The end screen of a won or lost game, then waits for a key.
void showEndScreen();
// Places the camera in front of the end screen.
void prepareEndScreen();
// Draws the won or lost screen and how to close the game into the back buffer (nothing after a
// plain quit).
void drawEndScreen();
// The sounds of the tick that has just run, from the game as it stands after it.
void soundTheTick();
// One tick as the player plays it, in the game, the autoplay, the benchmark and the tests: the
// input pumped from SDL's events, and the game's tick over it, with the sound (or what else is
// to follow the rules) before the physics step. True when the game is to stop now.
bool playTick(const std::function<void()>& afterRules = soundTheTick);
// Releases everything in the fixed order (the sound just before the window); safe after a
// failed initWindow.
void shutdown();
// The part of shutdown before the window goes: the overlay, the renderer, camera, the shared
// models and the physics world.
void releaseGame();
// P, the options panel, or the window away from the player: game time stops (no rule runs,
// timers and messages wait, sound waits, the world stands still) until the game goes on from the
// same tick.
void setPaused(bool paused);
bool isPaused();
// The whole program, with the player's settings file: 0 after a normal end, -1 when the window
// cannot be made.
int runGame();

SDL_Window* gameWindow();
// What the running game draws its frames with and over them, from startUp to releaseGame.
Renderer& gameRenderer();
Overlay& gameOverlay();
// The frame target follows the window's drawable size (resized, or fullscreen); returns the
// picture area the frame is drawn into, where whatever is drawn over the frame belongs.
const PictureArea& fitFrameToWindow();
// Desktop fullscreen (true) or the window; a window that cannot go fullscreen says why and stays.
// Returns whether the window is fullscreen now.
bool setFullscreen(bool fullscreen);
