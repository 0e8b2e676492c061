#pragma once

#include <QImage>

// The logo picture: six lines of chequered block lettering over a brick
// wall, with a patterned arch in the lower middle.
namespace LogoArt {

// The picture fitted to `size`, at the screen's pixel ratio; its 8 x 8
// patterns are laid in device pixels.
QImage render(const QSize &size, qreal devicePixelRatio);

} // namespace LogoArt
