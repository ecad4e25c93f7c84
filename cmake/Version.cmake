# The version every binary of the program folder carries in its version resource.
set(PELMO_VERSION 2.2.7)

# pelmo_version_resource(<target> <file name> <description>): compiles a version resource into
# the target, generated from resources/version.rc.in.
function(pelmo_version_resource target filename description)
  if(NOT WIN32 OR NOT TARGET ${target})
    return()
  endif()
  string(REPLACE "." "," commas "${PELMO_VERSION}")
  set(PELMO_RC_VERSION_COMMAS "${commas},0")
  set(PELMO_RC_FILENAME "${filename}")
  set(PELMO_RC_DESCRIPTION "${description}")
  get_filename_component(PELMO_RC_INTERNAL "${filename}" NAME_WE)
  if(filename MATCHES "\\.dll$")
    set(PELMO_RC_FILETYPE "VFT_DLL")
  else()
    set(PELMO_RC_FILETYPE "VFT_APP")
  endif()
  set(rc ${CMAKE_BINARY_DIR}/version/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${rc} @ONLY)
  # A library of its own, so the target's C++ options never reach the resource compiler.
  add_library(${target}_version OBJECT ${rc})
  target_link_libraries(${target} PRIVATE ${target}_version)
endfunction()
