#include "render/PictureArea.h"

#include <algorithm>

namespace {
// The picture's shape: 4 wide to 3 high, as the camera's projection draws it.
constexpr int SHAPE_WIDTH = 4;
constexpr int SHAPE_HEIGHT = 3;
} // namespace

PictureArea PictureArea::centredIn(int drawableWidth, int drawableHeight)
{
    const int width = std::max(0, std::min(drawableWidth, drawableHeight * SHAPE_WIDTH / SHAPE_HEIGHT));
    const int height = std::max(0, std::min(drawableHeight, drawableWidth * SHAPE_HEIGHT / SHAPE_WIDTH));
    return {(drawableWidth - width) / 2, (drawableHeight - height) / 2, width, height};
}

bool PictureArea::operator==(const PictureArea& other) const
{
    return x == other.x && y == other.y && width == other.width && height == other.height;
}
