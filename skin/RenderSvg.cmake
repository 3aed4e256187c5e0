# Rendering of the SVG picture sources into PNG files, shared by the skin and the program's
# resources. Each SVG declares its pixel size in the width and height of its root element; the
# size is read here and handed to rsvg-convert explicitly, so a picture whose cut-outs sit at fixed
# source rectangles can never come out scaled.

find_program(QRV_RSVG_CONVERT rsvg-convert REQUIRED)

# qrv_svg_pixel_size(<svg file> <width variable> <height variable>)
function(qrv_svg_pixel_size svg out_width out_height)
  file(READ "${svg}" text)
  string(REGEX MATCH "<svg[^>]*>" root "${text}")
  if(NOT root)
    message(FATAL_ERROR "${svg}: no <svg> root element")
  endif()
  string(REGEX MATCH "[ \t\r\n]width=\"([0-9]+)\"" found "${root}")
  set(width "${CMAKE_MATCH_1}")
  string(REGEX MATCH "[ \t\r\n]height=\"([0-9]+)\"" found "${root}")
  set(height "${CMAKE_MATCH_1}")
  if(NOT width OR NOT height)
    message(FATAL_ERROR "${svg}: the root element needs whole-pixel width and height attributes")
  endif()
  set(${out_width} "${width}" PARENT_SCOPE)
  set(${out_height} "${height}" PARENT_SCOPE)
endfunction()

# qrv_render_svg(<svg file> <png file>): a build rule that renders one picture.
function(qrv_render_svg svg png)
  qrv_svg_pixel_size("${svg}" width height)
  get_filename_component(png_dir "${png}" DIRECTORY)
  get_filename_component(svg_name "${svg}" NAME)
  get_filename_component(svg_dir "${svg}" DIRECTORY)
  get_filename_component(svg_dir "${svg_dir}" NAME)
  add_custom_command(
    OUTPUT "${png}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${png_dir}"
    COMMAND ${QRV_RSVG_CONVERT} --width=${width} --height=${height} --format=png
            --output=${png} ${svg}
    DEPENDS "${svg}"
    COMMENT "Rendering ${svg_dir}/${svg_name} (${width} x ${height})"
    VERBATIM)
endfunction()
