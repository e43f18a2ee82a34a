# What a user gets: the install rules of both builds and their packages.
#   Windows (win32 toolchain): a ZIP holding the programs, their texts for
#     Windows users and the sample pictures (cmake/WindowsPackage.cmake).
#   Native: a Debian package of cantrel: the program, its manual page, and the
#     README, the format description, the licence, the changelog and the
#     samples under share/doc/cantrel (cmake/DebianPackage.cmake adds what
#     Debian asks beyond the files).
# The package presets (CMakePresets.json) run CPack with one generator each.
file(GLOB CANTREL_SAMPLES ${PROJECT_SOURCE_DIR}/samples/*.pic ${PROJECT_SOURCE_DIR}/samples/*.bmp)
list(SORT CANTREL_SAMPLES)

set(CPACK_PACKAGE_NAME cantrel)
set(CPACK_PACKAGE_VENDOR "The Cantrel project")
set(CPACK_PACKAGE_CONTACT "The Cantrel project <cantrel@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://cantrel.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converter between Fenwolds PIC pictures and Windows BMP files")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Packages hold what the install rules install, nothing else.
set(CPACK_SOURCE_GENERATOR "")

if(WIN32)
    include(WindowsPackage)
else()
    include(GNUInstallDirs)
    set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/cantrel)

    # Debian compresses manual pages; -n keeps name and time out of the
    # file, so every build gives the same bytes.
    find_program(GZIP gzip REQUIRED)
    set(manual_page ${CMAKE_CURRENT_BINARY_DIR}/cantrel.1.gz)
    add_custom_command(OUTPUT ${manual_page}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/cantrel.1 ${CMAKE_CURRENT_BINARY_DIR}/cantrel.1
        COMMAND ${GZIP} -9nf ${CMAKE_CURRENT_BINARY_DIR}/cantrel.1
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/cantrel.1
        VERBATIM)
    add_custom_target(manual_page ALL DEPENDS ${manual_page})

    install(TARGETS converter RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${manual_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/pic-format.md DESTINATION ${doc_dir})
    # Debian keeps a package's licence as share/doc/<package>/copyright.
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${doc_dir} RENAME copyright)
    install(FILES ${CANTREL_SAMPLES} DESTINATION ${doc_dir}/samples)
    include(DebianPackage)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # A statically linked program needs nothing; should it ever link a shared
    # library, dpkg-shlibdeps names the package that holds it.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Below the summary line, which CPack puts first.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Cantrel converts the picture files (.pic) of the game Fenwolds into
Windows BMP files of 8 bits per pixel, and BMP files of 8 bits per pixel
or less back into PIC files. It can take the palette from another
picture, fill in a missing one, or leave it out; the input name may
hold wildcards; and it reports a picture's size and palette.
The package holds the manual page, the PIC format description and a
set of sample pictures.")
    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_architecture
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg --print-architecture failed; the Debian package needs dpkg")
    endif()
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_architecture})
    set(CPACK_DEBIAN_FILE_NAME
        "cantrel_${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}_${deb_architecture}.deb")
    set(CANTREL_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${CPACK_DEBIAN_FILE_NAME})
endif()

include(CPack)
