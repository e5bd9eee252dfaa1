// The pictures of the navigator: the tree's state images and the lists'
// image strip, painted anew with QPainter at every device pixel ratio so that
// they stay crisp on high-density screens. Each picture is 24 x 16 logical
// pixels on a transparent ground.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace tavrel::gui {

inline constexpr QSize kNavImageSize(24, 16);

// State image i of the contents tree (nav::TreeImage, 0-16); image 0 and any
// index outside the strip give a null icon.
QIcon treeStateIcon(int index);
// Image i of the lists' strip (nav::ListImage, 0-31); a null icon outside.
QIcon listIcon(int index);
// The same pictures as pixmaps at a device pixel ratio (null outside).
QPixmap treeStatePixmap(int index, qreal devicePixelRatio);
QPixmap listPixmap(int index, qreal devicePixelRatio);

}  // namespace tavrel::gui
