// Field numbers of the main window: the menu entries in definition order (menus and submenus
// included, separators not numbered) and the host region. Shared by the window resource and the
// program's code.
#ifndef LUMIVEX_DEMO_MAIN_WINDOW_FIELDS_H
#define LUMIVEX_DEMO_MAIN_WINDOW_FIELDS_H

#define FIELD_FILE_MENU 1
#define FIELD_OPEN 2
#define FIELD_APPEND 3
#define FIELD_CLEAR 4
#define FIELD_PRINT 5
#define FIELD_ZOOM_MENU 6
#define FIELD_ZOOM_100 7
#define FIELD_ZOOM_IN 8
#define FIELD_ZOOM_OUT 9
#define FIELD_FULL_WIDTH 10
#define FIELD_FULL_PAGE 11
#define FIELD_TWO_PAGES 12
#define FIELD_DISABLE_MENU 13
#define FIELD_DISABLE_PRINT 14
#define FIELD_DISABLE_HQ_PRINT 15
#define FIELD_DISABLE_SELECT_PRINTER 16
#define FIELD_DISABLE_DC_PRINT 17
#define FIELD_EXIT 18
#define FIELD_INFO_MENU 19
#define FIELD_PAGE_COUNT 20
#define FIELD_PAGE_TEXT_LENGTH 21
#define FIELD_PAGE_TEXT 22
#define FIELD_DOCUMENT_TEXT_LENGTH 23
#define FIELD_HELP_MENU 24
#define FIELD_DOCUMENT_PROPERTIES 25
#define FIELD_ABOUT 26
#define FIELD_HOSTREGION 27

/* Standard action of the toolkit: close the window. */
#define STANDARD_CLOSE 15

#endif
