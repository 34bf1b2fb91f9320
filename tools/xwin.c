/* What a window manager does to Wine's X windows, for the tests: find one by its exact title, and close it
 * through its title bar (the ICCCM WM_DELETE_WINDOW message, which Wine turns into SC_CLOSE and WM_CLOSE).
 *
 *   xwin ready TIMEOUT_MS            wait until the display in DISPLAY accepts connections
 *   xwin find TITLE TIMEOUT_MS       print the id of the mapped window titled exactly TITLE (UTF-8)
 *   xwin close WINDOW                send WM_DELETE_WINDOW to WINDOW (an id as printed by find)
 *   xwin mark TAG                    tag the display as ours (a property of the root window)
 *   xwin marked TAG                  succeed when the display carries exactly that tag
 *
 * Exit codes: 0 done, 1 not found or refused before the deadline, 2 usage or X errors. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static long long now_ms(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

static void pause_50ms(void) {
  struct timespec ts = {0, 50 * 1000 * 1000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

static int ignore_errors(Display* display, XErrorEvent* event) {
  (void)display;
  (void)event;
  return 0;
}

/* The window's title as a window manager reads it: _NET_WM_NAME in UTF-8, else WM_NAME. */
static char* window_title(Display* display, Window window) {
  Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = NULL;
  if (XGetWindowProperty(display, window, net_wm_name, 0, 65536, False, utf8, &type, &format, &count, &after, &data) ==
          Success &&
      data != NULL && type == utf8 && format == 8) {
    return (char*)data;
  }
  if (data != NULL) XFree(data);
  char* name = NULL;
  if (XFetchName(display, window, &name) && name != NULL) return name;
  return NULL;
}

static int is_viewable(Display* display, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

/* Depth-first over the whole tree: managed or not, Wine's top-level windows may sit below the root's children. */
static Window find_titled(Display* display, Window window, const char* title, int depth) {
  char* name = window_title(display, window);
  int match = name != NULL && strcmp(name, title) == 0 && is_viewable(display, window);
  if (name != NULL) XFree(name);
  if (match) return window;
  if (depth == 0) return None;
  Window root, parent, *children = NULL;
  unsigned int count = 0;
  Window found = None;
  if (XQueryTree(display, window, &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && found == None; ++i)
      found = find_titled(display, children[i], title, depth - 1);
    if (children != NULL) XFree(children);
  }
  return found;
}

static int accepts_delete(Display* display, Window window, Atom delete_window) {
  Atom* protocols = NULL;
  int count = 0;
  int found = 0;
  if (XGetWMProtocols(display, window, &protocols, &count)) {
    for (int i = 0; i < count; ++i) found |= protocols[i] == delete_window;
    XFree(protocols);
  }
  return found;
}

static int cmd_ready(long timeout_ms) {
  long long deadline = now_ms() + timeout_ms;
  for (;;) {
    Display* display = XOpenDisplay(NULL);
    if (display != NULL) {
      XCloseDisplay(display);
      return 0;
    }
    if (now_ms() >= deadline) return 1;
    pause_50ms();
  }
}

static int cmd_find(Display* display, const char* title, long timeout_ms) {
  long long deadline = now_ms() + timeout_ms;
  for (;;) {
    Window found = find_titled(display, DefaultRootWindow(display), title, 3);
    if (found != None) {
      printf("0x%lx\n", (unsigned long)found);
      return 0;
    }
    if (now_ms() >= deadline) {
      fprintf(stderr, "xwin: no window titled \"%s\" within %ld ms\n", title, timeout_ms);
      return 1;
    }
    pause_50ms();
  }
}

static int cmd_close(Display* display, Window window) {
  Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
  if (!accepts_delete(display, window, delete_window)) {
    fprintf(stderr, "xwin: window 0x%lx does not take WM_DELETE_WINDOW\n", (unsigned long)window);
    return 1;
  }
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)delete_window;
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  return 0;
}

static int cmd_mark(Display* display, const char* tag) {
  Atom owner = XInternAtom(display, "QUORVEL_OWNER", False);
  XChangeProperty(display, DefaultRootWindow(display), owner, XA_STRING, 8, PropModeReplace, (const unsigned char*)tag,
                  (int)strlen(tag));
  XSync(display, False);
  return 0;
}

static int cmd_marked(Display* display, const char* tag) {
  Atom owner = XInternAtom(display, "QUORVEL_OWNER", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = NULL;
  int same = XGetWindowProperty(display, DefaultRootWindow(display), owner, 0, 4096, False, XA_STRING, &type, &format,
                                &count, &after, &data) == Success &&
             data != NULL && count == strlen(tag) && memcmp(data, tag, count) == 0;
  if (data != NULL) XFree(data);
  return same ? 0 : 1;
}

static int usage(void) {
  fprintf(stderr, "usage: xwin ready TIMEOUT_MS | find TITLE TIMEOUT_MS | close WINDOW | mark TAG | marked TAG\n");
  return 2;
}

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "ready") == 0) return cmd_ready(strtol(argv[2], NULL, 10));
  const char* command = argc >= 2 ? argv[1] : "";
  int find = argc == 4 && strcmp(command, "find") == 0;
  int one_arg =
      argc == 3 && (strcmp(command, "close") == 0 || strcmp(command, "mark") == 0 || strcmp(command, "marked") == 0);
  if (!find && !one_arg) return usage();
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "xwin: cannot open display \"%s\"\n", XDisplayName(NULL));
    return 2;
  }
  /* Windows come and go while we walk the tree; a vanished one is simply no match. */
  XSetErrorHandler(ignore_errors);
  int rc = find                             ? cmd_find(display, argv[2], strtol(argv[3], NULL, 10))
           : strcmp(command, "mark") == 0   ? cmd_mark(display, argv[2])
           : strcmp(command, "marked") == 0 ? cmd_marked(display, argv[2])
                                            : cmd_close(display, (Window)strtoul(argv[2], NULL, 0));
  XCloseDisplay(display);
  return rc;
}
