# libvterm, the terminal emulator behind the reference host library's screen (Debian: libvterm-dev).
# Sets Vterm_FOUND and the imported target Vterm::vterm.
find_path(VTERM_INCLUDE_DIR vterm.h)
find_library(VTERM_LIBRARY vterm)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Vterm REQUIRED_VARS VTERM_LIBRARY VTERM_INCLUDE_DIR)
if(Vterm_FOUND AND NOT TARGET Vterm::vterm)
  add_library(Vterm::vterm UNKNOWN IMPORTED)
  set_target_properties(Vterm::vterm PROPERTIES
    IMPORTED_LOCATION ${VTERM_LIBRARY}
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${VTERM_INCLUDE_DIR})
endif()
mark_as_advanced(VTERM_INCLUDE_DIR VTERM_LIBRARY)
