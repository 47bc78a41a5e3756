#pragma once
// The application style's standard images (arrows, bin, open, save ...) for
// menu items. The style reads and decodes every size of such an image at
// once, about 70 kB each; these icons do so only when first drawn, so menus
// built with the window cost nothing until they are opened.

#include <QIcon>
#include <QStyle>

QIcon StyleImage(QStyle::StandardPixmap image);
