{ Declarations of lumivexctl.dll's C interface (lumivexctl_c.h) for Delphi and Free Pascal.
  Every function is stdcall and exported under its plain name. Text is 8-bit (the ANSI code page):
  pass -1 as the length for a NUL-terminated string. Call from the thread that owns the host
  window. }
unit lumivexctl;

interface

const
  LumivexctlDll = 'lumivexctl.dll';

  LVX_OK = 0;
  LVX_ERROR_ARGUMENT = 1;
  LVX_ERROR_LIBRARY = 2;
  LVX_ERROR_CLASS = 3;
  LVX_ERROR_PLACEHOLDER = 4;

  LVX_SWITCH_HORIZONTAL_SCROLL_BAR = 1;
  LVX_SWITCH_VERTICAL_SCROLL_BAR = 2;
  LVX_SWITCH_PROPERTY_PANEL = 3;
  LVX_SWITCH_NAVIGATION_PANEL = 4;
  LVX_SWITCH_VIEW_PANEL = 5;

type
  PLvxViewer = Pointer;

  { The host services; each receives the table's context first. }
  TLvxHostServices = record
    Context: Pointer;
    SetPixelUnits: procedure(Context: Pointer; On_: Integer); stdcall;
    ControlPosition: procedure(Context: Pointer; Control: Integer;
      var X, Y, Width, Height: Integer); stdcall;
    ClientWindow: function(Context: Pointer): Integer; stdcall;
    InstanceHandle: function(Context: Pointer): NativeInt; stdcall;
    SetControlWindow: function(Context: Pointer; Control, Window: Integer): Integer; stdcall;
    ControlWindow: function(Context: Pointer; Control: Integer): Integer; stdcall;
    ShowMessage: procedure(Context: Pointer; Text: PAnsiChar); stdcall;
  end;
  PLvxHostServices = ^TLvxHostServices;

function lvx_create: PLvxViewer; stdcall; external LumivexctlDll;
procedure lvx_destroy(Viewer: PLvxViewer); stdcall; external LumivexctlDll;
function lvx_init(Viewer: PLvxViewer; HostWindow: Pointer; Placeholder: Integer;
  Window: PInteger): Integer; stdcall; external LumivexctlDll;
function lvx_init_with_host(Viewer: PLvxViewer; Host: PLvxHostServices; Placeholder: Integer;
  Window: PInteger): Integer; stdcall; external LumivexctlDll;
procedure lvx_kill(Viewer: PLvxViewer); stdcall; external LumivexctlDll;
function lvx_load_file(Viewer: PLvxViewer; Omitted: Byte; Name: PAnsiChar;
  Length: Integer): Integer; stdcall; external LumivexctlDll;
function lvx_append_file(Viewer: PLvxViewer; Omitted: Byte; Name: PAnsiChar;
  Length: Integer): Integer; stdcall; external LumivexctlDll;
{ File names in any script: UTF-16 (_w) or UTF-8 (_utf8). }
function lvx_load_file_w(Viewer: PLvxViewer; Omitted: Byte; Name: PWideChar;
  Length: Integer): Integer; stdcall; external LumivexctlDll;
function lvx_append_file_w(Viewer: PLvxViewer; Omitted: Byte; Name: PWideChar;
  Length: Integer): Integer; stdcall; external LumivexctlDll;
function lvx_load_file_utf8(Viewer: PLvxViewer; Omitted: Byte; Name: PAnsiChar;
  Length: Integer): Integer; stdcall; external LumivexctlDll;
function lvx_append_file_utf8(Viewer: PLvxViewer; Omitted: Byte; Name: PAnsiChar;
  Length: Integer): Integer; stdcall; external LumivexctlDll;
procedure lvx_clear_view(Viewer: PLvxViewer); stdcall; external LumivexctlDll;
procedure lvx_show_about(Viewer: PLvxViewer); stdcall; external LumivexctlDll;
procedure lvx_document_properties(Viewer: PLvxViewer); stdcall; external LumivexctlDll;
procedure lvx_set_zoom(Viewer: PLvxViewer; ZoomMode: Integer); stdcall; external LumivexctlDll;
procedure lvx_disable_print(Viewer: PLvxViewer; PrintFeature: Integer); stdcall;
  external LumivexctlDll;
function lvx_find_text(Viewer: PLvxViewer; Text: PAnsiChar; Length: Integer;
  MarkFound, UseFind2, Preset, OptionValue: Byte): Integer; stdcall; external LumivexctlDll;
procedure lvx_print(Viewer: PLvxViewer; ShowDialog, FirstPageOmitted: Byte; FirstPage: Integer;
  LastPageOmitted: Byte; LastPage: Integer); stdcall; external LumivexctlDll;
procedure lvx_print_to_printer(Viewer: PLvxViewer; Printer: PAnsiChar; Length: Integer;
  FirstPageOmitted: Byte; FirstPage: Integer; LastPageOmitted: Byte; LastPage: Integer); stdcall;
  external LumivexctlDll;
procedure lvx_set_view_control_properties(Viewer: PLvxViewer); stdcall; external LumivexctlDll;
function lvx_get_page_count(Viewer: PLvxViewer): Integer; stdcall; external LumivexctlDll;
function lvx_get_text_length(Viewer: PLvxViewer; PageOmitted: Byte; Page: Integer): Integer;
  stdcall; external LumivexctlDll;
procedure lvx_get_text(Viewer: PLvxViewer; Field: PAnsiChar; Capacity: Integer;
  PageOmitted: Byte; Page: Integer); stdcall; external LumivexctlDll;
procedure lvx_set_switch(Viewer: PLvxViewer; Which: Integer; Value: Byte); stdcall;
  external LumivexctlDll;
function lvx_get_switch(Viewer: PLvxViewer; Which: Integer): Byte; stdcall;
  external LumivexctlDll;
function lvx_window(Viewer: PLvxViewer): Integer; stdcall; external LumivexctlDll;
function lvx_library(Viewer: PLvxViewer): NativeInt; stdcall; external LumivexctlDll;

implementation

end.
