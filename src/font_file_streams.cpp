// The program's own FT_New_Face, which the libraries that draw text (cairo, through Pango) call
// instead of FreeType's: it opens the font file as a stream that FreeType reads with pread(), not
// as a memory map.
//
// Why: the skin's font, Noto Sans CJK, is a 19 MB collection. Pango's shaper (HarfBuzz) maps the
// file once and FreeType, opening it by name, mapped it a second time. Every glyph FreeType loads
// from its map makes the kernel map the 64 KiB around it, so the few dozen characters of the
// login window kept about 7 MiB of the two font files resident (bench/startup.sh). Read through a
// stream, FreeType keeps only the tables it needs and each glyph's few hundred bytes while it
// loads it; the file is mapped once, by HarfBuzz. The glyphs are the same, so is every pixel.
//
// The program exports this symbol (exported_symbols.list), so the dynamic linker binds the
// libraries' calls to it. Tests link the libraries without it and keep FreeType's own.

#include <fcntl.h>
#include <ft2build.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include FT_FREETYPE_H

namespace {

unsigned long ReadAt(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
  // A count of zero asks to seek: 0 means the position exists.
  if (count == 0) return offset <= stream->size ? 0 : 1;
  const int fd = static_cast<int>(stream->descriptor.value);
  unsigned long done = 0;
  while (done < count) {
    const ssize_t got = pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<unsigned long>(got);
  }
  return done;
}

// FreeType calls this once for every stream it was given, when the face goes and when opening
// the face failed.
void CloseStream(FT_Stream stream) {
  close(static_cast<int>(stream->descriptor.value));
  std::free(stream);
}

}  // namespace

extern "C" FT_Error FT_New_Face(FT_Library library, const char* path, FT_Long face_index, FT_Face* face) {
  // FreeType refuses these before it takes the stream, which would then stay open.
  if (library == nullptr) return FT_Err_Invalid_Library_Handle;
  if (path == nullptr || face == nullptr) return FT_Err_Invalid_Argument;
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FT_Err_Cannot_Open_Resource;
  struct stat info {};
  auto* stream = static_cast<FT_Stream>(std::calloc(1, sizeof(FT_StreamRec)));
  if (fstat(fd, &info) != 0 || stream == nullptr) {
    close(fd);
    std::free(stream);
    return FT_Err_Cannot_Open_Resource;
  }
  stream->size = static_cast<unsigned long>(info.st_size);
  stream->descriptor.value = fd;
  stream->read = &ReadAt;
  stream->close = &CloseStream;
  FT_Open_Args args{};
  args.flags = FT_OPEN_STREAM;
  args.stream = stream;
  return FT_Open_Face(library, &args, face_index, face);
}
