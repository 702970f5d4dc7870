# Warnings, and the sanitizers when asked for, as INTERFACE targets that each
# of our own targets links; nothing here is set for the whole directory tree.
add_library(vortiquo_warnings INTERFACE)
target_compile_options(vortiquo_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  $<$<BOOL:${VORTIQUO_WERROR}>:-Werror>)

add_library(vortiquo_sanitizers INTERFACE)
if(VORTIQUO_SANITIZE)
  target_compile_options(vortiquo_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(vortiquo_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

# Gives one of our targets the project's warnings and sanitizers.
function(vortiquo_flags target)
  target_link_libraries(${target} PRIVATE vortiquo_warnings vortiquo_sanitizers)
endfunction()

# A target of the numeric core or a model family: our flags, no moc, and a
# check, once the whole project is configured, that it links no Qt.
function(vortiquo_numeric_target target)
  vortiquo_flags(${target})
  set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  set_property(GLOBAL APPEND PROPERTY VORTIQUO_QT_FREE_TARGETS ${target})
endfunction()

# Called once every target is defined: fails the configuration when a target
# of the Qt-free core links Qt.
function(vortiquo_check_qt_free_targets)
  get_property(targets GLOBAL PROPERTY VORTIQUO_QT_FREE_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(library IN LISTS libraries interface)
      if(library MATCHES "Qt[0-9]*::")
        message(FATAL_ERROR "${target} is part of the Qt-free core but links ${library}")
      endif()
    endforeach()
  endforeach()
endfunction()
