# The program's artwork, drawn for Velmora as SVG in this folder and
# rendered while the program builds: the wizard picture (bitmap 107, a
# 24-bit BMP of 120 x 280 pixels, and the same picture at twice the size for
# screens of twice the density) and the application icon (icon 100, an icon
# file with the picture at the usual sizes). Sets velmora_artwork to the
# resources for velmora_resource_module.
find_program(VELMORA_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VELMORA_MAGICK_CONVERT convert REQUIRED)

set(art_source ${CMAKE_CURRENT_LIST_DIR})
set(art_output ${CMAKE_CURRENT_BINARY_DIR}/art)
file(MAKE_DIRECTORY ${art_output})

set(velmora_artwork "")
foreach(scale 1 2)
  math(EXPR width "120 * ${scale}")
  math(EXPR height "280 * ${scale}")
  set(bitmap ${art_output}/wizard-${scale}x.bmp)
  add_custom_command(OUTPUT ${bitmap}
    COMMAND ${VELMORA_RSVG_CONVERT} -w ${width} -h ${height} -b white -o ${art_output}/wizard-${scale}x.png
            ${art_source}/wizard.svg
    COMMAND ${VELMORA_MAGICK_CONVERT} ${art_output}/wizard-${scale}x.png -alpha off -type TrueColor BMP3:${bitmap}
    DEPENDS ${art_source}/wizard.svg VERBATIM COMMENT "Rendering the wizard picture at ${scale}x")
  if(scale EQUAL 1)
    list(APPEND velmora_artwork 107:BITMAP=${bitmap})
  else()
    list(APPEND velmora_artwork 107:BITMAP2X=${bitmap})
  endif()
endforeach()

set(icon_pictures "")
set(icon_commands "")
foreach(size 16 24 32 48 64 128 256)
  set(picture ${art_output}/velmora-${size}.png)
  list(APPEND icon_commands COMMAND ${VELMORA_RSVG_CONVERT} -w ${size} -h ${size} -o ${picture} ${art_source}/velmora.svg)
  list(APPEND icon_pictures ${picture})
endforeach()
# The pictures at 48 and 256 pixels are also the desktop's icons (res/desktop/).
add_custom_command(OUTPUT ${art_output}/velmora.ico
  BYPRODUCTS ${icon_pictures}
  ${icon_commands}
  COMMAND ${VELMORA_MAGICK_CONVERT} ${icon_pictures} ${art_output}/velmora.ico
  DEPENDS ${art_source}/velmora.svg VERBATIM COMMENT "Rendering the application icon")
list(APPEND velmora_artwork 100:ICON=${art_output}/velmora.ico)
