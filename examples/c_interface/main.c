/* A C program that uses lumivexctl.dll's C interface (lumivexctl_c.h), linked through the
   package's CMake target lumivexctl::c: a window with a placeholder, the viewer started over it,
   a document opened, its page count printed, the viewer killed and destroyed.
     c_interface FILE.pdf */
#include <windows.h>

#include <stdio.h>

#include <lumivexctl/lumivexctl_c.h>

enum { kPlaceholder = 27 };

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: c_interface FILE.pdf\n");
    return 2;
  }
  HWND window = CreateWindowExA(0, "STATIC", "Viewer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                520, 420, NULL, NULL, GetModuleHandleA(NULL), NULL);
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 480, 360, window,
                  (HMENU)(INT_PTR)kPlaceholder, GetModuleHandleA(NULL), NULL);
  LvxViewer* viewer = lvx_create();
  if (window == NULL || viewer == NULL) {
    fprintf(stderr, "no window or no viewer\n");
    return 1;
  }
  lvx_set_switch(viewer, LVX_SWITCH_VERTICAL_SCROLL_BAR, 1);
  int32_t result = lvx_init(viewer, window, kPlaceholder, NULL);
  if (result != LVX_OK) {
    fprintf(stderr, "lvx_init answered %d\n", (int)result);
    lvx_destroy(viewer);
    return 1;
  }
  lvx_load_file(viewer, 0, argv[1], -1);
  printf("pages: %d\n", (int)lvx_get_page_count(viewer));
  lvx_kill(viewer);
  lvx_destroy(viewer);
  DestroyWindow(window);
  return 0;
}
