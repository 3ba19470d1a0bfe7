#include "photofit.h"

#include <algorithm>

QRect fitPicture(const QRect& client, const QSize& picture) {
    if (picture.width() <= 0 || picture.height() <= 0)
        return {};
    const double cw = client.width();
    const double ch = client.height();
    const double scale = std::min(cw / picture.width(), ch / picture.height());
    const int w = int(picture.width() * scale);
    const int h = int(picture.height() * scale);
    const int left = client.left() + int(cw / 2 - w / 2.0);
    const int top = client.top() + int(ch / 2 - h / 2.0);
    return QRect(left, top, w, h);
}
