# The editor's images, every set (img/, img/2x/, img/3x/), for the targets
# that build them in: a redrawn image must be built in again, which the
# build cannot see by itself (windres and .incbin read the files).

# quorvane_editor_image_files(<var>): the PNG files.
function(quorvane_editor_image_files out)
  file(GLOB images CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/img/*.png
       ${PROJECT_SOURCE_DIR}/img/*x/*.png)
  set(${out} ${images} PARENT_SCOPE)
endfunction()

# quorvane_editor_images_rc(<var>): the resource script, for a Windows
# target's sources, depending on the images it names.
function(quorvane_editor_images_rc out)
  quorvane_editor_image_files(images)
  set(rc ${PROJECT_SOURCE_DIR}/img/Quorvane.rc)
  set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS "${images};${PROJECT_SOURCE_DIR}/effect/EditorImages.h")
  set(${out} ${rc} PARENT_SCOPE)
endfunction()
