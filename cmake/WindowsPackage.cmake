# The Windows ZIP: what a user unpacks on Windows.
#   At the top: Cantrel.exe and Lumbrel.exe, README.txt (README.md's parts
#     for Windows users), LICENSE.txt, and associate.cmd and unassociate.cmd,
#     which give .pic pictures to Lumbrel.exe of the folder they sit in.
#   docs/: the manual (cantrel.txt), the PIC format description
#     (pic-format.txt) and the modding guide (modding.txt) as plain text, and
#     the viewer's screenshot, where README.txt points.
#   samples/: the sample pictures.
# The text files are made at build time from the project's documents and
# scripts (tools/docs/WindowsText.cmake), with CR LF line ends: Windows
# editors show a text without them as one long line, and cmd reads a batch
# file's labels wrongly without them.
cantrel_require_programs(AWK GROFF)
set(windows_text ${CMAKE_BINARY_DIR}/windows-text)
set(windows_text_files "")

# windows_text(<kind> <source> <name in the ZIP>)
function(windows_text kind source name)
    set(output ${windows_text}/${name})
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${windows_text}
        COMMAND ${CMAKE_COMMAND} -DKIND=${kind} -DSOURCE=${source} -DOUTPUT=${output} -DAWK=${AWK} -DGROFF=${GROFF}
                -P ${PROJECT_SOURCE_DIR}/tools/docs/WindowsText.cmake
        DEPENDS ${source} ${PROJECT_SOURCE_DIR}/tools/docs/WindowsText.cmake ${PROJECT_SOURCE_DIR}/tools/docs/WindowsReadme.awk
        VERBATIM)
    set(windows_text_files ${windows_text_files} ${output} PARENT_SCOPE)
endfunction()

windows_text(readme ${PROJECT_SOURCE_DIR}/README.md README.txt)
windows_text(text ${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt)
windows_text(text ${PROJECT_SOURCE_DIR}/packaging/windows/associate.cmd associate.cmd)
windows_text(text ${PROJECT_SOURCE_DIR}/packaging/windows/unassociate.cmd unassociate.cmd)
windows_text(manual ${PROJECT_SOURCE_DIR}/docs/cantrel.1 cantrel.txt)
windows_text(document ${PROJECT_SOURCE_DIR}/docs/pic-format.md pic-format.txt)
windows_text(document ${PROJECT_SOURCE_DIR}/docs/modding.md modding.txt)
add_custom_target(windows_text ALL DEPENDS ${windows_text_files})

install(TARGETS converter viewer RUNTIME DESTINATION .)
install(FILES ${windows_text}/README.txt ${windows_text}/LICENSE.txt
              ${windows_text}/associate.cmd ${windows_text}/unassociate.cmd DESTINATION .)
install(FILES ${windows_text}/cantrel.txt ${windows_text}/pic-format.txt ${windows_text}/modding.txt
              ${PROJECT_SOURCE_DIR}/docs/lumbrel.png DESTINATION docs)
install(FILES ${CANTREL_SAMPLES} DESTINATION samples)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "Cantrel-${PROJECT_VERSION}-win32")
# Unpacked, the programs are at hand at once; Windows' "Extract All" makes
# the folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CANTREL_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)

# NOTICES.txt: the licence texts of the runtime code both programs carry,
# linked in statically (the mingw-w64 runtime, winpthreads, GCC's runtime),
# which a copy of the programs must come with.
file(READ ${PROJECT_SOURCE_DIR}/packaging/licences/GCC-exception-3.1.txt GCC_EXCEPTION)
string(REGEX REPLACE "\n$" "" GCC_EXCEPTION "${GCC_EXCEPTION}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/licences/GCC-exception-3.1.txt)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/Notices.txt.in ${CMAKE_BINARY_DIR}/notices/NOTICES.txt @ONLY)
set(windows_text_files "")
windows_text(text ${CMAKE_BINARY_DIR}/notices/NOTICES.txt NOTICES.txt)
add_custom_target(windows_notices ALL DEPENDS ${windows_text_files})
install(FILES ${windows_text}/NOTICES.txt DESTINATION .)
