# What a user gets: the install rules of both builds and their packages.
#   Windows (win32 toolchain): a ZIP holding the programs, their texts for
#     Windows users and the sample pictures (cmake/WindowsPackage.cmake).
#   Native: a Debian package of cantrel: the program, its manual page, the
#     format description and the modding guide under share/doc/cantrel, and
#     the samples under share/cantrel/samples: they are what a user converts
#     first, and minimal installations leave share/doc out, as Debian's
#     policy lets them (cmake/DebianPackage.cmake adds what Debian asks
#     beyond the files, the package's own README among them). Where the
#     desktop parts are built, two more: the GIMP plug-in with the default
#     palette (gimp-fenwolds-pic), and the gdk-pixbuf loader with its mime
#     type and thumbnailer entry (fenwolds-pic-pixbuf-loader). Two, not one,
#     because they serve different users: thumbnails and viewers must not
#     pull GIMP onto a machine. The three suggest each other.
# The package presets (CMakePresets.json) run CPack with one generator each.
file(GLOB CANTREL_SAMPLES ${PROJECT_SOURCE_DIR}/samples/*.pic ${PROJECT_SOURCE_DIR}/samples/*.bmp)
list(SORT CANTREL_SAMPLES)

set(CPACK_PACKAGE_NAME cantrel)
set(CPACK_PACKAGE_VENDOR "The Cantrel project")
set(CPACK_PACKAGE_CONTACT "The Cantrel project <cantrel@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://cantrel.example.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Packages hold what the install rules install, nothing else.
set(CPACK_SOURCE_GENERATOR "")

if(WIN32)
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converter between Fenwolds PIC pictures and Windows BMP files")
    include(WindowsPackage)
else()
    include(GNUInstallDirs)
    set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/cantrel)

    # Debian compresses manual pages; -n keeps name and time out of the
    # file, so every build gives the same bytes.
    cantrel_require_programs(GZIP)
    set(manual_page ${CMAKE_CURRENT_BINARY_DIR}/cantrel.1.gz)
    add_custom_command(OUTPUT ${manual_page}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/cantrel.1 ${CMAKE_CURRENT_BINARY_DIR}/cantrel.1
        COMMAND ${GZIP} -9nf ${CMAKE_CURRENT_BINARY_DIR}/cantrel.1
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/cantrel.1
        VERBATIM)
    add_custom_target(manual_page ALL DEPENDS ${manual_page})

    install(TARGETS converter RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cantrel)
    set_target_properties(converter PROPERTIES CANTREL_INSTALL_FOLDER ${CMAKE_INSTALL_BINDIR})
    install(FILES ${manual_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cantrel)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/pic-format.md ${PROJECT_SOURCE_DIR}/docs/modding.md
            DESTINATION ${doc_dir} COMPONENT cantrel)
    install(FILES ${CANTREL_SAMPLES} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/cantrel/samples COMPONENT cantrel)
    include(DebianPackage)

    set(CPACK_GENERATOR DEB)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # Each package gets the libraries it links from dpkg-shlibdeps: the
    # converter the C library only, as it carries the C++ runtime.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_architecture
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
    if(NOT status EQUAL 0)
        # Off Debian the program still builds and installs; only the packages need dpkg.
        message(STATUS "No dpkg here: the Debian packages cannot be made (cmake --install still works)")
        return()
    endif()
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_architecture})

    # cantrel_deb_package(<component> <package> <binary> <pattern> <carries> <description>):
    # the package of one component, whose program or library is the target
    # <binary>; its file's path in CANTREL_<COMPONENT>_PACKAGE_FILE. The
    # description's first line is the summary; pattern and carries are
    # cantrel_debian_package_files' (cmake/DebianPackage.cmake).
    macro(cantrel_deb_package component package binary pattern carries description)
        string(TOUPPER ${component} upper)
        set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package})
        set(CPACK_DEBIAN_${upper}_DESCRIPTION "${description}")
        set(CPACK_DEBIAN_${upper}_FILE_NAME
            "${package}_${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}_${deb_architecture}.deb")
        set(CANTREL_${upper}_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${CPACK_DEBIAN_${upper}_FILE_NAME})
        list(APPEND CPACK_COMPONENTS_ALL ${component})
        cantrel_debian_package_files(${component} ${package} ${binary} ${pattern} "${carries}")
    endmacro()

    set(CPACK_COMPONENTS_ALL "")
    cantrel_deb_package(cantrel cantrel converter usr/bin/cantrel
                        "\n It also carries GCC's C++ runtime (libstdc++), linked in statically, under\n the same licence and exception."
                        "converter between Fenwolds PIC pictures and Windows BMP files
Cantrel converts the picture files (.pic) of the game Fenwolds into
Windows BMP files of 8 bits per pixel, and BMP files of 8 bits per pixel
or less back into PIC files. It can take the palette from another
picture, fill in a missing one, or leave it out; the input name may
hold wildcards; and it reports a picture's size and palette.
The package holds the manual page, the PIC format description, the
modding guide and a set of sample pictures.")
    set(CANTREL_PACKAGE_FILE ${CANTREL_CANTREL_PACKAGE_FILE})
    set(CPACK_DEBIAN_CANTREL_PACKAGE_SUGGESTS "gimp-fenwolds-pic, fenwolds-pic-pixbuf-loader")

    if(CANTREL_DESKTOP_BUILT)
        cantrel_deb_package(gimp gimp-fenwolds-pic gimp_plugin usr/lib/gimp/*/file-fenwolds-pic "" "GIMP plug-in for Fenwolds PIC pictures
Opens the picture files (.pic) of the game Fenwolds in GIMP as indexed
images with the file's palette as their colour map, and exports indexed
images as PIC files, with or without the palette, byte for byte as the
Cantrel converter writes them. The game's default palette comes with it
as a GIMP palette.")
        set(CPACK_DEBIAN_GIMP_PACKAGE_DEPENDS "gimp (>= 2.10)")
        set(CPACK_DEBIAN_GIMP_PACKAGE_ENHANCES "gimp")
        set(CPACK_DEBIAN_GIMP_PACKAGE_SUGGESTS "cantrel, fenwolds-pic-pixbuf-loader")

        # The triggers of libgdk-pixbuf-2.0-0 (the loaders folder) and of
        # shared-mime-info (share/mime/packages) bring the loaders cache and
        # the mime database up to date on installation and removal, so the
        # package needs no scripts of its own; it needs those packages there.
        cantrel_deb_package(pixbuf fenwolds-pic-pixbuf-loader pixbuf_loader usr/lib/*/libpixbufloader-fenwolds-pic.so ""
                            "gdk-pixbuf loader for Fenwolds PIC pictures
Lets image viewers and file managers built on gdk-pixbuf show the picture
files (.pic) of the game Fenwolds, with thumbnails, in the colours the
Cantrel converter gives them. Holds the loader module, the mime type
image/x-fenwolds-pic and a thumbnailer entry.")
        set(CPACK_DEBIAN_PIXBUF_PACKAGE_DEPENDS "shared-mime-info")
        set(CPACK_DEBIAN_PIXBUF_PACKAGE_RECOMMENDS "libgdk-pixbuf2.0-bin")
        set(CPACK_DEBIAN_PIXBUF_PACKAGE_SUGGESTS "cantrel, gimp-fenwolds-pic")
        # One loader per architecture, side by side, as gdk-pixbuf itself is
        # installed: the shared files (mime type, thumbnailer entry, documents)
        # are the same bytes in each.
        set(CPACK_CANTREL_MULTIARCH_SAME fenwolds-pic-pixbuf-loader)
        set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianMultiArch.cmake)
    endif()
endif()

include(CPack)
