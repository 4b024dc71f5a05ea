// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// xwatch: watches editor windows on an X display from outside, for timing editors side by side.
//
//   xwatch window PATTERN TIMEOUT_MS
//       waits for a shown top-level window whose class, name or title holds PATTERN (any case)
//       and prints "ID CLOCK_NS" (CLOCK_NS: the realtime clock when it was first seen)
//   xwatch coloured ID MIN_PIXELS TIMEOUT_MS
//       waits until the window shows at least MIN_PIXELS coloured pixels; prints "CLOCK_NS COUNT"
//   xwatch loaded ID TITLE MIN_PIXELS TIMEOUT_MS
//       as coloured, but counts only drawing after the window's title came to hold TITLE, so
//       what another window left on the screen over it does not count
//   xwatch open ID DIALOG PATH TIMEOUT_MS
//       focuses the window, presses Ctrl+O, waits for a window whose title holds DIALOG to have
//       the keyboard, types PATH there and waits until the dialog has drawn it, then presses
//       Return and waits until the dialog is gone, all through XTest from this one process;
//       prints the realtime clock at the Return. A path the dialog did not show is typed again,
//       after selecting what the field holds; fails (exit status 3, the reason on standard
//       error) when the dialog never showed it or stayed open after Return
//   xwatch count ID
//       prints the number of coloured pixels the window shows now
//   xwatch key ID KEYS MIN_CHANGED MIN_COLOURED TIMEOUT_MS
//       presses KEYS (for example "ctrl+End" or "x") through XTest and waits until at least
//       MIN_CHANGED pixels differ from before and MIN_COLOURED are coloured; prints milliseconds
//
// The window's own pixels are read (XGetImage) each time the X server reports that the window was
// drawn to (XDamage), and the time of that report counts, so the watching neither polls nor adds
// its own reading time. Window decorations never count. A pixel is coloured when its channels
// differ by more than a grey, a white or a pale highlight does.
#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <ctype.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

static Display *display;

static int64_t NowNs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static int IgnoreErrors(Display *d, XErrorEvent *e)
{
    (void)d;
    (void)e;
    return 0;
}

static int Holds(const char *text, const char *pattern)
{
    if (!text)
        return 0;
    size_t n = strlen(pattern);
    for (const char *at = text; *at; ++at)
        if (strncasecmp(at, pattern, n) == 0)
            return 1;
    return 0;
}

static int Matches(Window w, const char *pattern)
{
    XClassHint hint = {0, 0};
    int found = 0;
    if (XGetClassHint(display, w, &hint)) {
        found = Holds(hint.res_name, pattern) || Holds(hint.res_class, pattern);
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    if (!found) {
        XTextProperty title;
        Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
        if (XGetTextProperty(display, w, &title, netName) && title.value) {
            found = Holds((const char *)title.value, pattern);
            XFree(title.value);
        }
    }
    if (!found) {
        char *name = NULL;
        if (XFetchName(display, w, &name) && name) {
            found = Holds(name, pattern);
            XFree(name);
        }
    }
    return found;
}

static Window Find(Window w, const char *pattern)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, w, &a) || a.map_state != IsViewable)
        return 0;
    if (a.width >= 200 && a.height >= 100 && Matches(w, pattern))
        return w;
    Window root, parent, *children = NULL;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, w, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = Find(children[i], pattern);
        if (children)
            XFree(children);
    }
    return found;
}

static XImage *Grab(Window w)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, w, &a))
        return NULL;
    return XGetImage(display, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
}

static uint32_t Pixel(XImage *image, int x, int y)
{
    if (image->bits_per_pixel == 32)
        return ((uint32_t *)(image->data + y * image->bytes_per_line))[x];
    return (uint32_t)XGetPixel(image, x, y);
}

static int Coloured(uint32_t p)
{
    int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    int hi = r > g ? (r > b ? r : b) : (g > b ? g : b);
    int lo = r < g ? (r < b ? r : b) : (g < b ? g : b);
    return hi - lo >= 70 && hi >= 60;
}

static long CountColoured(XImage *image)
{
    long count = 0;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            count += Coloured(Pixel(image, x, y));
    return count;
}

static long CountChanged(XImage *a, XImage *b)
{
    if (a->width != b->width || a->height != b->height)
        return (long)b->width * b->height;
    long count = 0;
    for (int y = 0; y < a->height; ++y)
        for (int x = 0; x < a->width; ++x)
            count += Pixel(a, x, y) != Pixel(b, x, y);
    return count;
}

static void PressKeys(const char *keys)
{
    char combination[256];
    snprintf(combination, sizeof combination, "%s", keys);
    KeyCode codes[8];
    int n = 0;
    for (char *part = strtok(combination, "+"); part && n < 8; part = strtok(NULL, "+")) {
        KeySym sym = NoSymbol;
        if (strcasecmp(part, "ctrl") == 0)
            sym = XK_Control_L;
        else if (strcasecmp(part, "shift") == 0)
            sym = XK_Shift_L;
        else
            sym = XStringToKeysym(part);
        codes[n++] = XKeysymToKeycode(display, sym);
    }
    for (int i = 0; i < n; ++i)
        XTestFakeKeyEvent(display, codes[i], True, CurrentTime);
    for (int i = n - 1; i >= 0; --i)
        XTestFakeKeyEvent(display, codes[i], False, CurrentTime);
    XFlush(display);
}

/// Types `text` key by key, with Shift for the characters that need it.
static void Type(const char *text)
{
    KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    for (const char *at = text; *at; ++at) {
        char name[2] = {*at, 0};
        KeySym sym = *at == '/'   ? XK_slash
                     : *at == '.' ? XK_period
                     : *at == '_' ? XK_underscore
                     : *at == '-' ? XK_minus
                     : *at == ' ' ? XK_space
                                  : XStringToKeysym(name);
        KeyCode code = XKeysymToKeycode(display, sym);
        int shifted = XkbKeycodeToKeysym(display, code, 0, 0) != sym;
        if (shifted)
            XTestFakeKeyEvent(display, shift, True, CurrentTime);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        if (shifted)
            XTestFakeKeyEvent(display, shift, False, CurrentTime);
    }
    XFlush(display);
}

static void Pause(void)
{
    struct timespec pause = {0, 1000000};
    nanosleep(&pause, NULL);
}

struct Goal {
    XImage *before;
    long minChanged;
    long minColoured;
    long coloured;
};

static int Reached(XImage *now, struct Goal *goal)
{
    goal->coloured = CountColoured(now);
    if (goal->coloured < goal->minColoured)
        return 0;
    return !goal->before || CountChanged(goal->before, now) >= goal->minChanged;
}

static int TitleHolds(Window w, const char *title)
{
    XTextProperty name;
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    int holds = 0;
    if (XGetTextProperty(display, w, &name, netName) && name.value) {
        holds = Holds((const char *)name.value, title);
        XFree(name.value);
    }
    return holds;
}

/// The time of the first drawing to `w` after which it meets `goal`, or -1 at the deadline. The
/// damage watch is set up by the caller before anything that may draw. With `title`, drawing
/// counts only once the window's title holds it.
static int64_t WaitForDrawing(Window w, Damage damage, int damageEvent, struct Goal *goal,
                              const char *title, int64_t deadline)
{
    int fd = ConnectionNumber(display);
    int titled = !title || TitleHolds(w, title);
    for (;;) {
        int64_t drawn = -1;
        int damaged = 0;
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == PropertyNotify && !titled)
                titled = TitleHolds(w, title);
            else if (event.type == damageEvent + XDamageNotify) {
                damaged = 1;
                if (drawn < 0 && titled)
                    drawn = NowNs();
            }
        }
        // A report comes only when the damage goes from none to some: it is cleared each time.
        if (damaged)
            XDamageSubtract(display, damage, None, None);
        if (drawn >= 0) {
            XImage *now = Grab(w);
            int done = now && Reached(now, goal);
            if (now)
                XDestroyImage(now);
            if (done)
                return drawn;
        }
        int64_t left = deadline - NowNs();
        if (left <= 0)
            return -1;
        // Reading the image may have queued reports that the socket will not signal again.
        if (XEventsQueued(display, QueuedAlready) > 0)
            continue;
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(fd, &ready);
        struct timeval wait = {0, left > 50000000 ? 50000 : (long)(left / 1000)};
        select(fd + 1, &ready, NULL, NULL, &wait);
    }
}

/// Whether the keyboard goes to `w` or a window inside it.
static int HasFocus(Window w)
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    while (focus && focus != PointerRoot) {
        if (focus == w)
            return 1;
        Window root, parent, *children = NULL;
        unsigned int count = 0;
        if (!XQueryTree(display, focus, &root, &parent, &children, &count))
            return 0;
        if (children)
            XFree(children);
        if (parent == root)
            return 0;
        focus = parent;
    }
    return 0;
}

/// Waits until the pixels of `w` differ from `before`, reading them at each report of drawing.
static int ChangesFrom(Window w, XImage *before, int64_t deadline)
{
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError))
        return 0;
    Damage damage = XDamageCreate(display, w, XDamageReportNonEmpty);
    struct Goal goal = {before, 1, 0, 0};
    int changed = WaitForDrawing(w, damage, damageEvent, &goal, NULL, deadline) >= 0;
    XDamageDestroy(display, damage);
    return changed;
}

/// Types `path` into the dialog that has the keyboard, until the dialog shows a change: a path
/// typed before its name field took keys goes nowhere, and is typed again over whatever part of
/// it arrived.
static int TypeIntoDialog(Window dialog, const char *path, int64_t deadline)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        XSync(display, False);
        XImage *before = Grab(dialog);
        if (!before)
            return 0;
        if (attempt > 0)
            PressKeys("ctrl+a");
        Type(path);
        int64_t wait = NowNs() + 2000000000LL;
        int shown = ChangesFrom(dialog, before, wait < deadline ? wait : deadline);
        XDestroyImage(before);
        if (shown)
            return 1;
    }
    return 0;
}

/// File > Open answered with `path` as a user would; see the head of this file.
static int AnswerOpenDialog(Window w, const char *title, const char *path, int64_t deadline)
{
    XRaiseWindow(display, w);
    XSetInputFocus(display, w, RevertToParent, CurrentTime);
    XSync(display, False);
    PressKeys("ctrl+o");
    Window dialog = 0;
    while (!(dialog = Find(DefaultRootWindow(display), title)) || !HasFocus(dialog)) {
        if (NowNs() > deadline) {
            fprintf(stderr, "xwatch: no dialog \"%s\" took the keyboard\n", title);
            return 3;
        }
        Pause();
    }
    if (!TypeIntoDialog(dialog, path, deadline)) {
        fprintf(stderr, "xwatch: the dialog never showed the path typed into it\n");
        return 3;
    }
    PressKeys("Return");
    int64_t answered = NowNs();
    while (Find(DefaultRootWindow(display), title)) {
        if (NowNs() > deadline) {
            fprintf(stderr, "xwatch: the dialog stayed open after Return\n");
            return 3;
        }
        Pause();
    }
    printf("%lld\n", (long long)answered);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 3 || !(display = XOpenDisplay(NULL))) {
        fprintf(stderr, "usage: see the head of xwatch.c; DISPLAY must be set\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    const char *command = argv[1];
    if (strcmp(command, "window") == 0 && argc == 4) {
        int64_t deadline = NowNs() + atoll(argv[3]) * 1000000;
        while (NowNs() < deadline) {
            Window w = Find(DefaultRootWindow(display), argv[2]);
            if (w) {
                printf("%lu %lld\n", (unsigned long)w, (long long)NowNs());
                return 0;
            }
            Pause();
        }
        return 1;
    }
    Window w = (Window)strtoul(argv[2], NULL, 0);
    if (strcmp(command, "open") == 0 && argc == 6)
        return AnswerOpenDialog(w, argv[3], argv[4], NowNs() + atoll(argv[5]) * 1000000);
    if (strcmp(command, "count") == 0) {
        XImage *image = Grab(w);
        printf("%ld\n", image ? CountColoured(image) : -1L);
        return image ? 0 : 1;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        fprintf(stderr, "xwatch: the X server has no DAMAGE extension\n");
        return 2;
    }
    Damage damage = XDamageCreate(display, w, XDamageReportNonEmpty);
    if ((strcmp(command, "coloured") == 0 && argc == 5) ||
        (strcmp(command, "loaded") == 0 && argc == 6)) {
        const char *title = argc == 6 ? argv[3] : NULL;
        struct Goal goal = {NULL, 0, atol(argv[argc - 2]), 0};
        XSelectInput(display, w, PropertyChangeMask);
        XImage *now = title ? NULL : Grab(w);
        if (now && Reached(now, &goal)) {
            printf("%lld %ld\n", (long long)NowNs(), goal.coloured);
            return 0;
        }
        int64_t at = WaitForDrawing(w, damage, damageEvent, &goal, title,
                                    NowNs() + atoll(argv[argc - 1]) * 1000000);
        if (at < 0)
            return 1;
        printf("%lld %ld\n", (long long)at, goal.coloured);
        return 0;
    }
    if (strcmp(command, "key") == 0 && argc == 7) {
        XSync(display, False);
        struct Goal goal = {Grab(w), atol(argv[4]), atol(argv[5]), 0};
        if (!goal.before)
            return 1;
        XDamageSubtract(display, damage, None, None);
        XSync(display, False);
        int64_t start = NowNs();
        PressKeys(argv[3]);
        int64_t at = WaitForDrawing(w, damage, damageEvent, &goal, NULL,
                                    start + atoll(argv[6]) * 1000000);
        if (at < 0)
            return 1;
        printf("%.3f\n", (at - start) / 1e6);
        return 0;
    }
    fprintf(stderr, "xwatch: unknown command or wrong arguments\n");
    return 2;
}
