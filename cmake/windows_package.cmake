# sorrel-<version>-win64.zip: the two programs, their INI-mode twins
# sorrel_o.exe and sorrelc_o.exe, and the help beside them. The code pages
# come from Windows itself, so no converter data goes with them.
set(SORREL_WIN64_ZIP ${CMAKE_BINARY_DIR}/sorrel-${PROJECT_VERSION}-win64.zip)
add_custom_command(OUTPUT ${SORREL_WIN64_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${SORREL_WIN64_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${SORREL_WIN64_ZIP} --format=zip
    sorrel.exe sorrel_o.exe sorrelc.exe sorrelc_o.exe _RESOURCE/HLP000001.html
  WORKING_DIRECTORY ${SORREL_BIN_DIR}
  DEPENDS sorrel sorrelc ${PROJECT_SOURCE_DIR}/gui/help/HLP000001.html
  COMMENT "Packing sorrel-${PROJECT_VERSION}-win64.zip"
  VERBATIM)
add_custom_target(sorrel_win64_zip ALL DEPENDS ${SORREL_WIN64_ZIP})
