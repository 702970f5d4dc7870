#include "XRemote.h"

#include <dlfcn.h>

#include <QByteArray>
#include <vector>

// After every Qt header: the X headers define macros such as None and Bool.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

// Windows come and go while they are looked at (a dialog closes between a
// listing and a question about it): such a request fails, and its caller
// sees the failure, rather than the X library ending the process.
int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

}  // namespace

// The four XTest entry points used, with the signatures of libXtst.
struct XRemote::Connection {
    using QueryExtension = Bool (*)(Display*, int*, int*, int*, int*);
    using FakeKey = int (*)(Display*, unsigned int, Bool, unsigned long);
    using FakeButton = int (*)(Display*, unsigned int, Bool, unsigned long);
    using FakeMotion = int (*)(Display*, int, int, int, unsigned long);

    Display* display = nullptr;
    void* xtst = nullptr;
    FakeKey fakeKey = nullptr;
    FakeButton fakeButton = nullptr;
    FakeMotion fakeMotion = nullptr;
    QString problem;

    explicit Connection(const QString& name)
    {
        XSetErrorHandler(ignoreError);
        display = XOpenDisplay(name.toLocal8Bit().constData());
        if (!display) {
            problem = QStringLiteral("cannot open display %1").arg(name);
            return;
        }
        xtst = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!xtst) {
            problem = QStringLiteral("libXtst.so.6 is missing (Debian: libxtst6)");
            return;
        }
        const auto query = reinterpret_cast<QueryExtension>(dlsym(xtst, "XTestQueryExtension"));
        fakeKey = reinterpret_cast<FakeKey>(dlsym(xtst, "XTestFakeKeyEvent"));
        fakeButton = reinterpret_cast<FakeButton>(dlsym(xtst, "XTestFakeButtonEvent"));
        fakeMotion = reinterpret_cast<FakeMotion>(dlsym(xtst, "XTestFakeMotionEvent"));
        int event = 0, error = 0, major = 0, minor = 0;
        if (!query || !fakeKey || !fakeButton || !fakeMotion || !query(display, &event, &error, &major, &minor))
            problem = QStringLiteral("the X server has no XTest extension");
    }

    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
        if (xtst)
            dlclose(xtst);
    }

    // Waits until the server has handled every request sent, the fake
    // input included.
    void sync() { XSync(display, False); }

    // A key pressed and released, with `held` (a modifier's key, or 0) held
    // down around it; then a wait for the server.
    void tap(KeyCode key, KeyCode held)
    {
        if (held)
            fakeKey(display, held, True, CurrentTime);
        fakeKey(display, key, True, CurrentTime);
        fakeKey(display, key, False, CurrentTime);
        if (held)
            fakeKey(display, held, False, CurrentTime);
        sync();
    }

    unsigned long cardinal(Window window, const char* property) const
    {
        const Atom atom = XInternAtom(display, property, True);
        if (atom == None)
            return 0;
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        unsigned long value = 0;
        if (XGetWindowProperty(display, window, atom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                               &data) == Success &&
            data && format == 32 && items == 1)
            value = *reinterpret_cast<unsigned long*>(data);
        if (data)
            XFree(data);
        return value;
    }

    QString title(Window window) const
    {
        const Atom name = XInternAtom(display, "_NET_WM_NAME", True);
        const Atom utf8 = XInternAtom(display, "UTF8_STRING", True);
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        QString text;
        if (name != None && utf8 != None &&
            XGetWindowProperty(display, window, name, 0, 1024, False, utf8, &type, &format, &items, &after, &data) ==
                Success &&
            data && format == 8)
            text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(items));
        if (data)
            XFree(data);
        return text;
    }

    bool viewable(Window window) const
    {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
    }
};

XRemote::XRemote(const QString& display) : connection_(std::make_unique<Connection>(display)) {}

XRemote::~XRemote() = default;

bool XRemote::usable() const
{
    return connection_->problem.isEmpty();
}

QString XRemote::problem() const
{
    return connection_->problem;
}

unsigned long XRemote::findWindow(qint64 pid, const QString& title) const
{
    Display* display = connection_->display;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    unsigned long found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        if (connection_->cardinal(children[i], "_NET_WM_PID") == static_cast<unsigned long>(pid) &&
            connection_->viewable(children[i]) && connection_->title(children[i]) == title)
            found = children[i];
    if (children)
        XFree(children);
    return found;
}

QRect XRemote::placeOf(unsigned long window) const
{
    Display* display = connection_->display;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return {};
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

QImage XRemote::grab(const QRect& area) const
{
    Display* display = connection_->display;
    XImage* image = XGetImage(display, DefaultRootWindow(display), area.x(), area.y(),
                              static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()), AllPlanes,
                              ZPixmap);
    if (!image)
        return {};
    // Each channel's mask, moved down to its lowest set bit, gives its byte.
    const auto channel = [](unsigned long pixel, unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return static_cast<int>((pixel >> shift) & mask);
    };
    QImage picture(area.size(), QImage::Format_RGB32);
    for (int row = 0; row < area.height(); ++row)
        for (int column = 0; column < area.width(); ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            picture.setPixel(column, row,
                             qRgb(channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                                  channel(pixel, image->blue_mask)));
        }
    XDestroyImage(image);
    return picture;
}

void XRemote::moveTo(QPoint where)
{
    connection_->fakeMotion(connection_->display, -1, where.x(), where.y(), CurrentTime);
    connection_->sync();
}

void XRemote::click(QPoint where)
{
    moveTo(where);
    connection_->fakeButton(connection_->display, Button1, True, CurrentTime);
    connection_->fakeButton(connection_->display, Button1, False, CurrentTime);
    connection_->sync();
}

void XRemote::press(unsigned long keysym, bool control)
{
    Display* display = connection_->display;
    connection_->tap(XKeysymToKeycode(display, keysym), control ? XKeysymToKeycode(display, XK_Control_L) : 0);
}

void XRemote::closeWindow(unsigned long window)
{
    Display* display = connection_->display;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    connection_->sync();
}

bool XRemote::type(const QString& text)
{
    Display* display = connection_->display;
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    for (const QChar character : text) {
        // Printable ASCII characters are their own keysyms.
        const auto keysym = static_cast<KeySym>(character.unicode());
        const KeyCode key = XKeysymToKeycode(display, keysym);
        if (character.unicode() < 0x20 || character.unicode() > 0x7e || key == 0)
            return false;
        const bool shifted = XkbKeycodeToKeysym(display, key, 0, 0) != keysym;
        connection_->tap(key, shifted ? shift : 0);
    }
    return true;
}
