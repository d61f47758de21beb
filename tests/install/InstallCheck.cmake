# cmake -DSOURCE_DIR=.. -DBUILD_DIR=.. -DWORK_DIR=.. -DLIBDIR=lib -DVERSION=X.Y.Z
#       -DVERSION_MAJOR=X -DWITH_QT=ON|OFF -DGENERATOR=.. -DCXX=.. [-DLAUNCHER=..]
#       -DPROGRAMS=codeweft,...
#       -P InstallCheck.cmake
#
# Installs BUILD_DIR into WORK_DIR/prefix and checks what a user of the installed tree
# relies on: the files are there, the shared package carries its versioned SONAME, every
# installed header finds the headers it includes, desktop files and the man page are
# valid and name what is installed, the installed codeweft runs, and an application built
# against the prefix (examples/installed-app) links the package each way and shows a form.
cmake_minimum_required(VERSION 3.22)
set(failures "")
macro(fail text)
  list(APPEND failures "${text}")
  message("FAILED: ${text}")
endmacro()

# Runs a command; fails the check with its output when it exits non-zero. The output is
# left in OUT_VAR.
function(run what out_var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run("cmake --install" ignored ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# --- The installed files ---------------------------------------------------------------
set(expected
  bin/codeweft
  share/man/man1/codeweft.1
  ${LIBDIR}/libtessapack.so.${VERSION}
  ${LIBDIR}/libtessapack.so.${VERSION_MAJOR}
  ${LIBDIR}/libtessapack.so
  ${LIBDIR}/libtessapack.a
  ${LIBDIR}/codeweft/libframework_base.a
  ${LIBDIR}/codeweft/libframework_controls.a
  ${LIBDIR}/codeweft/libframework_headless.a
  ${LIBDIR}/pkgconfig/tessapack.pc
  ${LIBDIR}/pkgconfig/tessapack-static.pc
  ${LIBDIR}/cmake/Tessapack/TessapackConfig.cmake
  ${LIBDIR}/cmake/Tessapack/TessapackConfigVersion.cmake
  include/codeweft/framework/controls/Forms.h
  include/codeweft/framework/widgetset/headless/HeadlessWidgetSet.h
  include/codeweft/tessapack/Package.h
  include/codeweft/tessapack/TriPane.h)
set(qt_files
  bin/codeweft-gui
  share/applications/codeweft-gui.desktop
  share/icons/hicolor/scalable/apps/codeweft-gui.svg
  ${LIBDIR}/codeweft/libframework_qt.a
  ${LIBDIR}/pkgconfig/tessapack-qt.pc
  include/codeweft/framework/widgetset/qt/QtWidgetSet.h)
if(WITH_QT)
  list(APPEND expected ${qt_files})
else()
  # Without Qt nothing of the Qt widgetset is installed: no header without its library.
  foreach(f IN LISTS qt_files)
    if(EXISTS ${prefix}/${f})
      fail("${f} is installed in a build without Qt")
    endif()
  endforeach()
endif()
foreach(f IN LISTS expected)
  if(NOT EXISTS ${prefix}/${f})
    fail("${f} is not installed")
  endif()
endforeach()
# bin/ holds the programs the build installs (PROGRAMS, comma-separated), and only them.
string(REPLACE "," ";" programs "${PROGRAMS}")
file(GLOB installed_programs RELATIVE ${prefix}/bin ${prefix}/bin/*)
list(SORT programs)
list(SORT installed_programs)
if(NOT "codeweft" IN_LIST programs OR NOT installed_programs STREQUAL programs)
  fail("bin/ holds '${installed_programs}', the build installs '${programs}'")
endif()
file(GLOB_RECURSE stray LIST_DIRECTORIES false RELATIVE ${prefix}/include ${prefix}/include/*)
list(FILTER stray EXCLUDE REGEX "\\.h$")
if(stray)
  fail("not headers under include/: ${stray}")
endif()

# --- The shared package's name ---------------------------------------------------------
run("readelf" dynamic readelf -d ${prefix}/${LIBDIR}/libtessapack.so.${VERSION})
if(NOT dynamic MATCHES "\\(SONAME\\)[^\n]*\\[libtessapack\\.so\\.${VERSION_MAJOR}\\]")
  fail("libtessapack.so.${VERSION} has no SONAME libtessapack.so.${VERSION_MAJOR}:\n${dynamic}")
endif()

# --- Every quoted include of an installed header is installed too ----------------------
file(GLOB_RECURSE headers ${prefix}/include/codeweft/*.h)
foreach(h IN LISTS headers)
  file(STRINGS ${h} includes REGEX "^#include \"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" name "${line}")
    if(NOT EXISTS ${prefix}/include/codeweft/${name})
      file(RELATIVE_PATH rel ${prefix} ${h})
      fail("${rel} includes ${name}, which is not installed")
    endif()
  endforeach()
endforeach()

# --- Desktop files name installed programs and pass the validator -----------------------
file(GLOB desktop_files ${prefix}/share/applications/*.desktop)
foreach(d IN LISTS desktop_files)
  file(STRINGS ${d} exec REGEX "^Exec=")
  string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" program "${exec}")
  get_filename_component(name ${d} NAME)
  if(NOT program OR NOT EXISTS ${prefix}/bin/${program})
    fail("${name} starts '${program}', which is not in bin/")
  endif()
  # Its icon is an installed SVG document of the icon theme every desktop falls back to.
  file(STRINGS ${d} icon REGEX "^Icon=")
  string(REGEX REPLACE "^Icon=" "" icon "${icon}")
  set(icon_file ${prefix}/share/icons/hicolor/scalable/apps/${icon}.svg)
  if(NOT icon OR NOT EXISTS ${icon_file})
    fail("${name} names the icon '${icon}', which is not installed")
  else()
    file(READ ${icon_file} svg LIMIT 400)
    if(NOT svg MATCHES "<svg [^>]*viewBox=")
      fail("${icon_file} is not a scalable SVG icon")
    endif()
  endif()
  find_program(validator desktop-file-validate)
  if(validator)
    execute_process(COMMAND ${validator} ${d} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                    ERROR_VARIABLE out)
    if(NOT rc EQUAL 0 OR out)
      fail("desktop-file-validate ${name}:\n${out}")
    endif()
  endif()
endforeach()

# --- The man page: well-formed, and it explains every option the usage names -------------
set(man ${prefix}/share/man/man1/codeweft.1)
find_program(groff groff)
if(groff)
  execute_process(COMMAND ${groff} -man -Tutf8 -ww -z ${man} ERROR_VARIABLE warnings)
  if(warnings)
    fail("groff warns about codeweft.1:\n${warnings}")
  endif()
endif()
run("codeweft --help" usage ${prefix}/bin/codeweft --help)
file(READ ${man} page)
string(REPLACE "\\-" "-" page "${page}")
string(REGEX REPLACE "\\\\f[BIRP]" "" page "${page}")
# Options are the words that start with a dash after a blank or a bracket.
string(REGEX REPLACE "[][\n]" " " usage " ${usage}")
string(REGEX MATCHALL " --?[a-z][a-z-]*" options "${usage}")
list(TRANSFORM options STRIP)
list(REMOVE_DUPLICATES options)
foreach(option IN LISTS options)
  if(NOT page MATCHES "(^|[^a-z-])${option}([^a-z-]|$)")
    fail("codeweft --help names ${option}, codeweft.1 does not")
  endif()
endforeach()

# --- The installed command line runs on its own ------------------------------------------
run("installed codeweft on examples/Demo.dpr" index
    ${prefix}/bin/codeweft ${SOURCE_DIR}/examples/Demo.dpr -o ${WORK_DIR}/demo-out)
if(NOT EXISTS ${WORK_DIR}/demo-out/index.html OR NOT EXISTS ${WORK_DIR}/demo-out/Demo.html)
  fail("the installed codeweft wrote no pages into ${WORK_DIR}/demo-out")
endif()

# --- An application built against the prefix --------------------------------------------
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
set(app ${WORK_DIR}/app)
set(configure ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/installed-app -B ${app}
    -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix}
    -DINSTALLED_APP_PKGCONFIG=ON)
if(LAUNCHER)
  list(APPEND configure -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
run("configuring examples/installed-app" ignored ${configure})
run("building examples/installed-app" ignored ${CMAKE_COMMAND} --build ${app})

# Which package each program loads: the shared ones need libtessapack.so.MAJOR, the static
# one carries it.
set(needs_shared installed_app installed_app_pkgconfig)
foreach(program installed_app installed_app_static installed_app_pkgconfig
                installed_app_pkgconfig_static)
  run("readelf ${program}" dynamic readelf -d ${app}/${program})
  string(FIND "${dynamic}" "[libtessapack.so.${VERSION_MAJOR}]" at)
  if(program IN_LIST needs_shared AND at EQUAL -1)
    fail("${program} does not load libtessapack.so.${VERSION_MAJOR}")
  elseif(NOT program IN_LIST needs_shared AND NOT at EQUAL -1)
    fail("${program} loads libtessapack.so although it links the static package")
  endif()

  # The form the designer saved names the application's form class, standard controls and
  # the multi-pane; each program reads it into its TAppForm, binds the handlers, shows it
  # and lists what it holds.
  # A program linked through pkg-config has no run path: it finds the package as one
  # under a prefix outside the loader's folders does, through LD_LIBRARY_PATH.
  set(run_env "")
  if(program MATCHES "pkgconfig")
    set(run_env ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/${LIBDIR})
  endif()
  execute_process(COMMAND ${run_env} ${app}/${program}
                          ${SOURCE_DIR}/examples/installed-app/AppForm.form --once
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(READ ${SOURCE_DIR}/tests/data/install/AppForm.txt golden)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL golden)
    fail("${program} AppForm.form --once: status ${rc}\n${err}\nprinted:\n${out}\nexpected:\n${golden}")
  endif()
endforeach()

# A form of a plain TForm with three of the package's components reads as well.
execute_process(COMMAND ${app}/installed_app ${SOURCE_DIR}/examples/multipane/GrabDemo.form --once
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(READ ${SOURCE_DIR}/tests/data/install/GrabDemo.txt golden)
if(NOT rc EQUAL 0 OR NOT out STREQUAL golden)
  fail("installed_app GrabDemo.form --once: status ${rc}\n${err}\nprinted:\n${out}\nexpected:\n${golden}")
endif()

# The form class's package is one the designer loads: it exports its registration entry.
run("readelf appforms" symbols readelf --dyn-syms -W ${app}/libappforms.so)
if(NOT symbols MATCHES "FUNC +GLOBAL +DEFAULT +[0-9]+ AppformsRegister")
  fail("libappforms.so does not export AppformsRegister")
endif()

# A form that names a class nobody registered is an error that names it, not a crash.
file(WRITE ${WORK_DIR}/Unknown.form "object F: TForm\n  object X: TNoSuchControl\n  end\nend\n")
execute_process(COMMAND ${app}/installed_app ${WORK_DIR}/Unknown.form --once
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "TNoSuchControl")
  fail("installed_app on a form with an unknown class: status ${rc}, stderr:\n${err}")
endif()

list(LENGTH failures count)
if(count GREATER 0)
  message(FATAL_ERROR "${count} install check(s) failed")
endif()
message("install check: all passed")
