#pragma once

#include <QByteArray>
#include <QString>

#include "SoakRandom.h"

namespace soak {

// A damaged copy of a saved picture, and what was done to it. The damage
// is of the kinds that disks, transfers and hand edits make: the file cut
// short, bytes changed anywhere, the recipe text cut or edited, the file
// emptied or replaced by noise. Some damage leaves a sound recipe (a byte
// of the pixels changed, a digit of a parameter edited): such a file opens.
struct Damage {
    QByteArray bytes;
    QString what;
};

Damage damagedCopy(const QByteArray& saved, Random& random);

}  // namespace soak
