# Checks the staged skin before it is packed: every picture a layout or the program's code names
# must be staged, every source rectangle must lie inside its picture, and every element of a
# layout must be one the builder makes. A wrong name or a rectangle past the edge would otherwise
# only show as a blank control at run time, and an unknown element is skipped with all it holds.
#
# cmake -DSTAGE=<staged files> -DCODE_PICTURES=<code_pictures.txt> -DLAYOUTS=<a;b;c> -P CheckSkin.cmake

# A script run with -P starts with old policies; IN_LIST needs the project's.
cmake_minimum_required(VERSION 3.25)

set(errors "")

# The toolkit's elements (src/ui/dialog_builder.cpp), the window's settings, and the custom
# elements that the program's builder callback makes.
set(toolkit_elements Window Font Default Image Control Label Text Button Option Edit Combo List
    ListLabelElement ListContainerElement Container VerticalLayout HorizontalLayout TabLayout
    Progress)
set(custom_elements GameList FriendList)

# Width and height of a staged PNG, from its IHDR chunk.
function(png_size name out_width out_height)
  file(READ "${STAGE}/${name}" header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 width_hex)
  string(SUBSTRING "${header}" 8 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  set(${out_width} ${width} PARENT_SCOPE)
  set(${out_height} ${height} PARENT_SCOPE)
endfunction()

# Appends to `errors` when the picture is missing or the rectangle does not fit.
function(check_picture where name rect)
  if(NOT EXISTS "${STAGE}/${name}")
    set(errors "${errors}\n  ${where}: picture ${name} is not in the skin" PARENT_SCOPE)
    return()
  endif()
  if(rect STREQUAL "")
    return()
  endif()
  png_size(${name} width height)
  string(REPLACE "," ";" edges "${rect}")
  list(LENGTH edges count)
  if(NOT count EQUAL 4)
    set(errors "${errors}\n  ${where}: ${name} source '${rect}' is not four numbers" PARENT_SCOPE)
    return()
  endif()
  list(GET edges 0 left)
  list(GET edges 1 top)
  list(GET edges 2 right)
  list(GET edges 3 bottom)
  if(left LESS 0 OR top LESS 0 OR right GREATER width OR bottom GREATER height
     OR NOT left LESS right OR NOT top LESS bottom)
    set(errors "${errors}\n  ${where}: ${name} source ${rect} is outside ${width} x ${height}"
        PARENT_SCOPE)
  endif()
endfunction()

foreach(layout IN LISTS LAYOUTS)
  get_filename_component(layout_name "${layout}" NAME)
  file(READ "${layout}" text)
  # Attribute lists (<Default>, a combo's drop-down) quote their values as &quot;.
  string(REPLACE "&quot;" "\"" text "${text}")
  string(REGEX REPLACE "<!--([^-]|-[^-])*-->" "" bare "${text}")
  string(REGEX MATCHALL "<[A-Za-z][A-Za-z0-9_]*" elements "${bare}")
  foreach(element IN LISTS elements)
    string(SUBSTRING "${element}" 1 -1 element)
    if(NOT element IN_LIST toolkit_elements AND NOT element IN_LIST custom_elements)
      set(errors "${errors}\n  ${layout_name}: element ${element} is not made by the builder")
    endif()
  endforeach()
  # Image attributes: a bare file name or the file='..' source='..' sub-syntax.
  string(REGEX MATCHALL "[a-z]+image=\"[^\"]*\"" values "${text}")
  foreach(value IN LISTS values)
    string(REGEX REPLACE "^[a-z]+image=\"([^\"]*)\"$" "\\1" spec "${value}")
    if(spec STREQUAL "")
      continue()
    endif()
    set(rect "")
    if(spec MATCHES "file='([^']*)'")
      set(name "${CMAKE_MATCH_1}")
      if(spec MATCHES "source='([^']*)'")
        set(rect "${CMAKE_MATCH_1}")
      endif()
    else()
      set(name "${spec}")
    endif()
    check_picture("${layout_name}" "${name}" "${rect}")
  endforeach()
  # Pictures inside text markup: <i name ...> or {i name ...}.
  string(REGEX MATCHALL "[<{]i [^ >}]+" inline "${text}")
  foreach(item IN LISTS inline)
    string(SUBSTRING "${item}" 3 -1 name)
    check_picture("${layout_name}" "${name}" "")
  endforeach()
endforeach()

file(STRINGS "${CODE_PICTURES}" lines REGEX "^[^#]")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
  list(POP_FRONT fields name)
  check_picture("code" "${name}" "")
  foreach(rect IN LISTS fields)
    check_picture("code" "${name}" "${rect}")
  endforeach()
endforeach()

if(errors)
  message(FATAL_ERROR "The skin is inconsistent:${errors}")
endif()
