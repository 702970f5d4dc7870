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

# The layers of the build, each one folder and one target. A layer names
# the targets it may link; once the whole project is configured,
# vortiquo_check_layers fails the configuration when a layer links anything
# else, so the dependencies keep pointing one way.
#   vortiquo_layer(TARGET [QT_FREE] LINKS ALLOWED...)
function(vortiquo_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 layer "QT_FREE" "" "LINKS")
  vortiquo_flags(${target})
  set_property(TARGET ${target} PROPERTY VORTIQUO_ALLOWED_LINKS ${layer_LINKS})
  if(layer_QT_FREE)
    set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF VORTIQUO_QT_FREE ON)
  endif()
  set_property(GLOBAL APPEND PROPERTY VORTIQUO_LAYERS ${target})
endfunction()

# A target of the numeric core, a model family or the analysis beside them:
# Qt-free, and linking only other numeric targets.
function(vortiquo_numeric_target target)
  vortiquo_layer(${target} QT_FREE LINKS ${ARGN})
  set_property(TARGET ${target} PROPERTY VORTIQUO_NUMERIC ON)
endfunction()

# What a layer may link: the targets it names, and for a numeric target any
# other numeric target; the project's warning and sanitizer flags always.
function(vortiquo_link_allowed target library result)
  get_target_property(allowed ${target} VORTIQUO_ALLOWED_LINKS)
  set(ok OFF)
  if(library MATCHES "^vortiquo_(warnings|sanitizers)$" OR library IN_LIST allowed)
    set(ok ON)
  elseif(TARGET ${library})
    get_target_property(numeric ${target} VORTIQUO_NUMERIC)
    get_target_property(numericLibrary ${library} VORTIQUO_NUMERIC)
    if(numeric AND numericLibrary)
      set(ok ON)
    endif()
  endif()
  get_target_property(qtFree ${target} VORTIQUO_QT_FREE)
  if(qtFree AND library MATCHES "Qt[0-9]*::")
    set(ok OFF)
  endif()
  set(${result} ${ok} PARENT_SCOPE)
endfunction()

# Called once every target is defined.
function(vortiquo_check_layers)
  get_property(targets GLOBAL PROPERTY VORTIQUO_LAYERS)
  foreach(target IN LISTS targets)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(library IN LISTS libraries interface)
      if(NOT library OR library MATCHES "NOTFOUND$" OR library MATCHES "^\\$<")
        continue()
      endif()
      vortiquo_link_allowed(${target} ${library} ok)
      if(NOT ok)
        message(FATAL_ERROR "${target} links ${library}, which its layer may not use")
      endif()
    endforeach()
  endforeach()
endfunction()
