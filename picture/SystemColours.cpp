#include "picture/SystemColours.h"

#include <QGuiApplication>
#include <QPalette>

namespace vortiquo {

namespace {

struct SystemColourRole {
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Windows system colour indices resolved to the nearest palette role.
constexpr SystemColourRole Roles[] = {
    {1, QPalette::Active, QPalette::Shadow},         // desktop
    {5, QPalette::Active, QPalette::Base},           // window background
    {7, QPalette::Active, QPalette::ButtonText},     // menu text
    {8, QPalette::Active, QPalette::Text},           // window text
    {9, QPalette::Active, QPalette::WindowText},     // caption text
    {11, QPalette::Active, QPalette::Window},        // inactive border
    {13, QPalette::Active, QPalette::Highlight},     // highlight
    {19, QPalette::Disabled, QPalette::WindowText},  // inactive caption text
};

}  // namespace

QColor systemColour(int index)
{
    const QPalette palette = QGuiApplication::palette();
    for (const SystemColourRole& entry : Roles)
        if (entry.index == index)
            return palette.color(entry.group, entry.role);
    return palette.color(QPalette::Active, QPalette::Base);
}

}  // namespace vortiquo
