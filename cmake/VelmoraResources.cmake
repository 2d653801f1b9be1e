# velmora_resource_module(<output.res> STRINGS <file> LANGUAGE <id>
#                         [FILE_VERSION <a.b.c.d>] [VALUES_FILE <file>]
#                         [VALUES <name=text>...] [RESOURCES <id:type=file>...]
#                         [CPP <output.cpp>])
#
# Compiles a string table, version values and custom resources (such as the
# schemas of type XSD) into a resource module file and, with CPP, into a
# source file that embeds the module in a program.
function(velmora_resource_module output)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "STRINGS;LANGUAGE;FILE_VERSION;VALUES_FILE;CPP" "VALUES;RESOURCES")
  if(NOT ARG_FILE_VERSION)
    set(ARG_FILE_VERSION ${PROJECT_VERSION})
  endif()
  set(command $<TARGET_FILE:velmora-rc> --output ${output} --strings ${ARG_STRINGS}
      --language ${ARG_LANGUAGE} --file-version ${ARG_FILE_VERSION})
  set(depends velmora-rc ${ARG_STRINGS})
  set(outputs ${output})
  if(ARG_VALUES_FILE)
    list(APPEND command --values ${ARG_VALUES_FILE})
    list(APPEND depends ${ARG_VALUES_FILE})
  endif()
  foreach(value IN LISTS ARG_VALUES)
    list(APPEND command --value "${value}")
  endforeach()
  foreach(resource IN LISTS ARG_RESOURCES)
    list(APPEND command --resource "${resource}")
    string(REGEX REPLACE "^[^=]*=" "" resource_file "${resource}")
    list(APPEND depends ${resource_file})
  endforeach()
  if(ARG_CPP)
    list(APPEND command --cpp ${ARG_CPP})
    list(APPEND outputs ${ARG_CPP})
  endif()
  add_custom_command(OUTPUT ${outputs} COMMAND ${command} DEPENDS ${depends} VERBATIM
                     COMMENT "Compiling resource module ${output}")
endfunction()

# velmora_test_version_modules(<test target>)
#
# Version modules of a release and of an internal build (the program's
# strings, file version 1.4.7.2, a fixed build stamp), for tests of what a
# window shows of either: the test reads version-Release.res and
# version-Internal.res from the folder that VERSION_MODULES names.
function(velmora_test_version_modules target)
  if(NOT TARGET ${target})
    return()
  endif()
  set(stamp BuildDate=Mar\ 7\ 2026 BuildTime=09:05:01 Builder=alice)
  set(modules "")
  foreach(type Release Internal)
    set(module ${CMAKE_CURRENT_BINARY_DIR}/version-${type}.res)
    velmora_resource_module(${module} STRINGS ${PROJECT_SOURCE_DIR}/res/strings/ENU.txt LANGUAGE 1033
      FILE_VERSION 1.4.7.2 VALUES_FILE ${PROJECT_SOURCE_DIR}/res/version.txt VALUES BuildType=${type} ${stamp})
    list(APPEND modules ${module})
  endforeach()
  add_custom_target(${target}_version_modules DEPENDS ${modules})
  add_dependencies(${target} ${target}_version_modules)
  target_compile_definitions(${target} PRIVATE VERSION_MODULES="${CMAKE_CURRENT_BINARY_DIR}")
endfunction()
