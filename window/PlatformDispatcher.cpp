// The only file that uses Qt's private API. An application given a
// dispatcher of its own no longer asks its platform plugin for one, and
// only the plugin's dispatcher knows how to read the window system's events
// (the X connection's queue, the Wayland display). Qt offers no public way
// to ask the plugin, so the run's dispatcher takes it from the platform
// integration here. The private headers are bound to the Qt version they
// come with: the Debian package therefore depends on exactly the Qt it was
// built against (qt6-base-abi, cmake/Packaging.cmake), as Debian's own
// packages that use them do.
#include "window/PlatformDispatcher.h"

#include <QtCore/private/qeventdispatcher_unix_p.h>
#include <QtCore/private/qtimerinfo_unix_p.h>
#include <QtGui/private/qguiapplication_p.h>
#include <algorithm>
#include <qpa/qplatformintegration.h>

namespace vortiquo {

QAbstractEventDispatcher* createPlatformDispatcher()
{
    QPlatformIntegration* integration = QGuiApplicationPrivate::platformIntegration();
    return integration ? integration->createEventDispatcher() : nullptr;
}

QAbstractEventDispatcher* createPlainDispatcher()
{
    return new QEventDispatcherUNIX;
}

std::optional<std::int64_t> earliestTimerDue(const QAbstractEventDispatcher& dispatcher)
{
    const auto* unixDispatcher = qobject_cast<const QEventDispatcherUNIX*>(&dispatcher);
    if (!unixDispatcher)
        return std::nullopt;
    // Its timers fire once CLOCK_MONOTONIC has reached their timeout.
    const auto* state = static_cast<const QEventDispatcherUNIXPrivate*>(QObjectPrivate::get(unixDispatcher));
    std::int64_t earliest = INT64_MAX;
    for (const QTimerInfo* timer : state->timerList)
        earliest = std::min(earliest, std::int64_t{timer->timeout.tv_sec} * 1'000'000'000 + timer->timeout.tv_nsec);
    return earliest;
}

}  // namespace vortiquo
