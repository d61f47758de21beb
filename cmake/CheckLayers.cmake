# Fails when a layer of the framework includes a header of a layer above it, when the
# framework includes the products built on it, or when the program's core includes the
# framework. Run as a test:  cmake -DROOT=<repository or fixture> -P CheckLayers.cmake
#
# The layers, lowest first, each with the layers it may include besides its own:
#   base
#   classes           base
#   messages          base classes
#   graphics          base classes
#   design            base classes messages
#   widgetset         base classes messages graphics           (the interface only)
#   controls          base classes messages graphics design widgetset
#   widgetset/headless, widgetset/qt: everything below, not each other
cmake_minimum_required(VERSION 3.22)
if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers: ROOT is not set")
endif()

set(below_base "")
set(below_classes base)
set(below_messages base classes)
set(below_graphics base classes)
set(below_design base classes messages)
set(below_widgetset base classes messages graphics)
set(below_controls base classes messages graphics design widgetset)
set(below_headless base classes messages graphics design widgetset controls)
set(below_qt base classes messages graphics design widgetset controls)

# The layer a path under framework/ belongs to.
function(layer_of rel out)
  if(rel MATCHES "^widgetset/headless/")
    set(${out} headless PARENT_SCOPE)
  elseif(rel MATCHES "^widgetset/qt/")
    set(${out} qt PARENT_SCOPE)
  elseif(rel MATCHES "^([a-z]+)/")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

set(errors "")
file(GLOB_RECURSE sources RELATIVE ${ROOT}/framework
  ${ROOT}/framework/*.h ${ROOT}/framework/*.cpp)
foreach(rel ${sources})
  layer_of(${rel} layer)
  if(layer STREQUAL "" OR NOT DEFINED below_${layer})
    continue()
  endif()
  file(STRINGS ${ROOT}/framework/${rel} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
    if(header MATCHES "^(codeweft|tessapack|tests|tools)/")
      list(APPEND errors "framework/${rel} includes ${header}, which is built on the framework")
    elseif(header MATCHES "^framework/(.*)$")
      layer_of(${CMAKE_MATCH_1} target)
      if(NOT target STREQUAL layer AND NOT target IN_LIST below_${layer})
        list(APPEND errors "framework/${rel} (layer ${layer}) includes ${header} (layer ${target})")
      endif()
    endif()
  endforeach()
endforeach()

file(GLOB_RECURSE core RELATIVE ${ROOT} ${ROOT}/codeweft/core/*.h ${ROOT}/codeweft/core/*.cpp)
foreach(rel ${core})
  file(STRINGS ${ROOT}/${rel} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"(framework|tessapack)/")
  foreach(line ${includes})
    list(APPEND errors "${rel} includes the framework: ${line}")
  endforeach()
endforeach()

if(errors)
  list(JOIN errors "\n  " text)
  message(FATAL_ERROR "Layering broken:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "Layering holds over ${count} framework files")
