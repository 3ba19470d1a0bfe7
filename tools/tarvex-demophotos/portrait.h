#pragma once

#include <QImage>
#include <QString>

// A drawn head-and-shoulders picture with the person's initials, its colours chosen from the
// name, so that every demo employee looks different and the same on every run.
QImage drawPortrait(const QString& lastName, const QString& firstName, int width = 240,
                    int height = 320);
