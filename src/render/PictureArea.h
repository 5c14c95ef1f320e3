#pragma once

// The game's picture inside the window's drawable: 4:3, as large as fits, centred; the rest of
// the drawable shows black bars. In drawable pixels, counted from the bottom left as OpenGL
// counts. The default is the whole 800 x 600 window.
struct PictureArea {
    int x = 0;        // left edge
    int y = 0;        // bottom edge
    int width = 800;  // pixels across
    int height = 600; // pixels up

    // The largest 4:3 area centred in a drawable of this size.
    static PictureArea centredIn(int drawableWidth, int drawableHeight);

    bool operator==(const PictureArea& other) const;
    bool operator!=(const PictureArea& other) const { return !(*this == other); }
};
