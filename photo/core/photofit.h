#pragma once

#include <QRect>
#include <QSize>

// Where a picture goes in the client area: as large as fits with its aspect ratio kept (it
// may be enlarged), centred; sizes and offsets truncated to whole pixels. Empty for an empty
// picture.
QRect fitPicture(const QRect& client, const QSize& picture);
