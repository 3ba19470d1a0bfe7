#pragma once

#include <QIcon>
#include <QString>
#include <QVariant>

class QPalette;

// The mark of a medium no employee has, the same in every list that shows registrations: a
// picture drawn in the palette's own text colours (so it reads in a high-contrast theme as well)
// and the accessible description "unknown medium".
namespace UnknownMark {

QIcon icon(const QPalette& palette);
QString description();
// What a marked cell gives for `role`: the picture, the description, or nothing.
QVariant cellData(int role, const QPalette& palette);

} // namespace UnknownMark
