#pragma once

// Every model file the game loads, below "assets/": the level and the end screens read them, and
// the asset generator writes them, under these names. (The sounds' files are listed with Sound.)
struct ModelFile {
    const char* folder;
    const char* file;
};

namespace assets {
inline constexpr ModelFile REALITY_HALLWAY{"tunnel/reality", "dungeon_large_hallway3.obj"};
inline constexpr ModelFile REALITY_DEAD_END{"tunnel/reality", "dungeon_large_deadend.obj"};
inline constexpr ModelFile REALITY_STAIRS{"tunnel/reality", "dungeon_large_stairs24.obj"};
inline constexpr ModelFile GLASSES_HALLWAY{"tunnel/glasses", "dungeon_large_hallway2.obj"};
inline constexpr ModelFile GLASSES_DEAD_END{"tunnel/glasses", "dungeon_large_deadend.obj"};
inline constexpr ModelFile GLASSES_STAIRS{"tunnel/glasses", "dungeon_large_stairs24.obj"};
inline constexpr ModelFile TRAIN{"train", "train1.obj"};
inline constexpr ModelFile WHEEL{"train", "wheel.obj"};
inline constexpr ModelFile DOOR{"tunnel", "door.obj"};
inline constexpr ModelFile FINAL_DOOR{"tunnel", "finaldoor.obj"};
inline constexpr ModelFile KEY{"tunnel", "old_key3.obj"};
inline constexpr ModelFile TRANSPARENT_KEY{"tunnel", "old_key_transparent.obj"};
inline constexpr ModelFile SWITCH_BACK{"tunnel", "schalterback1.obj"};
inline constexpr ModelFile SWITCH_FRONT{"tunnel", "schalterfront.obj"};
inline constexpr ModelFile CUBE{"tunnel", "cube.obj"};
inline constexpr ModelFile BUTTON{"tunnel", "button1.obj"};
inline constexpr ModelFile GLASS_DOOR{"glassdoor", "door2.obj"};
inline constexpr ModelFile PORTAL_SURFACE{"portal", "portal.obj"};
inline constexpr ModelFile PORTAL_FRAME{"portal", "portalFrame.obj"};
inline constexpr ModelFile SWITCH_VIEW_SIGN{"hints", "switchViewSign.obj"};
inline constexpr ModelFile CHANGE_MULTIPLE_VIEW_SIGN{"hints", "changeMultipleViewSign.obj"};
inline constexpr ModelFile UNLOCK_NEW_TUNNEL_SIGN{"hints", "unlockNewTunnelSign.obj"};
inline constexpr ModelFile PATIENCE_SIGN{"hints", "patienceIsGoldSign.obj"};
inline constexpr ModelFile SWITCHES_NUMBER_SIGN{"hints", "switchesNumberSign.obj"};
inline constexpr ModelFile WON_SCREEN{"screens", "won.obj"};
inline constexpr ModelFile LOST_SCREEN{"screens", "lost.obj"};
} // namespace assets
