#include "windowplacement.h"

#include <QtEndian>

#include <algorithm>

void CWindowPlacement::setNormalRect(const QRect& r) {
    left = r.left();
    top = r.top();
    right = r.left() + r.width();
    bottom = r.top() + r.height();
}

QRect CWindowPlacement::defaultRect(const QRect& available, const QSize& needed) {
    const int w = std::min(std::max(kDefaultWidth, needed.width()), available.width());
    const int h = std::min(std::max(kDefaultHeight, needed.height()), available.height());
    QRect r(0, 0, std::max(0, w), std::max(0, h));
    r.moveCenter(available.center());
    return r;
}

QByteArray CWindowPlacement::toBytes() const {
    const int32_t fields[11] = {kSize, flags, showCmd, minX,  minY,  maxX,
                                maxY,  left,  top,     right, bottom};
    QByteArray out(kSize, '\0');
    for (int i = 0; i < 11; ++i)
        qToLittleEndian<int32_t>(fields[i], out.data() + 4 * i);
    return out;
}

std::optional<CWindowPlacement> CWindowPlacement::fromBytes(const QByteArray& bytes) {
    if (bytes.size() != kSize)
        return std::nullopt;
    int32_t f[11];
    for (int i = 0; i < 11; ++i)
        f[i] = qFromLittleEndian<int32_t>(bytes.constData() + 4 * i);
    if (f[0] != kSize)
        return std::nullopt;
    CWindowPlacement p;
    p.flags = f[1];
    p.showCmd = f[2];
    p.minX = f[3];
    p.minY = f[4];
    p.maxX = f[5];
    p.maxY = f[6];
    p.left = f[7];
    p.top = f[8];
    p.right = f[9];
    p.bottom = f[10];
    if (p.right <= p.left || p.bottom <= p.top)
        return std::nullopt;
    return p;
}
