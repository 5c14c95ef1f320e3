#pragma once

// The shape of every tunnel, for the level that lays its pieces and the generator that models
// them: ten pieces along x, the near end piece centred on the tunnel's origin.
namespace shape {
inline constexpr float PIECE_LENGTH = 40.0f;
inline constexpr int STRAIGHT_PIECES = 8; // between the near and the far end piece
inline constexpr float TUNNEL_LENGTH = PIECE_LENGTH * (STRAIGHT_PIECES + 2);
inline constexpr float TUNNEL_WIDTH = 40.0f; // wall to wall, in z
// Each of the three steps of the stairs.
inline constexpr float STAIR_RUN = 13.0f;
inline constexpr float STAIR_RISE = 8.0f;
} // namespace shape
