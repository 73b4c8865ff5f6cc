# Installs BUILD_DIR into PREFIX and checks what landed there; BINDIR and
# DATADIR are the GNUInstallDirs folders of the build.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
  "${BINDIR}/vuplora"
  "${DATADIR}/applications/vuplora.desktop"
  "${DATADIR}/mime/packages/vuplora.xml"
  "${DATADIR}/icons/hicolor/scalable/apps/vuplora.svg"
  "${BINDIR}/vuplora-svg"
  "${BINDIR}/vuplora-pack"
  "${DATADIR}/metainfo/io.github.vuplora.vuplora.metainfo.xml"
  "${MANDIR}/man1/vuplora.1.gz"
  "${MANDIR}/man1/vuplora-svg.1.gz"
  "${MANDIR}/man1/vuplora-pack.1.gz")
if(EXISTS "${SOURCE_DIR}/NOTICE")
  list(APPEND expected "${DATADIR}/doc/vuplora/NOTICE")
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# Each hicolor size holds a PNG of exactly that size (width and height from
# the IHDR chunk).
foreach(size 16 22 24 32 48 64 128 256 512)
  set(png "${PREFIX}/${DATADIR}/icons/hicolor/${size}x${size}/apps/vuplora.png")
  if(NOT EXISTS "${png}")
    message(FATAL_ERROR "icon missing: ${png}")
  endif()
  file(READ "${png}" header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 w)
  string(SUBSTRING "${header}" 8 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  if(NOT w EQUAL size OR NOT h EQUAL size)
    message(FATAL_ERROR "icon ${size}: ${w} x ${h}")
  endif()
endforeach()

file(STRINGS "${PREFIX}/${DATADIR}/applications/vuplora.desktop" entry)
foreach(line "Exec=vuplora %f" "Icon=vuplora" "MimeType=application/x-vuplora-portrait;")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "vuplora.desktop lacks ${line}")
  endif()
endforeach()
