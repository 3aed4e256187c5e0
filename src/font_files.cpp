// The program's own FT_New_Face and hb_blob_create_from_file, which the libraries that draw text
// call instead of FreeType's and HarfBuzz's: cairo opens faces with the first, Pango's shaper
// reads font files with the second. Both now read one shared mapping of each file, whose pages
// the main loop gives back when idle (platform/gtk/font_file_maps.h says why).
//
// The program exports these symbols (exported_symbols.list), so the dynamic linker binds the
// libraries' calls to them. Tests link the libraries without them and keep the libraries' own.

#include "platform/gtk/font_file_maps.h"

extern "C" FT_Error FT_New_Face(FT_Library library, const char* path, FT_Long face_index, FT_Face* face) {
  return qrv::OpenMappedFontFace(library, path, face_index, face);
}

extern "C" hb_blob_t* hb_blob_create_from_file(const char* path) { return qrv::MappedFontBlob(path); }
