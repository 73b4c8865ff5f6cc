# Project-wide compiler settings and the helper every target of ours calls.

if(VUPLORA_SANITIZE)
  set(_vp_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  if(VUPLORA_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # Coverage instrumentation everywhere, so that fuzz targets see the libraries' branches.
    list(APPEND _vp_san -fsanitize=fuzzer-no-link)
  endif()
  add_compile_options(${_vp_san})
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings are errors in our own code; third-party headers come in as system headers.
function(vuplora_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_USE_QSTRINGBUILDER)
endfunction()

# A test program run by CTest on the offscreen platform; LABELS tag its tests for
# `ctest -L` (threads: worth a run in a ThreadSanitizer build).
function(vuplora_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  vuplora_defaults(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  include(GoogleTest)
  set(_labels)
  if(T_LABELS)
    set(_labels LABELS "${T_LABELS}")
  endif()
  # Listing at test time keeps the build from running sanitized Qt programs.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${_labels} ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
endfunction()

# A libFuzzer target.
function(vuplora_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  vuplora_defaults(${name})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  # fuzz/run-bounded looks for every target directly in the build's fuzz folder.
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
endfunction()

# One library per source folder: every .cpp/.h of the folder, so adding a unit needs no
# edit here. A folder without sources yet is an interface library. FOLDERS names the
# sub-folders whose units form one library together instead (layers that need each
# other, kept apart to show what each holds).
function(vuplora_library name)
  cmake_parse_arguments(L "" "" "PUBLIC;PRIVATE;SYSTEM_INCLUDES;FOLDERS" ${ARGN})
  if(NOT L_FOLDERS)
    set(L_FOLDERS .)
  endif()
  set(_src)
  foreach(_folder IN LISTS L_FOLDERS)
    file(GLOB _found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${_folder}/*.cpp"
         "${CMAKE_CURRENT_SOURCE_DIR}/${_folder}/*.h")
    list(APPEND _src ${_found})
  endforeach()
  list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    add_library(${name} STATIC ${_src})
    vuplora_defaults(${name})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE})
    if(L_SYSTEM_INCLUDES)
      target_include_directories(${name} SYSTEM PRIVATE ${L_SYSTEM_INCLUDES})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}/src")
    target_link_libraries(${name} INTERFACE ${L_PUBLIC} ${L_PRIVATE})
  endif()
endfunction()

# tools/, tests/, bench/ and fuzz/: every sub-folder with a CMakeLists.txt is one
# program (or one group of them), so adding one needs no edit of its parent.
function(vuplora_add_subfolders)
  file(GLOB _children LIST_DIRECTORIES true "${CMAKE_CURRENT_SOURCE_DIR}/*")
  foreach(_child IN LISTS _children)
    if(IS_DIRECTORY "${_child}" AND EXISTS "${_child}/CMakeLists.txt")
      add_subdirectory("${_child}")
    endif()
  endforeach()
endfunction()
