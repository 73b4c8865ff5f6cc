execute_process(COMMAND "${LDD}" "${PROGRAM}" OUTPUT_VARIABLE libs RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed (${rc})")
endif()
# Gui must be there: without it the check would pass on a program that
# composes nothing.
if(NOT libs MATCHES "libQt6Gui\\.so")
  message(FATAL_ERROR "${PROGRAM} does not link Qt Gui:\n${libs}")
endif()
if(libs MATCHES "libQt6Widgets\\.so")
  message(FATAL_ERROR "${PROGRAM} links Qt Widgets:\n${libs}")
endif()
