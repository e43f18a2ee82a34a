# What Debian asks of each package beyond its files (included by
# Packaging.cmake after their install rules):
#   - the package's changelog, as share/doc/<package>/changelog.Debian.gz,
#     from packaging/debian/<package>.changelog;
#   - its copyright in Debian's machine-readable format, naming the licences
#     of all the code its binaries carry: the project's (LICENSE) and the
#     compiler's and C library's runtime parts linked into them, from
#     packaging/debian/copyright.in and the licence texts in
#     packaging/licences;
#   - the README for the package's users, share/doc/<package>/README.md, from
#     packaging/debian/<package>.README.md (the project's README is the
#     developers');
#   - lintian's overrides, each with its reason, from
#     packaging/debian/<package>.lintian-overrides;
#   - programs and libraries without the compiler's .comment section, as
#     Debian's own packages are stripped (CPack's stripping leaves it).

# A text as the body of a paragraph of Debian's formats: each line indented
# by one blank, an empty line as " .".
function(cantrel_debian_paragraph_body variable file)
    file(READ ${file} text)
    string(REGEX REPLACE "\n+$" "" text "${text}")
    string(REGEX REPLACE "\n" "\n " text " ${text}")
    string(REGEX REPLACE "\n \n" "\n .\n" text "${text}")
    string(REGEX REPLACE "\n \n" "\n .\n" text "${text}")
    set(${variable} "${text}" PARENT_SCOPE)
endfunction()

# cantrel_debian_copyright(<output> <pattern of the binary's path> <what it carries beyond every program's share>)
function(cantrel_debian_copyright output pattern carries)
    # The project's licence without its title and copyright line, which the
    # Files paragraph holds.
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
    string(REGEX REPLACE "^.*Copyright[^\n]*\n\n" "" licence "${licence}")
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/debian/expat.txt "${licence}")
    cantrel_debian_paragraph_body(EXPAT ${CMAKE_CURRENT_BINARY_DIR}/debian/expat.txt)
    cantrel_debian_paragraph_body(GCC_EXCEPTION ${PROJECT_SOURCE_DIR}/packaging/licences/GCC-exception-3.1.txt)
    set(PROGRAM ${pattern})
    set(CARRIES "${carries}")
    configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in ${output} @ONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE
                 ${PROJECT_SOURCE_DIR}/packaging/licences/GCC-exception-3.1.txt)
endfunction()

# cantrel_debian_package_files(<component> <package> <binary> <pattern> <carries>):
# the binary is the component's program or library target, installed into
# the folder below the prefix that its property CANTREL_INSTALL_FOLDER names;
# pattern matches its installed path in the copyright, without a folder that
# differs between architectures (Multi-Arch packages share the file); carries
# says what runtime code it holds beyond what GCC links into every program:
# empty, or lines of the copyright's Comment, each after a line end and a blank.
function(cantrel_debian_package_files component package target pattern carries)
    get_target_property(folder ${target} CANTREL_INSTALL_FOLDER)
    if(NOT folder)
        message(FATAL_ERROR "${target} has no CANTREL_INSTALL_FOLDER: the folder its install rule puts it in")
    endif()
    set(binary ${folder}/$<TARGET_FILE_NAME:${target}>)
    set(doc_folder ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package})
    set(copyright ${CMAKE_CURRENT_BINARY_DIR}/debian/${package}/copyright)
    cantrel_debian_copyright(${copyright} ${pattern} "${carries}")
    install(FILES ${copyright} DESTINATION ${doc_folder} COMPONENT ${component})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/${package}.README.md DESTINATION ${doc_folder}
            RENAME README.md COMPONENT ${component})
    # Compressed like the manual page, with -n, so every build gives the same bytes.
    set(changelog ${CMAKE_CURRENT_BINARY_DIR}/debian/${package}/changelog.Debian)
    add_custom_command(OUTPUT ${changelog}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/debian/${package}.changelog ${changelog}
        COMMAND ${GZIP} -9nf ${changelog}
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/${package}.changelog
        VERBATIM)
    add_custom_target(debian_changelog_${component} ALL DEPENDS ${changelog}.gz)
    install(FILES ${changelog}.gz DESTINATION ${doc_folder} COMPONENT ${component})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/${package}.lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME ${package} COMPONENT ${component})
    install(CODE "
        set(binary \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${binary}\")
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment \"\${binary}\" RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR \"objcopy cannot take the .comment section out of \${binary}\")
        endif()" COMPONENT ${component})
endfunction()
