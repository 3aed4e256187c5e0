find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(GLIB REQUIRED IMPORTED_TARGET glib-2.0 gio-2.0 gio-unix-2.0)
pkg_check_modules(GMODULE REQUIRED IMPORTED_TARGET gmodule-2.0)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(SOUP REQUIRED IMPORTED_TARGET libsoup-3.0 json-glib-1.0)
# The skinned toolkit: drawing, text, pictures, the skin archive and the layout files.
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo pangocairo)
pkg_check_modules(PIXBUF REQUIRED IMPORTED_TARGET gdk-pixbuf-2.0)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
find_package(pugixml REQUIRED)
# The embedded browser view: WebKitGTK 4.1 on GTK 3. The guard is on the target, which is made
# anew at every configure, not on GTK_FOUND, which the cache keeps.
if(NOT TARGET PkgConfig::GTK)
  pkg_check_modules(GTK REQUIRED IMPORTED_TARGET gtk+-3.0)
endif()
pkg_check_modules(WEBKIT REQUIRED IMPORTED_TARGET webkit2gtk-4.1)
# The GTK back end of the platform core: windows, X11 specifics, and key grabs for hotkeys.
if(NOT GTK_FOUND)
  pkg_check_modules(GTK REQUIRED IMPORTED_TARGET gtk+-3.0)
endif()
pkg_check_modules(GDK_X11 REQUIRED IMPORTED_TARGET gdk-x11-3.0 x11)
pkg_check_modules(KEYBINDER REQUIRED IMPORTED_TARGET keybinder-3.0)
