#pragma once
// The banner list's three image lists: large and small icons, and the state images.
#include <QList>
#include <QPixmap>

using ImageList = QList<QPixmap>;

struct ListImages {
    ImageList large;  // 32 pixels
    ImageList small;  // 16 pixels
    ImageList state;  // 16 pixels: image 0 the empty check box, image 1 the ticked one
};

// Cuts a strip of equally wide images into the list's images.
ImageList SliceStrip(const QPixmap& strip, int imageWidth);

// The three lists from the program's own pictures.
ListImages LoadListImages();
