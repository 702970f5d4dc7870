#pragma once

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

}  // namespace vortiquo
