# quorvane_editor_images_rc(<var>): the editor images' resource script, for a
# Windows target's sources. windres reads the PNGs the script names, which
# the build cannot see; they are made the script's dependencies here, so that
# a redrawn image is compiled in again.
function(quorvane_editor_images_rc out)
  file(GLOB images CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/img/*.png
       ${PROJECT_SOURCE_DIR}/img/*x/*.png)
  set(rc ${PROJECT_SOURCE_DIR}/img/Quorvane.rc)
  set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS "${images};${PROJECT_SOURCE_DIR}/effect/EditorImages.h")
  set(${out} ${rc} PARENT_SCOPE)
endfunction()
