#pragma once

#include "schema/ObjectDirectory.h"

#include <QIcon>
#include <QImage>

// The explorer's picture of each kind of object, in the tool buttons' style:
// a small picture on the key colour, which is left out when it is drawn
// (see ButtonPicture). Tables and views have the buttons' own pictures.
namespace ExplorerIcons {

// The picture as drawn, key colour and all: 16 by 16 pixels.
QImage picture(ObjectDirectory::Kind kind);
// The same, ready for a tree: the key colour transparent. Made once a kind.
QIcon icon(ObjectDirectory::Kind kind);

} // namespace ExplorerIcons
