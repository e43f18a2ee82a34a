# What Windows reads from a program of ours besides its code: the version
# resource that Explorer shows in the file's Properties, the application
# manifest, and for a program without a resource script of its own its icon.
#
#   cantrel_windows_resources(<target> PRODUCT <name> DESCRIPTION <text> [ICON <file.ico>])
#
# The manifest asks for no more rights than the user's (asInvoker) and names
# the Windows versions the programs are tested against. It names no
# common-controls assembly: version 6 would switch on visual styles and change
# how the viewer's window and About box look.
set(CANTREL_COMPANY "The Cantrel project")
set(CANTREL_COPYRIGHT "Copyright (c) 2026 The Cantrel project")

function(cantrel_windows_resources target)
    cmake_parse_arguments(ARG "" "PRODUCT;DESCRIPTION;ICON" "" ${ARGN})
    # Windows wants four numbers; the project's version has two.
    string(REPLACE "." ";" numbers "${PROJECT_VERSION}")
    list(LENGTH numbers count)
    while(count LESS 4)
        list(APPEND numbers 0)
        math(EXPR count "${count} + 1")
    endwhile()
    string(REPLACE ";" "," VERSION_COMMAS "${numbers}")
    string(REPLACE ";" "." VERSION_DOTS "${numbers}")
    set(PRODUCT ${ARG_PRODUCT})
    set(DESCRIPTION ${ARG_DESCRIPTION})
    set(FILE_NAME ${ARG_PRODUCT}.exe)
    set(ICON_LINE "")
    if(ARG_ICON)
        set(ICON_LINE "1 ICON \"${ARG_ICON}\"")
    endif()

    set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
    set(MANIFEST ${folder}/${PRODUCT}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/Program.manifest.in ${MANIFEST} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/Program.rc.in ${folder}/${PRODUCT}.rc @ONLY)
    # windres reads the manifest and the icon; a change to either rebuilds.
    set_source_files_properties(${folder}/${PRODUCT}.rc PROPERTIES OBJECT_DEPENDS "${MANIFEST};${ARG_ICON}")
    # An object library of its own: windres takes none of the compiler's warning flags.
    add_library(${target}_program_resources OBJECT ${folder}/${PRODUCT}.rc)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:${target}_program_resources>)
endfunction()
