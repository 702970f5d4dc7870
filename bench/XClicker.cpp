#include "XClicker.h"

#include <dlfcn.h>

namespace vortiquo {

// The few entry points used, with the signatures of the X library and its
// test extension.
struct XClicker::Library {
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    using Flush = int (*)(void*);
    using Sync = int (*)(void*, int);
    using QueryExtension = int (*)(void*, int*, int*, int*, int*);
    using FakeMotion = int (*)(void*, int, int, int, unsigned long);
    using FakeButton = int (*)(void*, unsigned int, int, unsigned long);
    using FakeKey = int (*)(void*, unsigned int, int, unsigned long);
    using KeysymToKeycode = unsigned char (*)(void*, unsigned long);

    void* x11 = nullptr;
    void* xtst = nullptr;
    void* display = nullptr;
    CloseDisplay closeDisplay = nullptr;
    Flush flush = nullptr;
    Sync sync = nullptr;
    FakeMotion fakeMotion = nullptr;
    FakeButton fakeButton = nullptr;
    FakeKey fakeKey = nullptr;
    KeysymToKeycode keysymToKeycode = nullptr;

    template <typename Function>
    static Function find(void* library, const char* name)
    {
        return reinterpret_cast<Function>(dlsym(library, name));
    }

    Library()
    {
        x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        xtst = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!x11 || !xtst)
            return;
        const auto openDisplay = find<OpenDisplay>(x11, "XOpenDisplay");
        closeDisplay = find<CloseDisplay>(x11, "XCloseDisplay");
        flush = find<Flush>(x11, "XFlush");
        sync = find<Sync>(x11, "XSync");
        const auto queryExtension = find<QueryExtension>(xtst, "XTestQueryExtension");
        fakeMotion = find<FakeMotion>(xtst, "XTestFakeMotionEvent");
        fakeButton = find<FakeButton>(xtst, "XTestFakeButtonEvent");
        fakeKey = find<FakeKey>(xtst, "XTestFakeKeyEvent");
        keysymToKeycode = find<KeysymToKeycode>(x11, "XKeysymToKeycode");
        if (!openDisplay || !closeDisplay || !flush || !sync || !queryExtension || !fakeMotion || !fakeButton ||
            !fakeKey || !keysymToKeycode)
            return;
        display = openDisplay(nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        if (display && !queryExtension(display, &event, &error, &major, &minor)) {
            closeDisplay(display);
            display = nullptr;
        }
    }

    ~Library()
    {
        if (display)
            closeDisplay(display);
        if (xtst)
            dlclose(xtst);
        if (x11)
            dlclose(x11);
    }
};

XClicker::XClicker() : library_(std::make_unique<Library>()) {}

XClicker::~XClicker() = default;

bool XClicker::available() const
{
    return library_->display != nullptr;
}

void XClicker::moveTo(QPoint global)
{
    if (!available())
        return;
    library_->fakeMotion(library_->display, -1, global.x(), global.y(), 0);
    library_->sync(library_->display, 0);
}

std::chrono::steady_clock::time_point XClicker::click(QPoint global)
{
    if (!available())
        return std::chrono::steady_clock::now();
    auto* display = library_->display;
    library_->fakeMotion(display, -1, global.x(), global.y(), 0);
    library_->fakeButton(display, 1, 1, 0);
    library_->fakeButton(display, 1, 0, 0);
    const auto sent = std::chrono::steady_clock::now();
    library_->flush(display);
    return sent;
}

std::chrono::steady_clock::time_point XClicker::pressKey(unsigned long keysym)
{
    if (!available())
        return std::chrono::steady_clock::now();
    auto* display = library_->display;
    const unsigned int key = library_->keysymToKeycode(display, keysym);
    library_->fakeKey(display, key, 1, 0);
    library_->fakeKey(display, key, 0, 0);
    const auto sent = std::chrono::steady_clock::now();
    library_->flush(display);
    return sent;
}

}  // namespace vortiquo
