#pragma once

class Camera;
class ShaderProgram;
class Tunnel;

// Draws one frame of the current tunnel: shadow passes, portal pass, lit main pass, glass door.
void renderFrame();
// Draws a tunnel's portals' frames, its shell of the view and its objects, skipping (and
// counting) what lies outside the camera's frustum while culling is on.
void drawCulled(Tunnel* tunnel, Camera* camera, ShaderProgram* program, bool realityView);
// The stencil-masked views through the tunnel's portals; leaves the portal surfaces' depth.
void drawPortals(Tunnel* tunnel, Camera* camera, ShaderProgram* program, bool realityView);
