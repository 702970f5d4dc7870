#pragma once

#include <cstdint>
#include <optional>

class QAbstractEventDispatcher;

namespace vortiquo {

// The event dispatcher that the window system's platform plugin makes for
// the window's thread (the one an application makes for itself when it is
// given none), or null when the application has no platform yet or the
// platform makes none. Call on the window's thread, once the application
// object is being made.
QAbstractEventDispatcher* createPlatformDispatcher();

// Qt's own dispatcher for a thread with no window system.
QAbstractEventDispatcher* createPlainDispatcher();

// The moment, CLOCK_MONOTONIC in nanoseconds, at which the earliest of the
// dispatcher's timers falls due (INT64_MAX when it has none), where its kind
// keeps that where it can be read: Qt's own dispatcher for UNIX, which every
// platform plugin makes when GLib is not used. Otherwise nothing: the public
// API tells only whole milliseconds left.
std::optional<std::int64_t> earliestTimerDue(const QAbstractEventDispatcher& dispatcher);

}  // namespace vortiquo
