# What Debian asks of each package beyond its files (included by
# Packaging.cmake after their install rules):
#   - the package's changelog, as share/doc/<package>/changelog.Debian.gz,
#     from packaging/debian/<package>.changelog;
#   - lintian's overrides, each with its reason, from
#     packaging/debian/<package>.lintian-overrides; cantrel's static link is
#     deliberate: a conversion takes about as long as loading the shared C++
#     runtime would;
#   - programs and libraries without the compiler's .comment section, as
#     Debian's own packages are stripped (CPack's stripping leaves it).

# cantrel_debian_package_files(<component> <package> <binaries...>): the
# binaries are the component's program and library targets, each installed
# into the folder below the prefix that its property CANTREL_INSTALL_FOLDER
# names.
function(cantrel_debian_package_files component package)
    set(binaries "")
    foreach(target IN LISTS ARGN)
        get_target_property(folder ${target} CANTREL_INSTALL_FOLDER)
        if(NOT folder)
            message(FATAL_ERROR "${target} has no CANTREL_INSTALL_FOLDER: the folder its install rule puts it in")
        endif()
        list(APPEND binaries ${folder}/$<TARGET_FILE_NAME:${target}>)
    endforeach()
    # Compressed like the manual page, with -n, so every build gives the same bytes.
    set(changelog ${CMAKE_CURRENT_BINARY_DIR}/debian/${package}/changelog.Debian)
    add_custom_command(OUTPUT ${changelog}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/debian/${package}.changelog ${changelog}
        COMMAND ${GZIP} -9nf ${changelog}
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/${package}.changelog
        VERBATIM)
    add_custom_target(debian_changelog_${component} ALL DEPENDS ${changelog}.gz)
    install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/${package}.lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME ${package} COMPONENT ${component})
    foreach(binary IN LISTS binaries)
        install(CODE "
            set(binary \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${binary}\")
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment \"\${binary}\" RESULT_VARIABLE status)
            if(NOT status EQUAL 0)
                message(FATAL_ERROR \"objcopy cannot take the .comment section out of \${binary}\")
            endif()" COMPONENT ${component})
    endforeach()
endfunction()
