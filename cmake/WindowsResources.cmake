# What Windows reads from a program of ours besides its code: the version
# resource that Explorer shows in the file's Properties, the application
# manifest, and for a program without a resource script of its own its icon.
#
#   cantrel_windows_resources(<target> PRODUCT <name> DESCRIPTION <text> [ICON <file.ico>] [DPI_AWARE])
#
# The manifest asks for no more rights than the user's (asInvoker) and names
# the Windows versions the programs are tested against. It names no
# common-controls assembly: version 6 would switch on visual styles and change
# how the viewer's window and About box look. DPI_AWARE declares the program
# aware of the system's DPI: Windows then leaves its pixels alone at 125 %
# or 150 %, where it would otherwise paint the window small and stretch it,
# blurring a picture that is shown pixel for pixel.
set(CANTREL_COMPANY "The Cantrel project")
set(CANTREL_COPYRIGHT "Copyright (c) 2026 The Cantrel project")

function(cantrel_windows_resources target)
    cmake_parse_arguments(ARG "DPI_AWARE" "PRODUCT;DESCRIPTION;ICON" "" ${ARGN})
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
    set(WINDOWS_SETTINGS "")
    if(ARG_DPI_AWARE)
        string(CONCAT WINDOWS_SETTINGS
            "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
            "    <windowsSettings>\n"
            "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>\n"
            "    </windowsSettings>\n"
            "  </application>\n")
    endif()
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
