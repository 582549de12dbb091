// P/Invoke declarations of lumivexctl.dll's C interface (lumivexctl_c.h) for C#.
// Build the program for the package's architecture (x86 for win32, x64 for win64), and call from
// the thread that owns the host window. Text is 8-bit (the ANSI code page).
using System;
using System.Runtime.InteropServices;

namespace Lumivexctl
{
    public static class Native
    {
        private const string Dll = "lumivexctl.dll";

        public const int LVX_OK = 0;
        public const int LVX_ERROR_ARGUMENT = 1;
        public const int LVX_ERROR_LIBRARY = 2;
        public const int LVX_ERROR_CLASS = 3;
        public const int LVX_ERROR_PLACEHOLDER = 4;

        public const int LVX_SWITCH_HORIZONTAL_SCROLL_BAR = 1;
        public const int LVX_SWITCH_VERTICAL_SCROLL_BAR = 2;
        public const int LVX_SWITCH_PROPERTY_PANEL = 3;
        public const int LVX_SWITCH_NAVIGATION_PANEL = 4;
        public const int LVX_SWITCH_VIEW_PANEL = 5;

        // The host services (LvxHostServices); each receives the table's context first.
        [UnmanagedFunctionPointer(CallingConvention.StdCall)]
        public delegate void SetPixelUnits(IntPtr context, int on);
        [UnmanagedFunctionPointer(CallingConvention.StdCall)]
        public delegate void ControlPosition(IntPtr context, int control, out int x, out int y,
                                             out int width, out int height);
        [UnmanagedFunctionPointer(CallingConvention.StdCall)]
        public delegate int ClientWindow(IntPtr context);
        [UnmanagedFunctionPointer(CallingConvention.StdCall)]
        public delegate IntPtr InstanceHandle(IntPtr context);
        [UnmanagedFunctionPointer(CallingConvention.StdCall)]
        public delegate int SetControlWindow(IntPtr context, int control, int window);
        [UnmanagedFunctionPointer(CallingConvention.StdCall)]
        public delegate int ControlWindow(IntPtr context, int control);
        [UnmanagedFunctionPointer(CallingConvention.StdCall)]
        public delegate void ShowMessage(IntPtr context,
                                         [MarshalAs(UnmanagedType.LPStr)] string text);

        // Keep the delegates alive (in fields) for as long as the viewer may call them.
        [StructLayout(LayoutKind.Sequential, Pack = 8)]
        public struct HostServices
        {
            public IntPtr Context;
            public SetPixelUnits SetPixelUnits;
            public ControlPosition ControlPosition;
            public ClientWindow ClientWindow;
            public InstanceHandle InstanceHandle;
            public SetControlWindow SetControlWindow;
            public ControlWindow ControlWindow;
            public ShowMessage ShowMessage;
        }

        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr lvx_create();
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_destroy(IntPtr viewer);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern int lvx_init(IntPtr viewer, IntPtr hostWindow, int placeholder,
                                          out int window);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern int lvx_init_with_host(IntPtr viewer, ref HostServices host,
                                                    int placeholder, out int window);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_kill(IntPtr viewer);

        // Text: pass -1 as the length for a whole string.
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int lvx_load_file(IntPtr viewer, byte omitted, string name,
                                               int length);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int lvx_append_file(IntPtr viewer, byte omitted, string name,
                                                 int length);
        // File names in any script: UTF-16 (C# strings as they are) or UTF-8 bytes.
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        public static extern int lvx_load_file_w(IntPtr viewer, byte omitted, string name,
                                                 int length);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        public static extern int lvx_append_file_w(IntPtr viewer, byte omitted, string name,
                                                   int length);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern int lvx_load_file_utf8(IntPtr viewer, byte omitted, byte[] name,
                                                    int length);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern int lvx_append_file_utf8(IntPtr viewer, byte omitted, byte[] name,
                                                      int length);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_clear_view(IntPtr viewer);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_show_about(IntPtr viewer);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_document_properties(IntPtr viewer);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_set_zoom(IntPtr viewer, int zoomMode);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_disable_print(IntPtr viewer, int printFeature);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern int lvx_find_text(IntPtr viewer, string text, int length,
                                               byte markFound, byte useFind2, byte preset,
                                               byte optionValue);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_print(IntPtr viewer, byte showDialog, byte firstPageOmitted,
                                            int firstPage, byte lastPageOmitted, int lastPage);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi)]
        public static extern void lvx_print_to_printer(IntPtr viewer, string printer, int length,
                                                       byte firstPageOmitted, int firstPage,
                                                       byte lastPageOmitted, int lastPage);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_set_view_control_properties(IntPtr viewer);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern int lvx_get_page_count(IntPtr viewer);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern int lvx_get_text_length(IntPtr viewer, byte pageOmitted, int page);
        // The field is `capacity` bytes, padded with spaces, no NUL.
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_get_text(IntPtr viewer, byte[] field, int capacity,
                                               byte pageOmitted, int page);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern void lvx_set_switch(IntPtr viewer, int which, byte value);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern byte lvx_get_switch(IntPtr viewer, int which);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern int lvx_window(IntPtr viewer);
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]
        public static extern IntPtr lvx_library(IntPtr viewer);
    }
}
