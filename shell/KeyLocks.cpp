#include "shell/KeyLocks.h"

#include <QGuiApplication>

#if defined(Q_OS_LINUX)
#include <QtGui/qguiapplication_platform.h>
#include <dlfcn.h>
#endif

namespace {

#if defined(Q_OS_LINUX)
// The few Xlib calls needed, looked up at run time so the program neither links nor needs
// Xlib off X11 (Wayland, the headless test platform).
using XDisplay = void;
using XAtom = unsigned long;
using XBool = int;

struct Xlib {
    bool loaded = false;
    XDisplay* display = nullptr;
    XAtom caps = 0;
    XAtom num = 0;
    XBool (*getNamedIndicator)(XDisplay*, XAtom, int*, XBool*, void*, XBool*) = nullptr;
};

Xlib* xlib()
{
    static Xlib x;
    static bool tried = false;
    if (tried)
        return x.loaded ? &x : nullptr;
    tried = true;
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (!lib)
        return nullptr;
    auto internAtom = reinterpret_cast<XAtom (*)(XDisplay*, const char*, XBool)>(dlsym(lib, "XInternAtom"));
    auto openDisplay = reinterpret_cast<XDisplay* (*)(const char*)>(dlsym(lib, "XOpenDisplay"));
    x.getNamedIndicator =
        reinterpret_cast<decltype(x.getNamedIndicator)>(dlsym(lib, "XkbGetNamedIndicator"));
    if (!internAtom || !openDisplay || !x.getNamedIndicator)
        return nullptr;
#if QT_CONFIG(xcb)
    if (auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        x.display = native->display();
#endif
    if (!x.display)
        x.display = openDisplay(nullptr);
    if (!x.display)
        return nullptr;
    x.caps = internAtom(x.display, "Caps Lock", 0);
    x.num = internAtom(x.display, "Num Lock", 0);
    x.loaded = true;
    return &x;
}
#endif

}  // namespace

namespace KeyLocks {

State query()
{
    State state;
#if defined(Q_OS_LINUX)
    if (Xlib* x = xlib()) {
        XBool caps = 0;
        XBool num = 0;
        const bool gotCaps = x->getNamedIndicator(x->display, x->caps, nullptr, &caps, nullptr, nullptr);
        const bool gotNum = x->getNamedIndicator(x->display, x->num, nullptr, &num, nullptr, nullptr);
        if (gotCaps || gotNum) {
            state.known = true;
            state.capsLock = caps != 0;
            state.numLock = num != 0;
        }
    }
#endif
    return state;
}

}  // namespace KeyLocks
