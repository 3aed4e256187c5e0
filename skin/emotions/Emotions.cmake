# The emoticons, drawn at build time from the recipes in this folder (make_emotions.py):
# - the 27 animated pictures go into the program folder's emotions/, where the chat reads them;
# - the 24 picker bitmaps go into the skin stage, so they are packed into box.bk beside the
#   layouts (the picker's buttons name them as button pictures, which come from the skin).
# emotions.txt is the one list of file names; this file only reads it.
#
# Included by skin/CMakeLists.txt after `stage` is set; appends to `staged_files` and
# `archive_names` and sets QRV_EMOTIONS_DIR.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(QRV_IMAGEMAGICK_CONVERT convert REQUIRED)

set(emotions_source_dir ${CMAKE_CURRENT_SOURCE_DIR}/emotions)
set(emotions_table ${emotions_source_dir}/emotions.txt)
set(emotions_sources ${emotions_table} ${emotions_source_dir}/make_emotions.py
    ${emotions_source_dir}/recipes.py ${emotions_source_dir}/recipes_glad.py
    ${emotions_source_dir}/recipes_upset.py ${emotions_source_dir}/recipes_things.py
    ${emotions_source_dir}/shapes.py)
set(QRV_EMOTIONS_DIR ${QRV_DIST_DIR}/emotions)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${emotions_table})

set(emotion_gifs)
set(emotion_bmps)
file(STRINGS ${emotions_table} emotion_rows REGEX "^[0-9]")
foreach(row IN LISTS emotion_rows)
  string(REGEX REPLACE "[ \t]+" ";" fields "${row}")
  list(GET fields 1 gif)
  list(GET fields 2 bmp)
  list(APPEND emotion_gifs ${QRV_EMOTIONS_DIR}/${gif})
  if(NOT bmp STREQUAL "-")
    list(APPEND emotion_bmps ${stage}/${bmp})
    list(APPEND archive_names ${bmp})
  endif()
endforeach()

foreach(kind gif bmp)
  if(kind STREQUAL "gif")
    set(outputs ${emotion_gifs})
    set(output_dir ${QRV_EMOTIONS_DIR})
  else()
    set(outputs ${emotion_bmps})
    set(output_dir ${stage})
  endif()
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${Python3_EXECUTABLE} -B ${emotions_source_dir}/make_emotions.py ${kind} ${emotions_table}
            ${output_dir} ${CMAKE_CURRENT_BINARY_DIR}/emotion_frames/${kind}
            ${QRV_RSVG_CONVERT} ${QRV_IMAGEMAGICK_CONVERT}
    DEPENDS ${emotions_sources}
    COMMENT "Drawing the emoticons (${kind})"
    VERBATIM)
endforeach()

list(APPEND staged_files ${emotion_bmps})
add_custom_target(emotions ALL DEPENDS ${emotion_gifs})
