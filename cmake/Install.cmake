# What `cmake --install` puts under the prefix:
#
#   bin/                      codeweft, codeweft-gui and every program under tools/
#   share/applications/       a desktop file for each window program
#   share/icons/hicolor/      its icon (scalable/apps/<program>.svg)
#   share/man/man1/           codeweft.1
#   lib/                      libtessapack.so.X.Y.Z (SONAME libtessapack.so.X) and libtessapack.a
#   lib/codeweft/             the framework's layer archives (and the Qt widgetset)
#   include/codeweft/         framework/ and tessapack/ headers, included as in the tree
#                             ("tessapack/TriPane.h")
#   lib/pkgconfig/            tessapack.pc (shared), tessapack-static.pc, tessapack-qt.pc
#   lib/cmake/Tessapack/      find_package(Tessapack): Tessapack::tessapack (shared),
#                             Tessapack::tessapack_static, Tessapack::framework,
#                             Tessapack::framework_qt
#
# A program is installed by cw_install_program; every executable defined under tools/ is
# installed that way unless its property CW_INSTALL is OFF. A window program ships
# <target>.desktop and its icon <target>.svg beside its CMakeLists.txt, and they are
# installed with it.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# cw_install_program(TARGET): installs the program and, when its source folder holds
# <TARGET>.desktop and <TARGET>.svg, that desktop file and icon.
function(cw_install_program name)
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set_property(GLOBAL APPEND PROPERTY CW_INSTALLED_PROGRAMS ${name})
  get_target_property(dir ${name} SOURCE_DIR)
  if(EXISTS ${dir}/${name}.desktop)
    install(FILES ${dir}/${name}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  endif()
  if(EXISTS ${dir}/${name}.svg)
    install(FILES ${dir}/${name}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  endif()
endfunction()

# Every executable target defined in DIR or below it.
function(cw_executables_below dir out)
  set(found "")
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND found ${t})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    cw_executables_below(${sub} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Programs.
foreach(program codeweft codeweft-gui)
  if(TARGET ${program})
    cw_install_program(${program})
  endif()
endforeach()
if(EXISTS ${PROJECT_SOURCE_DIR}/tools/CMakeLists.txt)
  cw_executables_below(${PROJECT_SOURCE_DIR}/tools tool_programs)
  foreach(program IN LISTS tool_programs)
    get_target_property(wanted ${program} CW_INSTALL)
    if(NOT wanted STREQUAL "OFF")
      cw_install_program(${program})
    endif()
  endforeach()
endif()
install(FILES ${PROJECT_SOURCE_DIR}/codeweft/cli/codeweft.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The package and the framework it is built on.
set(TESSAPACK_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/codeweft)
set(TESSAPACK_ARCHIVEDIR ${CMAKE_INSTALL_LIBDIR}/codeweft)
install(TARGETS tessapack LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS tessapack_static ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
get_property(framework_layers GLOBAL PROPERTY FRAMEWORK_LAYERS)
install(TARGETS ${framework_layers} ARCHIVE DESTINATION ${TESSAPACK_ARCHIVEDIR})
set(qt_headers PATTERN "qt" EXCLUDE)
if(TARGET framework_qt)
  install(TARGETS framework_qt ARCHIVE DESTINATION ${TESSAPACK_ARCHIVEDIR})
  set(qt_headers "")
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/framework/ DESTINATION ${TESSAPACK_INCLUDEDIR}/framework
        FILES_MATCHING PATTERN "*.h" PATTERN "cmake" EXCLUDE ${qt_headers})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/tessapack/ DESTINATION ${TESSAPACK_INCLUDEDIR}/tessapack
        FILES_MATCHING PATTERN "*.h" PATTERN "res" EXCLUDE)

# The link lines. The layers go highest first, so that one pass of the linker resolves
# each from those after it; the headless widgetset goes whole, since nothing refers to the
# file that makes it the default. An application of the shared package carries the whole
# framework and exports it: libtessapack.so binds to that one copy at load time.
set(archives_top_down ${framework_layers})
list(REVERSE archives_top_down)
set(FRAMEWORK_STATIC_LIBS "")
set(FRAMEWORK_WHOLE_LIBS "")
foreach(layer IN LISTS archives_top_down)
  set(archive "\${libdir}/codeweft/lib${layer}.a")
  string(APPEND FRAMEWORK_WHOLE_LIBS " ${archive}")
  if(layer STREQUAL "framework_headless")
    string(PREPEND FRAMEWORK_STATIC_LIBS " -Wl,--whole-archive ${archive} -Wl,--no-whole-archive")
  else()
    string(APPEND FRAMEWORK_STATIC_LIBS " ${archive}")
  endif()
endforeach()
set(FRAMEWORK_WHOLE_LIBS "-Wl,--export-dynamic -Wl,--whole-archive${FRAMEWORK_WHOLE_LIBS} -Wl,--no-whole-archive")
# A package built with sanitizers needs them in every program that links it.
set(TESSAPACK_SANITIZE_FLAGS "")
if(CODEWEFT_SANITIZE)
  set(TESSAPACK_SANITIZE_FLAGS "-fsanitize=address,undefined")
endif()

set(pc_dir ${PROJECT_BINARY_DIR}/generated/pkgconfig)
# The files find the prefix from where they lie, so that the tree can be moved.
file(RELATIVE_PATH PC_PREFIX_FROM_PCDIR /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
set(pc_names tessapack tessapack-static)
if(TARGET framework_qt)
  list(APPEND pc_names tessapack-qt)
endif()
foreach(pc IN LISTS pc_names)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${pc_dir}/${pc}.pc @ONLY)
  install(FILES ${pc_dir}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

set(TESSAPACK_WITH_QT OFF)
if(TARGET framework_qt)
  set(TESSAPACK_WITH_QT ON)
endif()
string(REPLACE ";" " " TESSAPACK_LAYERS_TOP_DOWN "${archives_top_down}")
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Tessapack)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TessapackConfig.cmake.in
  ${PROJECT_BINARY_DIR}/generated/TessapackConfig.cmake
  INSTALL_DESTINATION ${config_dir}
  PATH_VARS CMAKE_INSTALL_LIBDIR TESSAPACK_INCLUDEDIR TESSAPACK_ARCHIVEDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/generated/TessapackConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/generated/TessapackConfig.cmake
              ${PROJECT_BINARY_DIR}/generated/TessapackConfigVersion.cmake
        DESTINATION ${config_dir})
