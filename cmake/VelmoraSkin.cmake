# Velmora's own skin, made at build time: skinart draws the members, the description and the
# engine's built-in bitmaps; skinpack packs the members into the stored skin (velmora.skn, a
# version-70000 archive) and its SkinStream property form (velmora.skinstream).
#
#   velmora_make_skin(OUT_DIR <dir> SKINART <exe> SKINPACK <exe> [DEPENDS <targets or files>...])
#
# Defines the target velmora_skin and the global properties VELMORA_SKIN_FILE,
# VELMORA_SKIN_STREAM and VELMORA_SKIN_RESOURCES (the folder of TRACK.bmp, TRACKVERT.bmp and
# TARVINEMENU.bmp).
function(velmora_make_skin)
  cmake_parse_arguments(arg "" "OUT_DIR;SKINART;SKINPACK" "DEPENDS" ${ARGN})
  set(members ${arg_OUT_DIR}/members)
  set(resources ${arg_OUT_DIR}/resources)
  set(skin_file ${arg_OUT_DIR}/velmora.skn)
  set(skin_stream ${arg_OUT_DIR}/velmora.skinstream)
  set(built_in ${resources}/TRACK.bmp ${resources}/TRACKVERT.bmp ${resources}/TARVINEMENU.bmp)
  add_custom_command(
    OUTPUT ${skin_file} ${skin_stream} ${built_in}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${members}
    COMMAND ${arg_SKINART} ${members} ${resources}
    COMMAND ${arg_SKINPACK} ${members} --out ${skin_file} --stream ${skin_stream}
    DEPENDS ${arg_DEPENDS}
    COMMENT "Drawing and packing Velmora's skin"
    VERBATIM)
  add_custom_target(velmora_skin ALL DEPENDS ${skin_file} ${skin_stream} ${built_in})
  set_property(GLOBAL PROPERTY VELMORA_SKIN_FILE ${skin_file})
  set_property(GLOBAL PROPERTY VELMORA_SKIN_STREAM ${skin_stream})
  set_property(GLOBAL PROPERTY VELMORA_SKIN_RESOURCES ${resources})
endfunction()
