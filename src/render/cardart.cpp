#include "cardart.h"

#include "assets/icon.xpm"
#include "cardback.h"
#include "platform/svgpicture.h"

#include <QPixmap>

#include <array>

namespace CardArt {

std::shared_ptr<const VectorPicture> suitSymbol(int suit)
{
    static const std::array<std::shared_ptr<const VectorPicture>, 4> symbols = {
        std::make_shared<SvgPicture>(QStringLiteral(":/art/heart.svg")),
        std::make_shared<SvgPicture>(QStringLiteral(":/art/club.svg")),
        std::make_shared<SvgPicture>(QStringLiteral(":/art/diamond.svg")),
        std::make_shared<SvgPicture>(QStringLiteral(":/art/spade.svg")),
    };
    return symbols[suit];
}

std::shared_ptr<const VectorPicture> cardBack()
{
    static const auto back = std::make_shared<CardBackPicture>();
    return back;
}

QIcon applicationIcon()
{
    // Built in as the array an XPM file is: read from a file, even one
    // named as XPM, the image would have Qt load every image format
    // plug-in before the window opens.
    return QIcon(QPixmap(icon_xpm));
}

} // namespace CardArt
