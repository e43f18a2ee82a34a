# What Debian asks of the cantrel package beyond its files (included by
# Packaging.cmake after their install rules, with doc_dir set):
#   - the package's changelog, as share/doc/cantrel/changelog.Debian.gz;
#   - lintian's override for the static link, which is deliberate: a
#     conversion takes about as long as loading the shared C++ runtime would;
#   - programs without the compiler's .comment section, as Debian's own
#     packages are stripped (CPack's stripping leaves it).
# Compressed like the manual page, with -n, so that every build gives the same bytes.
set(debian_changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${debian_changelog}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/debian/changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian
    COMMAND ${GZIP} -9nf ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
    VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${debian_changelog})
install(FILES ${debian_changelog} DESTINATION ${doc_dir} COMPONENT cantrel)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/cantrel.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME cantrel COMPONENT cantrel)
install(CODE "
    set(program \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:converter>\")
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment \"\${program}\" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR \"objcopy cannot take the .comment section out of \${program}\")
    endif()" COMPONENT cantrel)
