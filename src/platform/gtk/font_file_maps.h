#pragma once
// Font files mapped once for the whole process, and given back to the page cache when idle.
//
// The libraries that draw text open the same font file twice: HarfBuzz (shaping, through Pango)
// maps it, and FreeType (glyphs, through cairo) opens it again. The skin's font is a 19 MB CJK
// collection in CFF outlines. Read through a file stream, FreeType copies every subroutine table
// of the collection's face into its heap, about 2.3 MiB per face that stay for the program's
// life. Read from memory, it copies nothing, but each glyph it loads makes the kernel map the
// 64 KiB of the file around it, and the mapped pages count as the program's memory until it
// unmaps them.
//
// So both libraries get one read-only mapping per file, and once the main loop has nothing else
// to do after any work, the mapped pages are dropped from the process (MADV_DONTNEED). The file's
// pages stay in the page cache, shared with every other program that uses the font; the next
// glyph or shaping run maps the few it needs again from there. Nothing is ever written to a
// mapping, so what a library reads after a drop is what it read before.
//
// The program routes FreeType's and HarfBuzz's opening of font files here (font_files.cpp).

#include <ft2build.h>
#include <hb.h>

#include <cstddef>

#include FT_FREETYPE_H

namespace qrv {

// FT_New_Face through the shared mapping: the face reads the file as memory.
FT_Error OpenMappedFontFace(FT_Library library, const char* path, FT_Long face_index, FT_Face* face);

// hb_blob_create_from_file through the shared mapping: the empty blob when the file cannot be
// mapped, as HarfBuzz's own gives. The blob is read-only: HarfBuzz copies a table it must mend.
hb_blob_t* MappedFontBlob(const char* path);

// How many font files are mapped now.
std::size_t MappedFontFileCount();

}  // namespace qrv
