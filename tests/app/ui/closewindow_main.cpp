// closewindow TITLE: waits (up to 30 s) for a shown top-level window of the
// X display whose title begins with TITLE and asks it to close, as a window
// manager's close box does (WM_DELETE_WINDOW). Exit code 0 when asked.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace
{

std::string titleOf(Display *display, Window window)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<const char *>(data), count);
        XFree(data);
    }
    return title;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TITLE\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    for (int attempt = 0; attempt < 300; ++attempt) {
        Window root = DefaultRootWindow(display), parent = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, root, &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i) {
                XWindowAttributes attributes;
                if (!XGetWindowAttributes(display, children[i], &attributes) ||
                    attributes.map_state != IsViewable ||
                    titleOf(display, children[i]).rfind(argv[1], 0) != 0)
                    continue;
                XEvent event;
                std::memset(&event, 0, sizeof event);
                event.xclient.type = ClientMessage;
                event.xclient.window = children[i];
                event.xclient.message_type = protocols;
                event.xclient.format = 32;
                event.xclient.data.l[0] = long(deleteWindow);
                event.xclient.data.l[1] = CurrentTime;
                XSendEvent(display, children[i], False, NoEventMask, &event);
                XFlush(display);
                XFree(children);
                XCloseDisplay(display);
                return 0;
            }
            if (children)
                XFree(children);
        }
        usleep(100000);
    }
    std::fprintf(stderr, "no window titled %s\n", argv[1]);
    XCloseDisplay(display);
    return 1;
}
