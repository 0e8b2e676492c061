#pragma once

#include <QIcon>

#include <memory>

class VectorPicture;

// The game's own artwork, loaded once and shared by every window.
namespace CardArt {

// The symbol of suit 0..3 (heart, club, diamond, spade).
std::shared_ptr<const VectorPicture> suitSymbol(int suit);
std::shared_ptr<const VectorPicture> cardBack();
QIcon applicationIcon();

} // namespace CardArt
