# One helper per kind of target, so every folder declares its targets the same way.

# cw_library(NAME SOURCES ... [DEPS ...]): a static library whose headers are
# included by their path from the repository root ("codeweft/core/lex/Scanner.h").
function(cw_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# cw_test(NAME SOURCES ... [DEPS ...] [LABELS ...] [PREFIX P]): a GoogleTest executable
# registered with CTest, run from the repository root so tests can name
# files under tests/data and examples/. PREFIX goes before each test's name in CTest
# (for a second executable of the same tests).
function(cw_test name)
  cmake_parse_arguments(ARG "" "PREFIX" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    CW_SOURCE_DIR="${PROJECT_SOURCE_DIR}" CW_BINARY_DIR="${PROJECT_BINARY_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} TEST_PREFIX "${ARG_PREFIX}"
    DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# cw_program(NAME SOURCES ... [DEPS ...]): an executable of the products.
function(cw_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}
                                             ${PROJECT_BINARY_DIR}/generated)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()

# cw_package_host(TARGET): makes an executable able to load the package library
# (libtessapack.so): it links every object of every framework layer and exports them, so
# that the package binds to this one framework and its registrations land in the host's
# registries.
function(cw_package_host name)
  get_property(layers GLOBAL PROPERTY FRAMEWORK_LAYERS)
  string(JOIN "," items ${layers})
  target_link_libraries(${name} PRIVATE framework)
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON
                        LINK_LIBRARY_OVERRIDE "WHOLE_ARCHIVE,${items}")
endfunction()
